// What the control, form, mouse and keyboard tests share: an application on
// the headless backend, controls that log what reaches them, and helpers to
// inject input.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "platform/WindowBackend.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

namespace toolkit::controltest {

using Log = std::vector<std::string>;
using platform::Event;
using EventType = platform::Event::Type;

// Logs mouse traffic as "<name>.<what> x,y" and paints itself in its colour.
class TProbe : public TGraphicControl {
 public:
  TProbe(TComponent* owner, TWinControl* parent, const std::string& name, Log* log)
      : TGraphicControl(owner), log_(log) {
    SetName(name);
    SetParent(parent);
  }
  int paints = 0;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == CM_MOUSEENTER) log_->push_back(Name() + ".enter");
    if (m.Msg == CM_MOUSELEAVE) log_->push_back(Name() + ".leave");
    TGraphicControl::WndProc(m);
  }
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
    log_->push_back(Name() + ".down" + Button(b) + (s & ssDouble ? " double " : " ") + Point(x, y));
    TGraphicControl::MouseDown(b, s, x, y);
  }
  void MouseMove(TShiftState s, int x, int y) override {
    log_->push_back(Name() + ".move " + Point(x, y));
    TGraphicControl::MouseMove(s, x, y);
  }
  void MouseUp(TMouseButton b, TShiftState s, int x, int y) override {
    log_->push_back(Name() + ".up" + Button(b) + " " + Point(x, y));
    TGraphicControl::MouseUp(b, s, x, y);
  }
  void Click() override {
    log_->push_back(Name() + ".click");
    TGraphicControl::Click();
  }
  void DblClick() override {
    log_->push_back(Name() + ".dblclick");
    TGraphicControl::DblClick();
  }
  void Paint() override {
    ++paints;
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
  }

 private:
  static std::string Button(TMouseButton b) { return b == mbLeft ? "" : b == mbRight ? "R" : "M"; }
  static std::string Point(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
  Log* log_;
};

// A windowed control that logs keys, focus and mouse, and says which keys
// it keeps (GetDlgCode).
class TKeyProbe : public TCustomControl {
 public:
  TKeyProbe(TComponent* owner, TWinControl* parent, const std::string& name, Log* log, unsigned code = 0)
      : TCustomControl(owner), dlgCode(code), log_(log) {
    SetName(name);
    SetParent(parent);
    SetTabStop(true);
  }
  unsigned dlgCode;
  bool clickOnEnter = false;  // as a push button: Enter while focused clicks
  bool checked = false;       // as a radio button
  std::string accelerator;    // a letter taken as CM_DIALOGCHAR

 protected:
  unsigned GetDlgCode() override { return dlgCode; }
  void KeyDown(WORD& key, TShiftState shift) override {
    log_->push_back(Name() + ".KeyDown " + std::to_string(key));
    TCustomControl::KeyDown(key, shift);
  }
  void KeyUp(WORD& key, TShiftState shift) override {
    log_->push_back(Name() + ".KeyUp " + std::to_string(key));
    TCustomControl::KeyUp(key, shift);
  }
  void KeyPress(char& key) override {
    log_->push_back(Name() + ".KeyPress " + std::to_string(static_cast<unsigned char>(key)));
    TCustomControl::KeyPress(key);
  }
  void DoEnter() override {
    log_->push_back(Name() + ".Enter");
    TCustomControl::DoEnter();
  }
  void DoExit() override {
    log_->push_back(Name() + ".Exit");
    TCustomControl::DoExit();
  }
  void CMDialogKey(TMessage& m) override {
    if (clickOnEnter && m.WParam == VK_RETURN && Focused()) {
      Click();
      m.Result = 1;
      return;
    }
    TCustomControl::CMDialogKey(m);
  }
  void CMDialogChar(TMessage& m) override {
    if (!accelerator.empty() &&
        std::toupper(static_cast<unsigned char>(m.WParam)) == std::toupper(accelerator[0])) {
      log_->push_back(Name() + ".Accelerator");
      m.Result = 1;
      return;
    }
    TCustomControl::CMDialogChar(m);
  }
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
    log_->push_back(Name() + ".down " + std::to_string(x) + "," + std::to_string(y));
    TCustomControl::MouseDown(b, s, x, y);
  }

 public:
  void Click() override {
    log_->push_back(Name() + ".Click");
    // A radio button checks itself and unchecks its siblings.
    if (dlgCode & DLGC_RADIOBUTTON) {
      for (int i = 0; i < Parent()->ControlCount(); ++i)
        if (auto* other = dynamic_cast<TKeyProbe*>(Parent()->Controls(i))) other->checked = false;
      checked = true;
    }
    TCustomControl::Click();
  }

 private:
  Log* log_;
};

