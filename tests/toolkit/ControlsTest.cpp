// Controls: messages, place and state, inheritance of colour and font from
// the parent, children and z-order, alignment, scaling, and how controls
// are written to and read from component streams.
#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "toolkit/ClassBuilder.h"
#include "toolkit/Streaming.h"

namespace toolkit::controltest {
namespace {

// Logs the notifications it gets and takes one message of its own.
class TListener : public TGraphicControl {
 public:
  explicit TListener(TComponent* owner, TWinControl* parent = nullptr) : TGraphicControl(owner) {
    SetParent(parent);
  }
  std::vector<std::uint32_t> messages;
  int own = 0;
  int unhandled = 0;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == 0xB0FA) {
      ++own;
      m.Result = 42;
      return;
    }
    if (m.Msg >= CM_BASE) messages.push_back(m.Msg);
    TGraphicControl::WndProc(m);
  }
  void DefaultHandler(TMessage& m) override {
    ++unhandled;
    TGraphicControl::DefaultHandler(m);
  }
};

std::size_t Count(const std::vector<std::uint32_t>& list, std::uint32_t msg) {
  return static_cast<std::size_t>(std::count(list.begin(), list.end(), msg));
}

// ---- messages ----------------------------------------------------------------------

TEST(ControlMessages, WndProcTakesItsOwnMessagesAndTheRestReachTheDefaultHandler) {
  TComponent root(nullptr);
  auto* c = new TListener(&root);
  EXPECT_EQ(c->Perform(0xB0FA, 1, 2), 42);
  EXPECT_EQ(c->own, 1);
  EXPECT_EQ(c->Perform(0xB0FB), 0);
  EXPECT_EQ(c->Perform(0x0400), 0);
  EXPECT_EQ(c->unhandled, 2);
  EXPECT_EQ(c->Perform(CM_HITTEST, 0, MakePointParam(3, 4)), 1);  // handled, not default
  EXPECT_EQ(c->unhandled, 2);
}

TEST(ControlMessages, ChangesSendTheirNotificationOnlyWhenTheValueChanges) {
  TComponent root(nullptr);
  auto* c = new TListener(&root);
  c->SetEnabled(false);
  c->SetEnabled(false);
  c->SetVisible(false);
  c->SetText("Go");
  c->SetText("Go");
  c->SetColor(clRed);
  c->SetCursor(crHandPoint);
  c->Font()->SetColor(clBlue);
  EXPECT_EQ(Count(c->messages, CM_ENABLEDCHANGED), 1u);
  EXPECT_EQ(Count(c->messages, CM_VISIBLECHANGED), 1u);
  EXPECT_EQ(Count(c->messages, CM_TEXTCHANGED), 1u);
  EXPECT_EQ(Count(c->messages, CM_COLORCHANGED), 1u);
  EXPECT_EQ(Count(c->messages, CM_CURSORCHANGED), 1u);
  EXPECT_EQ(Count(c->messages, CM_FONTCHANGED), 1u);
  EXPECT_EQ(c->Caption(), "Go");
  EXPECT_EQ(c->Text(), "Go");
}

TEST(ControlMessages, PointsPackAsSignedSixteenBitHalves) {
  EXPECT_EQ(PointFromParam(MakePointParam(12, 34)), (gdi::TPoint{12, 34}));
  EXPECT_EQ(PointFromParam(MakePointParam(-40, -1)), (gdi::TPoint{-40, -1}));
  EXPECT_EQ(MakePointParam(1, 2), 0x00020001);
}

// ---- place --------------------------------------------------------------------------------

class ControlPlace : public HeadlessTest {};

TEST_F(ControlPlace, BoundsClientAreaAndScreenPoints) {
  auto* form = MakeForm(200, 100);
  auto* panel = new TKeyProbe(form, form, "panel", &log_);
  panel->SetBounds(20, 10, 100, 50);
  auto* c = new TListener(form, panel);
  c->SetBounds(5, 6, 30, 20);
  EXPECT_EQ(c->BoundsRect(), (gdi::TRect{5, 6, 35, 26}));
  EXPECT_EQ(c->ClientRect(), (gdi::TRect{0, 0, 30, 20}));
  EXPECT_EQ(c->ClientWidth(), 30);
  const gdi::TPoint origin = form->ClientToScreen({0, 0});
  EXPECT_EQ(c->ClientToScreen({1, 2}), (gdi::TPoint{origin.X + 26, origin.Y + 18}));
  EXPECT_EQ(c->ScreenToClient(c->ClientToScreen({-7, 9})), (gdi::TPoint{-7, 9}));
  c->SetWidth(-5);
  EXPECT_EQ(c->Width(), 0);
  c->SetClientWidth(12);
  EXPECT_EQ(c->Width(), 12);
}

