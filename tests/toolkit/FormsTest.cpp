// Forms: painting the surface, presenting it with the pop-ups, the window,
// closing, creation from a stored description, teardown, the exception
// display, icons and the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "base/ByteOrder.h"
#include "ControlTestSupport.h"
#include "gdi/Gdi.h"
#include "tests/support/Expect.h"
#include "toolkit/ClassBuilder.h"
#include "toolkit/Streaming.h"

namespace toolkit::controltest {
namespace {

using testsupport::ThrownMessage;

constexpr gdi::COLORREF kRed = gdi::RGB(255, 0, 0);
constexpr gdi::COLORREF kBlue = gdi::RGB(0, 0, 255);
constexpr gdi::COLORREF kLime = gdi::RGB(0, 255, 0);
constexpr gdi::COLORREF kYellow = gdi::RGB(255, 255, 0);
constexpr gdi::COLORREF kBlack = gdi::RGB(0, 0, 0);

// Paints far beyond itself: the clip must hold it in.
class TSpill : public TProbe {
 public:
  using TProbe::TProbe;

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clYellow);
    Canvas()->FillRect({-500, -500, 500, 500});
  }
};

// Fills the whole surface with black through the form's own window context.
void Blacken(TForm* form) {
  const gdi::HDC dc = gdi::GetDC(form->Handle());
  ASSERT_NE(dc, 0u);
  const gdi::TRect all{0, 0, form->ClientWidth(), form->ClientHeight()};
  gdi::FillRect(dc, &all, gdi::GetStockObject(gdi::BLACK_BRUSH));
  gdi::ReleaseDC(form->Handle(), dc);
}

class FormPaint : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    form = MakeForm(100, 60, false);
    form->SetColor(clRed);
  }
  TForm* form = nullptr;
  Log log;
};

TEST_F(FormPaint, RepaintFillsTheFormColourThenWindowlessThenWindowedControls) {
  auto* a = new TProbe(form, form, "a", &log);
  a->SetBounds(10, 10, 20, 20);
  a->SetColor(clBlue);
  auto* w = new TKeyProbe(form, form, "w", &log);
  w->SetBounds(25, 15, 30, 20);  // overlaps a: windowed paints above
  w->SetColor(clLime);
  form->Repaint();
  EXPECT_EQ(form->SurfacePixel(0, 0), kRed);
  EXPECT_EQ(form->SurfacePixel(12, 12), kBlue);
  EXPECT_EQ(form->SurfacePixel(29, 29), kLime);
  EXPECT_EQ(form->SurfacePixel(54, 34), kLime);
  EXPECT_EQ(form->SurfacePixel(55, 35), kRed);
  EXPECT_EQ(form->SurfacePixel(99, 59), kRed);
  EXPECT_EQ(a->paints, 1);
}

TEST_F(FormPaint, WindowlessControlsPaintBackToFront) {
  auto* back = new TProbe(form, form, "back", &log);
  back->SetBounds(0, 0, 30, 30);
  back->SetColor(clBlue);
  auto* front = new TProbe(form, form, "front", &log);
  front->SetBounds(20, 20, 30, 30);
  front->SetColor(clLime);
  form->Repaint();
  EXPECT_EQ(form->SurfacePixel(25, 25), kLime);
  front->SendToBack();
  form->Repaint();
  EXPECT_EQ(form->SurfacePixel(25, 25), kBlue);
}

TEST_F(FormPaint, AControlPaintsOnlyInsideItself) {
  auto* spill = new TSpill(form, form, "spill", &log);
  spill->SetBounds(40, 20, 10, 10);
  form->Repaint();
  EXPECT_EQ(form->SurfacePixel(40, 20), kYellow);
  EXPECT_EQ(form->SurfacePixel(49, 29), kYellow);
  EXPECT_EQ(form->SurfacePixel(39, 20), kRed);
  EXPECT_EQ(form->SurfacePixel(50, 29), kRed);
  EXPECT_EQ(form->SurfacePixel(45, 30), kRed);
}

