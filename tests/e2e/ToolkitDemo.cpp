// A small form for the end-to-end test of the framework under a real X
// server: it reports on stdout what reaches its controls, one line each.
#include <cstdio>
#include <string>

#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

using namespace toolkit;

namespace {

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

class TDemoForm : public TForm {
 public:
  explicit TDemoForm(TComponent* owner) : TForm(owner) {
    SetCaption("Toolkit demo");
    SetBorderStyle(bsDialog);
    SetPosition(poDesktopCenter);
    SetClientWidth(300);
    SetClientHeight(300);
    SetKeyPreview(true);
    OnKeyPress = TKeyPressEvent(
        [](TObject*, char& key) { Say("form keypress " + std::to_string(static_cast<unsigned char>(key))); });
    OnKeyDown =
        TKeyEvent([](TObject*, WORD& key, TShiftState) { Say("form keydown " + std::to_string(key)); });

    auto* button = new TButton(this);
    button->SetName("Button1");
    button->SetParent(this);
    button->SetBounds(20, 20, 80, 25);
    button->SetCaption("Press");
    button->OnClick = TNotifyEvent([](TObject*) { Say("click Button1"); });

    for (int i = 0; i < 2; ++i) {
      auto* radio = new TRadioButton(this);
      radio->SetName(i == 0 ? "RB1" : "RB2");
      radio->SetParent(this);
      radio->SetBounds(20, 70 + 30 * i, 17, 17);
      radio->SetChecked(i == 1);
      radio->OnClick = TNotifyEvent([radio](TObject*) { Say("click " + radio->Name()); });
    }

    auto* combo = new TComboBox(this);
    combo->SetName("Combo");
    combo->SetParent(this);
    combo->SetBounds(20, 150, 167, 21);
    combo->Items()->Add("First port");
    combo->Items()->Add("Second port");
    combo->SetItemIndex(0);
    combo->OnChange = TNotifyEvent([combo](TObject*) { Say("combo text " + combo->Text()); });

    auto* label = new TLabel(this);
    label->SetName("Label1");
    label->SetParent(this);
    label->SetLeft(120);
    label->SetTop(24);
    label->SetCaption("Hello");
    label->OnClick = TNotifyEvent([](TObject*) { Say("click Label1"); });
  }
};

}  // namespace

int main() {
  try {
    Application->Initialize();
    Application->SetTitle("Toolkit demo");
    TDemoForm* form = nullptr;
    Application->CreateForm(form);
    Say("ready");
    Application->Run();
    Say("closed");
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "toolkit demo: %s\n", e.what());
    return 1;
  }
}