TEST_F(ControlPlace, ChildrenListWindowlessFirstInZOrder) {
  auto* form = MakeForm();
  auto* w1 = new TKeyProbe(form, form, "w1", &log_);
  auto* g1 = new TListener(form, form);
  auto* w2 = new TKeyProbe(form, form, "w2", &log_);
  auto* g2 = new TListener(form, form);
  ASSERT_EQ(form->ControlCount(), 4);
  EXPECT_EQ(form->Controls(0), g1);
  EXPECT_EQ(form->Controls(1), g2);
  EXPECT_EQ(form->Controls(2), w1);
  EXPECT_EQ(form->Controls(3), w2);
  g1->BringToFront();
  w2->SendToBack();
  EXPECT_EQ(form->Controls(0), g2);
  EXPECT_EQ(form->Controls(1), g1);
  EXPECT_EQ(form->Controls(2), w2);
  EXPECT_EQ(form->Controls(3), w1);
  EXPECT_THROW(form->Controls(4), EListError);
  EXPECT_THROW(form->Controls(-1), EListError);
}

TEST_F(ControlPlace, SetParentMovesAControlBetweenParents) {
  auto* form = MakeForm();
  auto* p1 = new TKeyProbe(form, form, "p1", &log_);
  auto* p2 = new TKeyProbe(form, form, "p2", &log_);
  auto* c = new TListener(form, p1);
  c->SetParent(p2);
  EXPECT_EQ(p1->ControlCount(), 0);
  ASSERT_EQ(p2->ControlCount(), 1);
  EXPECT_EQ(c->Parent(), p2);
  EXPECT_TRUE(form->ContainsControl(c));
  EXPECT_FALSE(p1->ContainsControl(c));
  EXPECT_THROW(p1->SetParent(p1), EInvalidOperation);
  p1->SetParent(p2);
  EXPECT_THROW(p2->SetParent(p1), EInvalidOperation);  // would go round in a circle
  c->SetParent(nullptr);
  EXPECT_EQ(p2->ControlCount(), 1);
  EXPECT_EQ(GetParentForm(c), nullptr);
}

TEST_F(ControlPlace, NamingSetsACaptionThatWasTheName) {
  auto* form = MakeForm();
  auto* c = new TListener(form, form);
  c->SetName("Button1");
  EXPECT_EQ(c->Caption(), "Button1");
  c->SetName("OkButton");
  EXPECT_EQ(c->Caption(), "OkButton");
  c->SetCaption("&OK");
  c->SetName("Ok");
  EXPECT_EQ(c->Caption(), "&OK");
  auto* plain = new TListener(form, form);
  plain->SetControlStyle(plain->ControlStyle() & ~csSetCaption);
  plain->SetName("Image1");
  EXPECT_EQ(plain->Caption(), "");
}

TEST_F(ControlPlace, AlignPlacesControlsAlongTheSidesThenInTheRest) {
  auto* form = MakeForm(200, 100);
  auto* top = new TListener(form, form);
  top->SetHeight(10);
  top->SetAlign(alTop);
  auto* bottom = new TListener(form, form);
  bottom->SetHeight(20);
  bottom->SetAlign(alBottom);
  auto* left = new TListener(form, form);
  left->SetWidth(30);
  left->SetAlign(alLeft);
  auto* right = new TListener(form, form);
  right->SetWidth(40);
  right->SetAlign(alRight);
  auto* client = new TListener(form, form);
  client->SetAlign(alClient);
  EXPECT_EQ(top->BoundsRect(), (gdi::TRect{0, 0, 200, 10}));
  EXPECT_EQ(bottom->BoundsRect(), (gdi::TRect{0, 80, 200, 100}));
  EXPECT_EQ(left->BoundsRect(), (gdi::TRect{0, 10, 30, 80}));
  EXPECT_EQ(right->BoundsRect(), (gdi::TRect{160, 10, 200, 80}));
  EXPECT_EQ(client->BoundsRect(), (gdi::TRect{30, 10, 160, 80}));
  form->SetClientHeight(60);
  EXPECT_EQ(bottom->BoundsRect(), (gdi::TRect{0, 40, 200, 60}));
  EXPECT_EQ(client->BoundsRect(), (gdi::TRect{30, 10, 160, 40}));
  top->Hide();
  EXPECT_EQ(left->BoundsRect(), (gdi::TRect{0, 0, 30, 40}));
}