TEST_F(FormPaint, ChildrenOfAWindowedControlPaintAtTheirPlaceInIt) {
  auto* panel = new TKeyProbe(form, form, "panel", &log);
  panel->SetBounds(50, 10, 40, 40);
  panel->SetColor(clBlue);
  auto* inner = new TSpill(form, panel, "inner", &log);
  inner->SetBounds(5, 5, 10, 10);
  form->Repaint();
  EXPECT_EQ(form->SurfacePixel(55, 15), kYellow);
  EXPECT_EQ(form->SurfacePixel(64, 24), kYellow);
  EXPECT_EQ(form->SurfacePixel(65, 25), kBlue);
  EXPECT_EQ(form->SurfacePixel(54, 15), kBlue);
}

TEST_F(FormPaint, InvalidateMarksAndUpdatePaintsOnlyWhatIsMarked) {
  form->Repaint();
  Blacken(form);
  form->InvalidateRect({0, 0, 10, 10});
  EXPECT_EQ(form->SurfacePixel(5, 5), kBlack);  // marked, not painted yet
  form->Update();
  EXPECT_EQ(form->SurfacePixel(5, 5), kRed);
  EXPECT_EQ(form->SurfacePixel(9, 9), kRed);
  EXPECT_EQ(form->SurfacePixel(10, 10), kBlack);
  const gdi::TRect dirty = form->DirtyRect();
  EXPECT_TRUE(gdi::IsRectEmpty(&dirty));
}

TEST_F(FormPaint, AControlRepaintRepaintsItsPlace) {
  auto* a = new TProbe(form, form, "a", &log);
  a->SetBounds(10, 10, 20, 20);
  a->SetColor(clBlue);
  form->Repaint();
  Blacken(form);
  a->SetColor(clLime);  // marks only
  EXPECT_EQ(form->SurfacePixel(15, 15), kBlack);
  a->Repaint();
  EXPECT_EQ(form->SurfacePixel(15, 15), kLime);
  EXPECT_EQ(form->SurfacePixel(5, 5), kBlack);
}

TEST_F(FormPaint, HidingAControlRepaintsWhatWasUnderIt) {
  auto* a = new TProbe(form, form, "a", &log);
  a->SetBounds(10, 10, 20, 20);
  a->SetColor(clBlue);
  form->Repaint();
  a->Hide();
  form->Update();
  EXPECT_EQ(form->SurfacePixel(15, 15), kRed);
}

TEST_F(FormPaint, CanvasOutsidePaintDrawsAtTheControlsPlaceAndIsLetGo) {
  form->Show();
  auto* a = new TProbe(form, form, "a", &log);
  a->SetBounds(10, 10, 20, 20);
  form->Repaint();
  const std::size_t live = gdi::GdiLiveObjectCount();
  a->Canvas()->Brush()->SetColor(clYellow);
  a->Canvas()->FillRect({-100, -100, 5, 5});
  EXPECT_EQ(form->SurfacePixel(10, 10), kYellow);
  EXPECT_EQ(form->SurfacePixel(14, 14), kYellow);
  EXPECT_EQ(form->SurfacePixel(9, 10), kRed);
  EXPECT_GT(gdi::GdiLiveObjectCount(), live);  // its context is held ...
  TControlCanvas::FreeDeviceContexts();        // ... until the event is done
  EXPECT_EQ(gdi::GdiLiveObjectCount(), live);
  EXPECT_FALSE(a->Canvas()->HandleAllocated());
}

TEST_F(FormPaint, WindowHandleDrawsAtTheControlsPlaceAndFollowsIt) {
  auto* panel = new TKeyProbe(form, form, "panel", &log);
  panel->SetBounds(20, 10, 30, 30);
  form->Repaint();
  auto fill = [&] {
    const gdi::HDC dc = gdi::GetDC(panel->Handle());
    ASSERT_NE(dc, 0u);
    const gdi::TRect r{-100, -100, 100, 100};
    gdi::FillRect(dc, &r, gdi::GetStockObject(gdi::BLACK_BRUSH));
    gdi::ReleaseDC(panel->Handle(), dc);
  };
  fill();
  EXPECT_EQ(form->SurfacePixel(20, 10), kBlack);
  EXPECT_EQ(form->SurfacePixel(49, 39), kBlack);
  EXPECT_EQ(form->SurfacePixel(50, 39), kRed);
  EXPECT_EQ(form->SurfacePixel(19, 10), kRed);
  form->Repaint();
  panel->SetBounds(60, 20, 10, 10);
  form->Update();  // the old place is repainted without the panel
  fill();
  EXPECT_EQ(form->SurfacePixel(60, 20), kBlack);
  EXPECT_EQ(form->SurfacePixel(20, 10), kRed);
}

