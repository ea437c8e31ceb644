# Tests of controls, forms, mouse and keyboard routing.
set(TOOLKIT_CONTROL_TESTS
  ControlsTest.cpp
  DragDropTest.cpp
  FormsTest.cpp
  KeyboardTest.cpp
  MouseTest.cpp
  ModuleResourcesTest.cpp
)