TEST_F(ControlPlace, ChangeScaleScalesPlaceSizeChildrenAndOwnFont) {
  auto* form = MakeForm();
  auto* panel = new TKeyProbe(form, form, "panel", &log_);
  panel->SetBounds(10, 20, 30, 40);
  auto* c = new TListener(form, panel);
  c->SetBounds(3, 5, 7, 9);
  panel->Font()->SetName("Arial");  // its own font now
  panel->ChangeScale(3, 2);
  EXPECT_EQ(panel->BoundsRect(), (gdi::TRect{15, 30, 60, 90}));
  EXPECT_EQ(c->BoundsRect(), (gdi::TRect{5, 8, 15, 21}));  // halves round away from zero
  EXPECT_EQ(panel->Font()->Height(), -17);
  EXPECT_TRUE(c->ParentFont());
  EXPECT_EQ(c->Font()->Height(), -17);  // follows its parent's
}

// ---- colour and font from the parent --------------------------------------------------------

class ControlInheritance : public HeadlessTest {};

TEST_F(ControlInheritance, ParentFontIsFollowedUntilTheControlSetsItsOwn) {
  auto* form = MakeForm();
  form->Font()->SetName("Arial");
  auto* panel = new TKeyProbe(form, form, "panel", &log_);
  auto* c = new TListener(form, panel);
  EXPECT_TRUE(c->ParentFont());
  EXPECT_EQ(c->Font()->Name(), "Arial");
  form->Font()->SetHeight(-13);
  EXPECT_EQ(panel->Font()->Height(), -13);
  EXPECT_EQ(c->Font()->Height(), -13);  // through the panel
  c->Font()->SetColor(clRed);
  EXPECT_FALSE(c->ParentFont());
  form->Font()->SetHeight(-16);
  EXPECT_EQ(c->Font()->Height(), -13);
  c->SetParentFont(true);
  EXPECT_EQ(c->Font()->Height(), -16);
  EXPECT_EQ(c->Font()->Color(), form->Font()->Color());
}

TEST_F(ControlInheritance, ParentColorIsFollowedUntilTheControlSetsItsOwn) {
  auto* form = MakeForm();
  form->SetColor(clRed);
  auto* c = new TListener(form, form);
  EXPECT_EQ(c->Color(), clWindow);
  c->SetParentColor(true);
  EXPECT_EQ(c->Color(), clRed);
  form->SetColor(clBlue);
  EXPECT_EQ(c->Color(), clBlue);
  c->SetColor(clLime);
  EXPECT_FALSE(c->ParentColor());
  form->SetColor(clRed);
  EXPECT_EQ(c->Color(), clLime);
}

TEST_F(ControlInheritance, ShowHintFollowsTheParentUntilSet) {
  auto* form = MakeForm();
  auto* c = new TListener(form, form);
  form->SetShowHint(true);
  EXPECT_TRUE(c->ShowHint());
  c->SetShowHint(false);
  EXPECT_FALSE(c->ParentShowHint());
  form->SetShowHint(false);
  form->SetShowHint(true);
  EXPECT_FALSE(c->ShowHint());
}

TEST_F(ControlInheritance, APopupMenuFreedIsForgotten) {
  auto* form = MakeForm();
  TComponent elsewhere(nullptr);
  auto* menu = new TPopupMenu(&elsewhere);  // another owner: told directly
  auto* c = new TListener(form, form);
  c->SetPopupMenu(menu);
  elsewhere.DestroyComponents();
  EXPECT_EQ(c->PopupMenu(), nullptr);
}

TEST_F(ControlInheritance, FocusMovesWithEnterAndExitAndRefusesWhatCannotTakeIt) {
  auto* form = MakeForm();
  auto* a = new TKeyProbe(form, form, "a", &log_);
  auto* b = new TKeyProbe(form, form, "b", &log_);
  a->SetFocus();
  log_.clear();
  int changes = 0;
  class TFocusWatch : public TListener {
   public:
    TFocusWatch(TComponent* owner, TWinControl* parent, int* n) : TListener(owner, parent), n_(n) {}

   protected:
    void WndProc(TMessage& m) override {
      if (m.Msg == CM_FOCUSCHANGED) ++*n_;
      TListener::WndProc(m);
    }

   private:
    int* n_;
  };
  new TFocusWatch(form, form, &changes);
  b->SetFocus();
  EXPECT_EQ(log_, (Log{"a.Exit", "b.Enter"}));
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(b->Focused());
  EXPECT_FALSE(a->Focused());
  a->SetEnabled(false);
  EXPECT_FALSE(a->CanFocus());
  EXPECT_THROW(a->SetFocus(), EInvalidOperation);
  b->Hide();
  EXPECT_EQ(form->ActiveControl(), nullptr);  // a hidden control lets go of the focus
  EXPECT_TRUE(form->Focused());
}