TEST_F(FormPaint, OnPaintDrawsOnTheFormsCanvasBelowTheControls) {
  auto* a = new TProbe(form, form, "a", &log);
  a->SetBounds(0, 0, 10, 10);
  a->SetColor(clBlue);
  form->OnPaint = TNotifyEvent([this](TObject*) {
    form->Canvas()->Brush()->SetColor(clLime);
    form->Canvas()->FillRect({0, 0, 50, 50});
  });
  form->Repaint();
  EXPECT_EQ(form->SurfacePixel(5, 5), kBlue);
  EXPECT_EQ(form->SurfacePixel(30, 30), kLime);
  EXPECT_EQ(form->SurfacePixel(60, 30), kRed);
}

// ---- the window and presenting ---------------------------------------------------

class FormWindow : public HeadlessTest {};

TEST_F(FormWindow, ShowOpensAWindowWithThePaintedSurface) {
  auto* form = MakeForm(40, 30, false);
  form->SetCaption("Screenshot");
  form->SetBorderStyle(bsDialog);
  form->SetPosition(poDesktopCenter);
  form->SetColor(clBlue);
  EXPECT_TRUE(backend_->Windows().empty());
  form->Show();
  ASSERT_EQ(backend_->Windows().size(), 1u);
  const auto& shown = *backend_->Windows()[0];
  EXPECT_TRUE(shown.visible);
  EXPECT_EQ(shown.title, "Screenshot");
  EXPECT_EQ(shown.width, 40);
  EXPECT_EQ(shown.height, 30);
  ASSERT_EQ(shown.pixels.size(), 40u * 30u);
  EXPECT_EQ(shown.pixels[0], 0x0000FFu);  // 0x00RRGGBB
  form->SetCaption("Other");
  EXPECT_EQ(shown.title, "Other");
}

TEST_F(FormWindow, EveryDispatchedEventPresents) {
  auto* form = MakeForm(40, 30);
  const int before = backend_->PresentCount();
  Move(1, 1);
  Move(2, 2);
  EXPECT_EQ(backend_->PresentCount(), before + 2);
  auto* a = new TProbe(form, form, "a", &log_);
  a->SetBounds(0, 0, 5, 5);
  a->SetColor(clLime);
  Move(3, 3);  // the marked area is painted before presenting
  EXPECT_EQ(backend_->Windows()[0]->pixels[0], 0x00FF00u);
}

TEST_F(FormWindow, ExposeRepaintsTheWholeSurface) {
  auto* form = MakeForm(40, 30);
  form->SetColor(clRed);
  form->Update();
  Blacken(form);
  Event expose;
  expose.type = EventType::Expose;
  Send(expose);
  EXPECT_EQ(form->SurfacePixel(0, 0), kRed);
  EXPECT_EQ(form->SurfacePixel(39, 29), kRed);
  EXPECT_EQ(backend_->Windows()[0]->pixels[29 * 40 + 39], 0xFF0000u);
}

TEST_F(FormWindow, DialogFrameSizesAndClientOrigin) {
  auto* form = MakeForm(300, 200, false);
  form->SetBorderStyle(bsDialog);
  EXPECT_EQ(form->ClientWidth(), 300);
  EXPECT_EQ(form->ClientHeight(), 200);
  EXPECT_EQ(form->Width(), 306);
  EXPECT_EQ(form->Height(), 225);
  form->SetWidth(206);
  EXPECT_EQ(form->ClientWidth(), 200);
  form->Show();
  // The headless screen is 1024 x 768 with the window centred.
  EXPECT_EQ(form->ClientToScreen({0, 0}), (gdi::TPoint{(1024 - 200) / 2, (768 - 200) / 2}));
  EXPECT_THROW(form->SetParent(form), EInvalidOperation);
}

