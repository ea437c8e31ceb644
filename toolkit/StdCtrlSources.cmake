# The standard controls (set before the toolkit library is defined).
set(TOOLKIT_STDCTRL_SOURCES
  StdCtrls.cpp
  StdDraw.cpp
  StdLabel.cpp
  StdButtons.cpp
  ComboBox.cpp
  ComboBoxList.cpp
  ExtCtrls.cpp
  Dialogs.cpp
)