// The application on a fresh headless backend for each test; forms are
// owned by `root`, freed when the test ends.
class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto backend = std::make_unique<platform::HeadlessBackend>();
    backend_ = backend.get();
    Application->SetBackend(std::move(backend));
    Application->SetTitle("Lumivant");
    Application->OnException.Clear();
  }
  void TearDown() override {
    root_.DestroyComponents();
    Application->DestroyComponents();  // forms made by CreateForm
    Application->SetBackend(nullptr);
  }

  TComponent* Root() { return &root_; }

  // A form of the given client size, shown unless asked not to be.
  TForm* MakeForm(int width = 200, int height = 100, bool show = true) {
    auto* form = new TForm(Root());
    form->SetClientWidth(width);
    form->SetClientHeight(height);
    if (show) form->Show();
    return form;
  }

  // Input, each event handled, painted and presented as the message loop does.
  void Send(const Event& event) {
    backend_->Inject(event);
    Application->ProcessMessages();
  }
  static Event MouseEvent(EventType type, int x, int y,
                          platform::MouseButton button = platform::MouseButton::Left, int clicks = 1) {
    Event e;
    e.type = type;
    e.x = x;
    e.y = y;
    e.button = button;
    e.clicks = clicks;
    if (clicks == 2) e.shift |= platform::kDouble;
    return e;
  }
  void Press(int x, int y, int clicks = 1, unsigned shift = 0) {
    Event e = MouseEvent(EventType::MouseDown, x, y, platform::MouseButton::Left, clicks);
    e.shift |= shift;
    Send(e);
  }
  void Release(int x, int y) { Send(MouseEvent(EventType::MouseUp, x, y)); }
  void Click(int x, int y) {
    Press(x, y);
    Release(x, y);
  }
  // A move with no button held, and one with the left button held.
  void Move(int x, int y) { Send(MouseEvent(EventType::MouseMove, x, y)); }
  void Drag(int x, int y) {
    Event e = MouseEvent(EventType::MouseMove, x, y);
    e.shift = platform::kLeft;
    Send(e);
  }
  void LeaveWindow() { Send(MouseEvent(EventType::MouseLeave, 0, 0)); }

  void KeyDown(unsigned key, unsigned shift = 0, bool repeat = false) {
    Event e;
    e.type = EventType::KeyDown;
    e.key = key;
    e.shift = shift;
    e.repeat = repeat;
    Send(e);
  }
  void KeyUp(unsigned key, unsigned shift = 0) {
    Event e;
    e.type = EventType::KeyUp;
    e.key = key;
    e.shift = shift;
    Send(e);
  }
  // A key without text: down, then up.
  void Key(unsigned key, unsigned shift = 0) {
    KeyDown(key, shift);
    KeyUp(key, shift);
  }
  // Text alone, in one event, as an input method may deliver it.
  void Type(const std::string& text) {
    Event e;
    e.type = EventType::Text;
    e.text = text;
    Send(e);
  }
  // Printable text as typed on a keyboard: a text event for each character,
  // and letters and digits between their key's down and up.
  void TypeKeys(const std::string& text) {
    for (char c : text) {
      const auto u = static_cast<unsigned char>(c);
      const unsigned key = std::isalnum(u) ? static_cast<unsigned>(std::toupper(u)) : 0u;
      if (key) KeyDown(key);
      Type(std::string(1, c));
      if (key) KeyUp(key);
    }
  }

  platform::HeadlessBackend* backend_ = nullptr;
  TComponent root_{nullptr};
  Log log_;
};

}  // namespace toolkit::controltest
