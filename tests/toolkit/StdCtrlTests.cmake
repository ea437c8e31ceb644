# Tests of the standard controls (label, image, buttons, combo box, panel).
set(TOOLKIT_STDCTRL_TESTS
  StdCtrlsTest.cpp
  StdButtonsTest.cpp
  ComboBoxTest.cpp
)
