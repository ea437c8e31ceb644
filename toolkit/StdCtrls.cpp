// What the standard controls share: the enumeration names, accelerators and
// the registration of every standard class with streams.
#include "toolkit/StdCtrls.h"

#include "base/AsciiCase.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"

namespace toolkit {

const TEnumInfo kAlignmentNames{{"taLeftJustify", "taRightJustify", "taCenter"}};
const TEnumInfo kTextLayoutNames{{"tlTop", "tlCenter", "tlBottom"}};
const TEnumInfo kComboBoxStyleNames{
    {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"}};

bool IsAccel(char c, const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    ++i;  // "&&" is a literal ampersand: skipped as a pair
    if (caption[i] == '&') continue;
    return base::AsciiLower(caption[i]) == base::AsciiLower(c);
  }
  return false;
}

void RegisterStdControls() {
  static const bool done = [] {
    RegisterClass(TLabel::StaticClass());
    RegisterClass(TButton::StaticClass());
    RegisterClass(TRadioButton::StaticClass());
    RegisterClass(TComboBox::StaticClass());
    RegisterClass(TImage::StaticClass());
    RegisterClass(TPanel::StaticClass());
    RegisterClass(TCommonDialog::StaticClass());
    return true;
  }();
  (void)done;
}

namespace {
// Streams may name these classes before any of them has been made; this
// holds when this file is linked in, and Application.Initialize calls
// RegisterStdControls for when it is not.
const bool kRegistered = (RegisterStdControls(), true);
}  // namespace

}  // namespace toolkit