TEST_F(FormWindow, PopupsAreCompositedAboveTheSurfaceAndTakeTheMouseFirst) {
  auto* form = MakeForm(60, 40);
  form->SetColor(clRed);
  auto* under = new TProbe(form, form, "under", &log_);
  under->SetBounds(0, 0, 60, 40);
  under->SetColor(clBlue);
  auto* popup = new TKeyProbe(form, nullptr, "popup", &log_);
  popup->SetBounds(10, 10, 20, 10);
  popup->SetColor(clLime);
  form->ShowPopup(popup);
  Move(50, 35);
  const auto& shown = *backend_->Windows()[0];
  EXPECT_EQ(shown.pixels[15 * 60 + 15], 0x00FF00u);
  EXPECT_EQ(shown.pixels[5 * 60 + 5], 0x0000FFu);
  EXPECT_EQ(form->SurfacePixel(15, 15), kBlue);  // not on the surface itself
  log_.clear();
  Press(12, 14);
  Release(12, 14);
  Press(40, 30);
  Log presses;
  std::copy_if(log_.begin(), log_.end(), std::back_inserter(presses),
               [](const std::string& entry) { return entry.find(".down") != std::string::npos; });
  EXPECT_EQ(presses, (Log{"popup.down 2,4", "under.down 40,30"}));
  EXPECT_EQ(popup->ClientToScreen({0, 0}).X, form->ClientToScreen({10, 0}).X);
  form->HidePopup(popup);
  Release(40, 30);
  EXPECT_EQ(shown.pixels[15 * 60 + 15], 0x0000FFu);
  EXPECT_EQ(form->PopupCount(), 0);
}

TEST_F(FormWindow, CloseOfTheMainFormEndsTheLoop) {
  TForm* form = nullptr;
  Application->CreateForm(form);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(Application->MainForm(), form);
  int closes = 0;
  form->OnClose = TCloseEvent([&](TObject*, TCloseAction&) { ++closes; });
  Event close;
  close.type = EventType::Close;
  backend_->Inject(close);
  Event after;
  after.type = EventType::Expose;
  backend_->Inject(after);
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(form->Visible());  // shown by Run
  delete form;
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(FormWindow, CloseCanBeRefusedOrHidesOrFreesOtherForms) {
  TForm* mainForm = nullptr;
  Application->CreateForm(mainForm);
  auto* other = MakeForm();
  bool allow = false;
  other->OnCloseQuery = TCloseQueryEvent([&](TObject*, bool& canClose) { canClose = allow; });
  other->Close();
  EXPECT_TRUE(other->Visible());
  allow = true;
  other->Close();
  EXPECT_FALSE(other->Visible());
  EXPECT_FALSE(Application->Terminated());
  int freed = 0;
  auto* third = MakeForm();
  third->OnDestroy = TNotifyEvent([&](TObject*) { ++freed; });
  third->OnClose = TCloseEvent([](TObject*, TCloseAction& action) { action = caFree; });
  const int forms = Screen->FormCount();
  Event close;
  close.type = EventType::Close;
  Send(close);  // the active form is the one shown last
  EXPECT_EQ(freed, 1);
  EXPECT_EQ(Screen->FormCount(), forms - 1);
  EXPECT_FALSE(Application->Terminated());
}

// ---- creation from a stored description -------------------------------------------

class TStoredForm : public TForm {
  TOOLKIT_CLASS(TStoredForm, TForm)
 public:
  using TForm::TForm;
};

const TClassInfo& TStoredForm::StaticClass() {
  static const TClassInfo info = ClassBuilder<TStoredForm>("TStoredForm", &TForm::StaticClass()).Build();
  return info;
}

class TStoredPanel : public TCustomControl {
  TOOLKIT_CLASS(TStoredPanel, TCustomControl)
 public:
  using TCustomControl::TCustomControl;
};

const TClassInfo& TStoredPanel::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TStoredPanel>("TStoredPanel", &TCustomControl::StaticClass()).Creatable().Build();
  return info;
}

class TStoredMark : public TGraphicControl {
  TOOLKIT_CLASS(TStoredMark, TGraphicControl)
 public:
  using TGraphicControl::TGraphicControl;
};

const TClassInfo& TStoredMark::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TStoredMark>("TStoredMark", &TGraphicControl::StaticClass()).Creatable().Build();
  return info;
}