// ---- streams ---------------------------------------------------------------------------------

class TStreamedPanel : public TCustomControl {
  TOOLKIT_CLASS(TStreamedPanel, TCustomControl)
 public:
  using TCustomControl::TCustomControl;
};

const TClassInfo& TStreamedPanel::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TStreamedPanel>("TStreamedPanel", &TCustomControl::StaticClass()).Creatable().Build();
  return info;
}

class TStreamedMark : public TGraphicControl {
  TOOLKIT_CLASS(TStreamedMark, TGraphicControl)
 public:
  using TGraphicControl::TGraphicControl;
};

const TClassInfo& TStreamedMark::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TStreamedMark>("TStreamedMark", &TGraphicControl::StaticClass()).Creatable().Build();
  return info;
}

class TStreamedForm : public TForm {
  TOOLKIT_CLASS(TStreamedForm, TForm)
 public:
  using TForm::TForm;
  void MarkClick(TObject* sender) { clicked = sender; }
  TObject* clicked = nullptr;
};

const TClassInfo& TStreamedForm::StaticClass() {
  static const TClassInfo info = ClassBuilder<TStreamedForm>("TStreamedForm", &TForm::StaticClass())
                                     .Creatable()
                                     .Handler("MarkClick", &TStreamedForm::MarkClick)
                                     .Build();
  return info;
}

class ControlStreams : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    RegisterControlClasses();
    RegisterClass(TStreamedPanel::StaticClass());
    RegisterClass(TStreamedMark::StaticClass());
  }
  static std::string AsText(TComponent* root) {
    TMemoryStream binary, text;
    WriteComponent(binary, root);
    binary.SetPosition(0);
    ObjectBinaryToText(binary, text);
    return std::string(text.Bytes().begin(), text.Bytes().end());
  }
  static std::vector<std::uint8_t> AsBinary(TComponent* root) {
    TMemoryStream binary;
    WriteComponent(binary, root);
    return binary.Bytes();
  }
};

TEST_F(ControlStreams, DefaultsAreNotWritten) {
  auto* form = new TStreamedForm(Root());
  form->SetName("Form1");
  auto* mark = new TStreamedMark(form);
  mark->SetName("Mark1");
  mark->SetParent(form);
  auto* panel = new TStreamedPanel(form);
  panel->SetName("Panel1");
  panel->SetParent(form);
  const std::string text = AsText(form);
  for (const char* absent :
       {"Visible", "Enabled", "Cursor", "Align", "ParentShowHint", "ShowHint", "ParentFont", "ParentColor",
        "Mark1.Font", "TabStop", "KeyPreview", "BorderStyle", "Position", "Icon", "Hint", " Color ="})
    EXPECT_EQ(text.find(absent), std::string::npos) << absent << " in\n" << text;
  for (const char* present : {"Left = 0", "Width = 0", "Caption = 'Mark1'", "TabOrder = 0", "ClientWidth",
                              "PixelsPerInch = 96", "Font.Height = -11"})
    EXPECT_NE(text.find(present), std::string::npos) << present << " not in\n" << text;
}

TEST_F(ControlStreams, ChangedValuesAreWrittenByName) {
  auto* form = new TStreamedForm(Root());
  form->SetName("Form1");
  form->SetColor(clWindow);
  form->SetBorderStyle(bsDialog);
  form->SetPosition(poDesktopCenter);
  form->SetKeyPreview(true);
  auto* mark = new TStreamedMark(form);
  mark->SetName("Mark1");
  mark->SetParent(form);
  mark->SetCursor(crHandPoint);
  mark->SetAlign(alTop);
  mark->SetVisible(false);
  mark->Font()->SetColor(clRed);
  mark->SetParentColor(true);
  const std::string text = AsText(form);
  for (const char* present : {"Color = clWindow", "BorderStyle = bsDialog", "Position = poDesktopCenter",
                              "KeyPreview = True", "Cursor = crHandPoint", "Align = alTop", "Visible = False",
                              "Font.Color = clRed", "ParentColor = True"})
    EXPECT_NE(text.find(present), std::string::npos) << present << " not in\n" << text;
}

