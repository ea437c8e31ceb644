# Controls, forms, the application and the screen (set before the toolkit library is defined).
set(TOOLKIT_CONTROL_SOURCES
  Menus.cpp
  Controls.cpp
  ControlCanvas.cpp
  WinControl.cpp
  Forms.cpp
  FormPaint.cpp
  FocusControl.cpp
  MouseRouting.cpp
  DragRouting.cpp
  KeyRouting.cpp
  Icon.cpp
  ModuleResources.cpp
  Application.cpp
  Screen.cpp
  Cursors.cpp
)