class FormCreation : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    RegisterClass(TStoredPanel::StaticClass());
    RegisterClass(TStoredMark::StaticClass());
  }
  void TearDown() override {
    UnregisterFormResource("TStoredForm");
    HeadlessTest::TearDown();
  }
  // The description of a form with a panel holding a mark, and a mark on
  // the form itself.
  std::vector<std::uint8_t> Description() {
    TComponent holder(nullptr);
    auto* source = new TStoredForm(&holder);
    source->SetName("StoredForm");
    source->SetCaption("Stored");
    source->SetClientWidth(120);
    source->SetClientHeight(80);
    source->SetKeyPreview(true);
    auto* panel = new TStoredPanel(source);
    panel->SetName("Panel1");
    panel->SetParent(source);
    panel->SetBounds(10, 10, 50, 50);
    auto* inner = new TStoredMark(source);
    inner->SetName("Inner");
    inner->SetParent(panel);
    inner->SetBounds(1, 2, 3, 4);
    auto* outer = new TStoredMark(source);
    outer->SetName("Outer");
    outer->SetParent(source);
    outer->SetBounds(70, 5, 6, 7);
    TMemoryStream stream;
    WriteComponent(stream, source);
    return stream.Bytes();
  }
};

TEST_F(FormCreation, CreateFormReadsTheDescriptionRegisteredForItsClass) {
  const auto bytes = Description();
  RegisterFormResource("tstoredform", bytes.data(), bytes.size());  // any case
  TStoredForm* form = nullptr;
  Application->CreateForm(form);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Caption(), "Stored");
  EXPECT_EQ(form->ClientWidth(), 120);
  EXPECT_TRUE(form->KeyPreview());
  auto* panel = dynamic_cast<TStoredPanel*>(form->FindComponent("Panel1"));
  auto* inner = dynamic_cast<TStoredMark*>(form->FindComponent("Inner"));
  auto* outer = dynamic_cast<TStoredMark*>(form->FindComponent("Outer"));
  ASSERT_TRUE(panel && inner && outer);
  EXPECT_EQ(panel->Parent(), form);
  EXPECT_EQ(inner->Parent(), panel);
  EXPECT_EQ(outer->Parent(), form);
  EXPECT_EQ(inner->BoundsRect(), (gdi::TRect{1, 2, 4, 6}));
  EXPECT_EQ(form->ComponentCount(), 3);
}

TEST_F(FormCreation, OnCreateRunsAfterTheDescriptionIsRead) {
  class TCreating : public TStoredForm {
   public:
    explicit TCreating(TComponent* owner) : TStoredForm(owner) {
      OnCreate = TNotifyEvent([this](TObject*) { seen = Caption(); });
    }
    const TClassInfo& ClassType() const override { return TStoredForm::StaticClass(); }
    std::string seen;
  };
  const auto bytes = Description();
  RegisterFormResource("TStoredForm", bytes.data(), bytes.size());
  TCreating* form = nullptr;
  Application->CreateForm(form);
  EXPECT_EQ(form->seen, "Stored");
}

TEST_F(FormCreation, AnExceptionInOnCreateIsShownAndCreationGoesOn) {
  class TFailing : public TForm {
   public:
    explicit TFailing(TComponent* owner) : TForm(owner) {
      OnCreate = TNotifyEvent([](TObject*) { throw Exception("Port busy"); });
    }
  };
  TFailing* form = nullptr;
  Application->CreateForm(form);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(Application->MainForm(), form);
  ASSERT_EQ(backend_->MessageBoxes().size(), 1u);
  EXPECT_EQ(backend_->MessageBoxes()[0].text, "Port busy.");
}

TEST_F(FormCreation, ABrokenDescriptionFailsCreationAndLeavesNothing) {
  const std::uint8_t junk[] = {'L', 'V', 'F', '1', 9, 'T', 'S', 't'};
  RegisterFormResource("TStoredForm", junk, sizeof junk);
  const int forms = Screen->FormCount();
  TStoredForm* form = nullptr;
  EXPECT_THROW(Application->CreateForm(form), EReadError);
  EXPECT_EQ(form, nullptr);
  EXPECT_EQ(Screen->FormCount(), forms);
  EXPECT_EQ(Application->MainForm(), nullptr);
}

// ---- teardown ----------------------------------------------------------------------

// Counts its frees and the removal notifications it is sent.
class TWatched : public TGraphicControl {
 public:
  TWatched(TComponent* owner, TWinControl* parent, int* frees) : TGraphicControl(owner), frees_(frees) {
    SetParent(parent);
  }
  ~TWatched() override { ++*frees_; }