TEST_F(ControlStreams, ReadingRestoresParentsTabOrderFontsMenusAndHandlers) {
  auto* source = new TStreamedForm(Root());
  source->SetName("Form1");
  auto* panel = new TStreamedPanel(source);
  panel->SetName("Panel1");
  panel->SetParent(source);
  auto* second = new TStreamedPanel(source);
  second->SetName("Panel2");
  second->SetParent(source);
  second->SetTabOrder(0);
  auto* mark = new TStreamedMark(source);
  mark->SetName("Mark1");
  mark->SetParent(panel);
  mark->SetBounds(1, 2, 3, 4);
  mark->Font()->SetStyle(1u << fsBold);
  mark->SetCursor(crIBeam);
  auto* menu = new TPopupMenu(source);
  menu->SetName("Menu1");
  mark->SetPopupMenu(menu);
  mark->OnClick = TNotifyEvent(source, &TStreamedForm::MarkClick, "MarkClick");
  const auto bytes = AsBinary(source);

  TComponent elsewhere(nullptr);  // the names are taken in Root()
  auto* copy = new TStreamedForm(&elsewhere);
  ReadComponentFromBytes(bytes.data(), bytes.size(), copy);
  auto* p1 = dynamic_cast<TStreamedPanel*>(copy->FindComponent("Panel1"));
  auto* p2 = dynamic_cast<TStreamedPanel*>(copy->FindComponent("Panel2"));
  auto* m1 = dynamic_cast<TStreamedMark*>(copy->FindComponent("Mark1"));
  auto* menu1 = dynamic_cast<TPopupMenu*>(copy->FindComponent("Menu1"));
  ASSERT_TRUE(p1 && p2 && m1 && menu1);
  EXPECT_EQ(p1->Parent(), copy);
  EXPECT_EQ(m1->Parent(), p1);
  EXPECT_EQ(p2->TabOrder(), 0);
  EXPECT_EQ(p1->TabOrder(), 1);
  EXPECT_EQ(m1->BoundsRect(), (gdi::TRect{1, 2, 4, 6}));
  EXPECT_FALSE(m1->ParentFont());
  EXPECT_EQ(m1->Font()->Style(), 1u << fsBold);
  EXPECT_EQ(m1->Cursor(), crIBeam);
  EXPECT_EQ(m1->PopupMenu(), menu1);
  m1->Click();
  EXPECT_EQ(copy->clicked, m1);
  // Controls a parent holds but the root does not own are not the root's to write.
  EXPECT_EQ(copy->ComponentCount(), 4);
}

TEST_F(ControlStreams, ChildrenOwnedByOthersAreNotWritten) {
  auto* form = new TStreamedForm(Root());
  form->SetName("Form1");
  TComponent other(nullptr);
  auto* stranger = new TStreamedMark(&other);
  stranger->SetName("Stranger");
  stranger->SetParent(form);
  auto* loose = new TStreamedMark(form);  // owned, without a parent
  loose->SetName("Loose");
  const std::string text = AsText(form);
  EXPECT_EQ(text.find("Stranger"), std::string::npos);
  EXPECT_EQ(text.find("Loose"), std::string::npos);
  stranger->SetParent(nullptr);
}

TEST(CursorIdents, NamesConvertBothWays) {
  std::string ident;
  EXPECT_TRUE(CursorToIdent(crHandPoint, ident));
  EXPECT_EQ(ident, "crHandPoint");
  EXPECT_TRUE(CursorToIdent(crSizeAll, ident));
  EXPECT_EQ(ident, "crSizeAll");
  EXPECT_FALSE(CursorToIdent(7, ident));
  TCursor cursor = 0;
  EXPECT_TRUE(IdentToCursor("crSizeWE", cursor));
  EXPECT_EQ(cursor, -9);
  EXPECT_TRUE(IdentToCursor("CRARROW", cursor));
  EXPECT_EQ(cursor, -2);
  EXPECT_TRUE(IdentToCursor("crSize", cursor));
  EXPECT_EQ(cursor, -22);
  EXPECT_FALSE(IdentToCursor("crBanana", cursor));
  const std::pair<TCursor, const char*> classic[] = {
      {0, "crDefault"},  {-1, "crNone"},      {-3, "crCross"},    {-4, "crIBeam"},      {-6, "crSizeNESW"},
      {-7, "crSizeNS"},  {-8, "crSizeNWSE"},  {-10, "crUpArrow"}, {-11, "crHourGlass"}, {-12, "crDrag"},
      {-13, "crNoDrop"}, {-14, "crHSplit"},   {-15, "crVSplit"},  {-16, "crMultiDrag"}, {-17, "crSQLWait"},
      {-18, "crNo"},     {-19, "crAppStart"}, {-20, "crHelp"},    {-21, "crHandPoint"}};
  for (const auto& [value, name] : classic) {
    EXPECT_TRUE(IdentToCursor(name, cursor)) << name;
    EXPECT_EQ(cursor, value) << name;
  }
}

}  // namespace
}  // namespace toolkit::controltest