 private:
  int* frees_;
};

class TWatcher : public TComponent {
 public:
  using TComponent::TComponent;
  std::vector<TComponent*> removed;
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == TOperation::opRemove) removed.push_back(component);
    TComponent::Notification(component, operation);
  }
};

class FormTeardown : public HeadlessTest {};

TEST_F(FormTeardown, FreeingAFormFreesEachComponentOnceAndReleasesAllGraphics) {
  const std::size_t live = gdi::GdiLiveObjectCount();
  int frees = 0;
  TWatcher watcher(nullptr);
  {
    auto* form = MakeForm(80, 60);
    auto* panel = new TKeyProbe(form, form, "panel", &log_);
    panel->SetBounds(0, 0, 40, 40);
    auto* inPanel = new TWatched(form, panel, &frees);  // owned by the form, parented by the panel
    inPanel->SetBounds(1, 1, 5, 5);
    auto* onForm = new TWatched(form, form, &frees);
    onForm->SetBounds(50, 0, 5, 5);
    auto* ownedByPanel = new TWatched(panel, panel, &frees);
    ownedByPanel->SetBounds(10, 10, 5, 5);
    auto* menu = new TPopupMenu(form);
    onForm->SetPopupMenu(menu);
    inPanel->FreeNotification(&watcher);
    panel->SetFocus();
    Press(2, 2);  // capture held while freed
    inPanel->Canvas()->Brush()->SetColor(clLime);
    inPanel->Canvas()->FillRect({0, 0, 5, 5});  // a context still held
    form->Repaint();
    EXPECT_GT(gdi::GdiLiveObjectCount(), live);
    delete form;
  }
  EXPECT_EQ(frees, 3);
  EXPECT_EQ(watcher.removed.size(), 1u);
  EXPECT_EQ(gdi::GdiLiveObjectCount(), live);
}

TEST_F(FormTeardown, FreeingAControlClearsWhatPointedAtIt) {
  auto* form = MakeForm();
  auto* menu = new TPopupMenu(form);
  auto* a = new TKeyProbe(form, form, "a", &log_);
  a->SetPopupMenu(menu);
  delete menu;
  EXPECT_EQ(a->PopupMenu(), nullptr);
  a->SetFocus();
  delete a;
  EXPECT_EQ(form->ActiveControl(), nullptr);
  EXPECT_EQ(form->ControlCount(), 0);
}

// ---- the exception display -----------------------------------------------------------

TEST(ExceptionText, AddsAFullStopAfterCharactersThatSortAfterIt) {
  EXPECT_EQ(TApplication::ExceptionText("Abc"), "Abc.");
  EXPECT_EQ(TApplication::ExceptionText("Abc."), "Abc.");
  EXPECT_EQ(TApplication::ExceptionText(""), "");
  EXPECT_EQ(TApplication::ExceptionText("Why?"), "Why?.");   // '?' sorts after '.'
  EXPECT_EQ(TApplication::ExceptionText("Stop!"), "Stop!");  // '!' sorts before it
  EXPECT_EQ(TApplication::ExceptionText("Error 42"), "Error 42.");
  EXPECT_EQ(TApplication::ExceptionText("(x)"), "(x)");           // ')' before '.'
  EXPECT_EQ(TApplication::ExceptionText("caf\xE9"), "caf\xE9.");  // bytes sort unsigned
}

class ExceptionDisplay : public HeadlessTest {};

TEST_F(ExceptionDisplay, AnExceptionInAHandlerIsShownAndTheLoopGoesOn) {
  auto* form = MakeForm();
  auto* a = new TProbe(form, form, "a", &log_);
  a->SetBounds(0, 0, 20, 20);
  int clicks = 0;
  a->OnClick = TNotifyEvent([&](TObject*) {
    ++clicks;
    throw EInvalidOperation("No MIDI output");
  });
  Press(5, 5);
  Release(5, 5);
  Press(5, 5);
  Release(5, 5);
  EXPECT_EQ(clicks, 2);
  ASSERT_EQ(backend_->MessageBoxes().size(), 2u);
  const auto& box = backend_->MessageBoxes()[0];
  EXPECT_EQ(box.title, "Lumivant");
  EXPECT_EQ(box.text, "No MIDI output.");
  EXPECT_EQ(box.icon, platform::MessageBoxIcon::Error);
}

TEST_F(ExceptionDisplay, AbortIsSilentAndOnExceptionReplacesTheBox) {
  auto* form = MakeForm();
  form->OnKeyDown = TKeyEvent([](TObject*, WORD& key, TShiftState) {
    if (key == 'A') throw EAbort("quiet");
    throw std::runtime_error("loud");
  });
  KeyDown('A');
  EXPECT_TRUE(backend_->MessageBoxes().empty());
  std::string seen;
  Application->OnException = TExceptionEvent([&](TObject* sender, const std::exception& e) {
    seen = std::string(e.what()) + (sender == form ? " from the form" : "");
  });
  KeyDown('B');
  EXPECT_EQ(seen, "loud from the form");
  EXPECT_TRUE(backend_->MessageBoxes().empty());
}

// Showing the main form in Run: a failing OnShow is shown and the loop goes
// on; a window the backend refuses leaves Run unshown, for the caller.
TEST_F(ExceptionDisplay, RunGoesOnAfterAFailingOnShowButNotWithoutAWindow) {
  TForm* form = nullptr;
  Application->CreateForm(form);
  form->OnShow = TNotifyEvent([](TObject*) { throw EInvalidOperation("Not now"); });
  Application->Run();
  ASSERT_EQ(backend_->MessageBoxes().size(), 1u);
  EXPECT_EQ(backend_->MessageBoxes()[0].text, "Not now.");

  form->Hide();
  form->OnShow.Clear();
  backend_->RefuseWindows("cannot open a window: no screen");
  EXPECT_EQ(ThrownMessage<EWindowError>([] { Application->Run(); }), "cannot open a window: no screen");
  EXPECT_EQ(backend_->MessageBoxes().size(), 1u);
  EXPECT_EQ(form->Window(), nullptr);
}

// ---- icons --------------------------------------------------------------------------------

// A bitmap entry: header, table, rows bottom-up, then the AND mask.
std::vector<std::uint8_t> BmpEntry(int w, int h, int bits, const std::vector<std::uint32_t>& table,
                                   const std::vector<std::vector<std::uint8_t>>& rowsTopDown,
                                   const std::vector<std::uint8_t>& maskRowsTopDown) {
  std::vector<std::uint8_t> v;
  base::AppendLe32(v, 40);
  base::AppendLe32(v, static_cast<std::uint32_t>(w));
  base::AppendLe32(v, static_cast<std::uint32_t>(2 * h));
  base::AppendLe16(v, 1);
  base::AppendLe16(v, static_cast<unsigned>(bits));
  for (int i = 0; i < 6; ++i) base::AppendLe32(v, 0);
  for (std::uint32_t c : table) base::AppendLe32(v, c);
  for (int y = h - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row = rowsTopDown[static_cast<std::size_t>(y)];
    row.resize((row.size() + 3) / 4 * 4, 0);
    v.insert(v.end(), row.begin(), row.end());
  }
  for (int y = h - 1; y >= 0; --y) {
    v.push_back(maskRowsTopDown[static_cast<std::size_t>(y)]);
    v.insert(v.end(), 3, 0);
  }
  return v;
}

std::vector<std::uint8_t> Ico(const std::vector<std::vector<std::uint8_t>>& entries) {
  std::vector<std::uint8_t> v;
  base::AppendLe16(v, 0);
  base::AppendLe16(v, 1);
  base::AppendLe16(v, static_cast<unsigned>(entries.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
  for (const auto& e : entries) {
    v.insert(v.end(), {2, 2, 0, 0});
    base::AppendLe16(v, 1);
    base::AppendLe16(v, 32);
    base::AppendLe32(v, static_cast<std::uint32_t>(e.size()));
    base::AppendLe32(v, offset);
    offset += static_cast<std::uint32_t>(e.size());
  }
  for (const auto& e : entries) v.insert(v.end(), e.begin(), e.end());
  return v;
}

TEST(Icon, ReadsBitmapEntriesWithMaskOrAlphaAndSkipsPng) {
  // 2 x 2, 1 bit: white top-left, the right column masked out.
  const auto mono = BmpEntry(2, 2, 1, {0x000000, 0xFFFFFF}, {{0x80}, {0x40}}, {0x40, 0x40});
  // 2 x 2, 32 bits with alpha of its own.
  const auto argb = BmpEntry(
      2, 2, 32, {}, {{0x01, 0x02, 0x03, 0xFF, 0x10, 0x20, 0x30, 0x80}, {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x01}},
      {0xC0, 0xC0});
  const std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0};
  const auto file = Ico({mono, png, argb});
  TIcon icon;
  icon.LoadFromBytes(file.data(), file.size());
  ASSERT_EQ(icon.Images().size(), 2u);
  const auto& a = icon.Images()[0];
  EXPECT_EQ(a.width, 2);
  EXPECT_EQ(a.height, 2);
  EXPECT_EQ(a.argb, (std::vector<std::uint32_t>{0xFFFFFFFF, 0x00000000, 0xFF000000, 0x00FFFFFF}));
  const auto& b = icon.Images()[1];
  EXPECT_EQ(b.argb, (std::vector<std::uint32_t>{0xFF030201, 0x80302010, 0x00000000, 0x01FFFFFF}));
  EXPECT_EQ(icon.Data(), file);
  TIcon copy;
  copy.Assign(&icon);
  EXPECT_EQ(copy.Images().size(), 2u);
  EXPECT_EQ(copy.Images()[1].argb, b.argb);
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
  EXPECT_TRUE(copy.Images().empty());
}

TEST(Icon, MalformedFilesAreRefusedAndTheIconKeepsWhatItHad) {
  const auto good = Ico({BmpEntry(2, 2, 1, {0, 0xFFFFFF}, {{0}, {0}}, {0, 0})});
  TIcon icon;
  icon.LoadFromBytes(good.data(), good.size());
  auto refused = [&](std::vector<std::uint8_t> bytes) {
    EXPECT_THROW(icon.LoadFromBytes(bytes.data(), bytes.size()), EInvalidGraphic);
    EXPECT_EQ(icon.Data(), good);
  };
  refused({});
  refused(std::vector<std::uint8_t>(good.begin(), good.begin() + 5));
  refused(std::vector<std::uint8_t>(good.begin(), good.end() - 4));  // mask cut short
  auto badType = good;
  badType[2] = 2;
  refused(badType);
  auto pastEnd = good;
  pastEnd[6 + 12] = 0xF0;  // entry offset beyond the file
  refused(pastEnd);
  auto hugeCount = good;
  hugeCount[4] = 0xFF;
  refused(hugeCount);
  auto badBits = good;
  badBits[6 + 16 + 14] = 7;
  refused(badBits);
  auto badWidth = good;
  badWidth[6 + 16 + 7] = 0x80;  // negative
  refused(badWidth);
  auto bigTable = good;
  bigTable[6 + 16 + 32] = 3;  // 3 colours for 1 bit
  refused(bigTable);
}

// ---- the screen ------------------------------------------------------------------------------

TEST_F(FormWindow, ScreenSizeCursorsAndForms) {
  EXPECT_EQ(Screen->Width(), 1024);
  EXPECT_EQ(Screen->Height(), 768);
  for (TCursor c : {crArrow, crIBeam, crCross, crHandPoint, crHourGlass, crSizeNS, crSizeWE, crSizeNESW,
                    crSizeNWSE, crSizeAll, crNo, crUpArrow}) {
    const platform::CursorImage* image = Screen->Cursors(c);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->argb.size(), static_cast<std::size_t>(image->width * image->height));
    EXPECT_NE(std::count(image->argb.begin(), image->argb.end(), 0xFF000000u), 0) << c;
    EXPECT_EQ(Screen->Cursors(c), image);  // the same image each time
  }
  EXPECT_NE(Screen->Cursors(crIBeam)->argb, Screen->Cursors(crArrow)->argb);
  EXPECT_EQ(Screen->Cursors(1234)->argb, Screen->Cursors(crArrow)->argb);
  platform::CursorImage own;
  own.width = own.height = 1;
  own.argb = {0xFF123456};
  Screen->SetCursorImage(5, own);
  EXPECT_EQ(Screen->Cursors(5)->argb, own.argb);

  auto* first = MakeForm();
  auto* second = MakeForm();
  EXPECT_EQ(Screen->ActiveForm(), second);
  second->Hide();
  EXPECT_EQ(Screen->ActiveForm(), first);
}

}  // namespace
}  // namespace toolkit::controltest
