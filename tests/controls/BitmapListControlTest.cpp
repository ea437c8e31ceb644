// Controls bound to a bitmap list, on a headless window: binding, the
// index rules, pictures on the surface before a setter returns, the
// transparent colour, teardown either way, strips and streaming.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "controls/Mmbmpbtn.h"
#include "controls/Mmbmplst.h"
#include "tests/toolkit/ControlTestSupport.h"
#include "toolkit/ClassBuilder.h"
#include "toolkit/Streaming.h"

namespace controls {
namespace {

using namespace toolkit;
using toolkit::controltest::HeadlessTest;

constexpr gdi::COLORREF kFace = 0xC8D0D4;  // the form's colour

// A 32-bit bitmap of one colour, but for its bottom-left pixel.
std::unique_ptr<TBitmap> Solid(int width, int height, gdi::COLORREF color, gdi::COLORREF bottomLeft) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(width, height);
  bitmap->Canvas()->Brush()->SetColor(static_cast<TColor>(color));
  bitmap->Canvas()->FillRect({0, 0, width, height});
  bitmap->Canvas()->SetPixel(0, height - 1, static_cast<TColor>(bottomLeft));
  bitmap->FreeCanvasHandle();
  return bitmap;
}

// Draws its bitmap at its top-left and counts its paints.
class Shown : public TMMCustomBitmapListControl {
 public:
  using TMMCustomBitmapListControl::TMMCustomBitmapListControl;
  int paints = 0;

 protected:
  void Paint() override {
    ++paints;
    if (TBitmap* bitmap = GetBitmap()) Canvas()->Draw(0, 0, bitmap);
  }
};

class ListControls : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    form = MakeForm(200, 120);
    list = new TMMBitmapList(form);
    list->Add(Solid(20, 10, 0x0000FF, 0x000011).get());  // red, bottom-left 0x11
    list->Add(Solid(20, 10, 0xFF0000, 0x000022).get());  // blue, bottom-left 0x22
  }
  template <typename C>
  C* Make(int left, int top) {
    auto* control = new C(form);
    control->SetParent(form);
    control->SetBounds(left, top, 20, 10);
    control->SetBitmaps(list);
    form->Update();
    return control;
  }
  gdi::COLORREF At(int x, int y) { return form->SurfacePixel(x, y); }

  TForm* form = nullptr;
  TMMBitmapList* list = nullptr;
};

TEST_F(ListControls, ANewControlIsUnboundAndSeeThrough) {
  Shown control(nullptr);
  EXPECT_EQ(control.BitmapIndex(), -1);
  EXPECT_EQ(control.BitmapBackIndex(), -1);
  EXPECT_EQ(control.BitmapList(), nullptr);
  EXPECT_EQ(control.DesignColor(), clRed);
  EXPECT_EQ(control.TransparentMode(), tmAuto);
  EXPECT_FALSE(control.ControlStyle() & csOpaque);
  EXPECT_FALSE(control.BitmapValid());
  EXPECT_EQ(control.GetBitmap(), nullptr);
  EXPECT_EQ(control.GetTransparentColor(), clDefault);
  EXPECT_EQ(control.GetPalette(), 0u);
}

TEST_F(ListControls, AnIndexChangeIsOnTheSurfaceBeforeTheSetterReturns) {
  auto* control = Make<Shown>(10, 10);
  control->SetBitmapIndex(0);
  EXPECT_EQ(At(15, 12), 0x0000FFu);
  control->SetBitmapIndex(1);
  EXPECT_EQ(At(15, 12), 0xFF0000u) << "no message loop turn in between";
}

TEST_F(ListControls, IndexRules) {
  auto* control = Make<Shown>(10, 10);
  control->SetBitmapIndex(1);
  const int before = control->paints;
  control->SetBitmapIndex(1);
  EXPECT_EQ(control->paints, before) << "the same index repaints nothing";

  control->SetBitmapIndex(-5);
  EXPECT_EQ(control->BitmapIndex(), -1);
  EXPECT_GT(control->paints, before);
  EXPECT_EQ(At(15, 12), kFace);

  control->SetBitmapIndex(5);
  EXPECT_EQ(control->BitmapIndex(), 5) << "no upper bound";
  EXPECT_EQ(At(15, 12), kFace);
  list->Add(Solid(20, 10, 0x00FF00, 0).get());
  list->Add(Solid(20, 10, 0x00FF00, 0).get());
  list->Add(Solid(20, 10, 0x00FF00, 0).get());
  EXPECT_EQ(At(15, 12), kFace) << "five bitmaps: still nothing at index 5";
  list->Add(Solid(20, 10, 0x00FFFF, 0).get());
  EXPECT_EQ(At(15, 12), 0x00FFFFu) << "the sixth appears at the list's report";

  control->SetBitmapBackIndex(-3);
  EXPECT_EQ(control->BitmapBackIndex(), -1);
}

TEST_F(ListControls, EveryAssignmentOfTheListRegistersAgainAndRepaints) {
  auto* control = Make<Shown>(10, 10);
  EXPECT_EQ(list->ObserverCount(), 1);
  const int before = control->paints;
  control->SetBitmaps(list);
  EXPECT_EQ(list->ObserverCount(), 1);
  EXPECT_GT(control->paints, before);

  TMMBitmapList other(nullptr);
  control->SetBitmaps(&other);
  EXPECT_EQ(list->ObserverCount(), 0);
  EXPECT_EQ(other.ObserverCount(), 1);
  control->SetBitmaps(nullptr);
  EXPECT_EQ(other.ObserverCount(), 0);
}

TEST_F(ListControls, TransparentColourFollowsTheBitmapUntilFixed) {
  auto* control = Make<Shown>(10, 10);
  control->SetBitmapIndex(0);
  EXPECT_EQ(control->GetTransparentColor(), 0x11) << "the bottom-left pixel";
  control->SetBitmapIndex(1);
  EXPECT_EQ(control->GetTransparentColor(), 0x22) << "looked up again for each bitmap";
  EXPECT_FALSE(control->TransparentColorStored());

  control->SetTransparentMode(tmFixed);
  EXPECT_EQ(control->TransparentMode(), tmFixed);
  control->SetBitmapIndex(0);
  EXPECT_EQ(control->GetTransparentColor(), 0x22) << "frozen when fixed";
  EXPECT_TRUE(control->TransparentColorStored());

  control->SetTransparentColor(clDefault);
  EXPECT_EQ(control->TransparentMode(), tmAuto);
  EXPECT_EQ(control->GetTransparentColor(), 0x11);
  control->SetTransparentColor(clBtnFace);
  EXPECT_EQ(control->TransparentMode(), tmFixed);
  EXPECT_EQ(control->GetTransparentColor(), static_cast<TColor>(kFace)) << "system colours resolved";
  control->SetTransparentMode(tmAuto);
  EXPECT_EQ(control->GetTransparentColor(), 0x11);

  control->SetBitmapIndex(-1);
  control->SetTransparentMode(tmFixed);
  EXPECT_EQ(control->TransparentMode(), tmAuto) << "nothing to freeze without a bitmap";
}

TEST_F(ListControls, AColourChangeRepaintsLater) {
  auto* control = Make<Shown>(10, 10);
  const int before = control->paints;
  control->SetTransparentColor(clRed);
  EXPECT_EQ(control->paints, before);
  form->Update();
  EXPECT_EQ(control->paints, before + 1);
  control->SetTransparentColor(clRed);
  form->Update();
  EXPECT_EQ(control->paints, before + 1);
}

TEST_F(ListControls, FreeingTheListUnbindsAndBlanks) {
  auto* control = Make<Shown>(10, 10);
  control->SetBitmapIndex(0);
  EXPECT_EQ(At(15, 12), 0x0000FFu);
  delete list;
  list = nullptr;
  EXPECT_EQ(control->BitmapList(), nullptr);
  EXPECT_FALSE(control->BitmapValid());
  EXPECT_EQ(At(15, 12), kFace);
}

TEST_F(ListControls, FreeingTheListOwnedElsewhereUnbindsToo) {
  auto other = std::make_unique<TMMBitmapList>(nullptr);
  other->Add(Solid(20, 10, 0x0000FF, 0).get());
  auto* control = Make<Shown>(10, 10);
  control->SetBitmaps(other.get());
  control->SetBitmapIndex(0);
  other.reset();
  EXPECT_EQ(control->BitmapList(), nullptr);
  EXPECT_EQ(At(15, 12), kFace);
}

TEST_F(ListControls, FreeingTheControlLeavesTheListOneObserverFewer) {
  auto* a = Make<Shown>(10, 10);
  Make<Shown>(40, 10);
  EXPECT_EQ(list->ObserverCount(), 2);
  delete a;
  EXPECT_EQ(list->ObserverCount(), 1);
  list->Add(Solid(3, 3, 0, 0).get());  // the freed control is not called
}

// ---- the image control -------------------------------------------------------------

TEST_F(ListControls, ImageStripsAndAutoSize) {
  auto* image = new TMMBitmapListImage(form);
  EXPECT_EQ(image->Width(), 80);
  EXPECT_EQ(image->Height(), 80);
  image->SetParent(form);
  list->Add(Solid(100, 30, 0, 0).get());
  image->SetBitmaps(list);
  image->SetBitmapIndex(2);
  image->SetNumGlyphs(4);
  gdi::TRect r = image->GetSrcRect(1);
  EXPECT_EQ(r.Left, 25);
  EXPECT_EQ(r.Right, 50);
  EXPECT_EQ(r.Bottom, 30);
  r = image->GetSrcRect(7);
  EXPECT_EQ(r.Left, 75);
  EXPECT_EQ(r.Right, 100);
  image->SetGlyphOrient(goVertical);
  r = image->GetSrcRect(1);
  EXPECT_EQ(r.Top, 7);
  EXPECT_EQ(r.Bottom, 14);
  EXPECT_EQ(r.Right, 100);

  image->SetNumGlyphs(0);
  EXPECT_EQ(image->NumGlyphs(), 1);
  image->SetGlyphOrient(goHorizontal);
  image->SetBounds(30, 40, 10, 10);
  list->Add(Solid(87, 65, 0, 0).get());
  image->SetBitmapIndex(3);
  image->SetAutoSize(true);
  EXPECT_EQ(image->Left(), 30);
  EXPECT_EQ(image->Top(), 40);
  EXPECT_EQ(image->Width(), 87);
  EXPECT_EQ(image->Height(), 65);
}

TEST_F(ListControls, ImageGlyphChangeIsDrawnAtOnce) {
  auto strip = Solid(40, 10, 0x0000FF, 0x0000FF);
  strip->Canvas()->Brush()->SetColor(static_cast<TColor>(0xFF0000));
  strip->Canvas()->FillRect({20, 0, 40, 10});
  strip->FreeCanvasHandle();
  list->Add(strip.get());
  auto* image = Make<TMMBitmapListImage>(10, 10);
  image->SetNumGlyphs(2);
  image->SetBitmapIndex(2);
  form->Update();
  EXPECT_EQ(At(15, 12), 0x0000FFu);
  image->SetGlyphIndex(1);
  EXPECT_EQ(At(15, 12), 0xFF0000u) << "drawn before the setter returned";
  EXPECT_EQ(At(29, 19), 0xFF0000u);
  EXPECT_EQ(At(30, 20), kFace) << "nothing outside the control";

  // A strip before the bitmap shows nothing new and reads nothing outside.
  image->SetGlyphIndex(-3);
  EXPECT_EQ(image->GlyphIndex(), -3);
  EXPECT_EQ(At(15, 12), 0xFF0000u) << "drawn without erasing: what was there stays";
  form->Invalidate();
  form->Update();
  EXPECT_EQ(At(15, 12), kFace);
}

TEST_F(ListControls, ImagePaintHandlerReplacesTheCopy) {
  auto* image = Make<TMMBitmapListImage>(10, 10);
  image->SetBitmapIndex(0);
  gdi::TRect seenDest{}, seenSource{};
  image->OnPaint = TMMPaintImage([&](TObject* sender, TCanvas* canvas, gdi::TRect& dest, gdi::TRect& source) {
    EXPECT_EQ(sender, image);
    seenDest = dest;
    seenSource = source;
    canvas->Brush()->SetColor(static_cast<TColor>(0x00FF00));
    canvas->FillRect(dest);
  });
  image->SetGlyphIndex(0);
  form->Invalidate();
  form->Update();
  EXPECT_EQ(seenDest.Right, 20);
  EXPECT_EQ(seenDest.Bottom, 10);
  EXPECT_EQ(seenSource.Right, 20);
  EXPECT_EQ(At(15, 12), 0x00FF00u);
}

TEST_F(ListControls, StreamingBindsByNameAndLeavesDefaultsOut) {
  RegisterClass(TMMBitmapList::StaticClass());
  RegisterClass(TMMBitmapListImage::StaticClass());
  list->SetName("Faces");
  auto* image = Make<TMMBitmapListImage>(10, 10);
  image->SetName("Picture");
  image->SetBitmapIndex(1);

  TMemoryStream binary, text;
  WriteComponent(binary, form);
  binary.SetPosition(0);
  ObjectBinaryToText(binary, text);
  const std::string written(text.Bytes().begin(), text.Bytes().end());
  const std::string block = written.substr(written.find("object Picture"));
  EXPECT_NE(block.find("BitmapList = Faces"), std::string::npos) << block;
  EXPECT_NE(block.find("BitmapIndex = 1"), std::string::npos) << block;
  EXPECT_NE(block.find("NumGlyphs = 1"), std::string::npos) << "always written";
  for (const char* left :
       {"BitmapBackIndex", "AutoSize", "GlyphOrientation", "GlyphIndex", "DesignColor", "Tag2"})
    EXPECT_EQ(block.find(left), std::string::npos) << left << " has its default";

  binary.SetPosition(0);
  TComponent owner(nullptr);
  auto* copy = new TForm(&owner);
  ReadComponent(binary, copy);
  auto* faces = dynamic_cast<TMMBitmapList*>(copy->FindComponent("Faces"));
  auto* picture = dynamic_cast<TMMBitmapListImage*>(copy->FindComponent("Picture"));
  ASSERT_TRUE(faces && picture);
  EXPECT_EQ(picture->BitmapList(), faces);
  EXPECT_EQ(picture->BitmapIndex(), 1);
  EXPECT_EQ(faces->Count(), 2);
  EXPECT_EQ(faces->ObserverCount(), 1);
}

// ---- drag and drop in descriptions ----------------------------------------------

class TDragForm : public TForm {
  TOOLKIT_CLASS(TDragForm, TForm)
 public:
  using TForm::TForm;
  void FaceOver(TObject*, TObject*, int, int, TDragState, bool& accept) { accept = true; }
  void FaceDrop(TObject*, TObject*, int, int) {}
  void FaceEnd(TObject*, TObject*, int, int) {}
  void FaceStart(TObject*) {}
};

const TClassInfo& TDragForm::StaticClass() {
  static const TClassInfo info = ClassBuilder<TDragForm>("TDragForm", &TForm::StaticClass())
                                     .Creatable()
                                     .Handler("FaceOver", &TDragForm::FaceOver)
                                     .Handler("FaceDrop", &TDragForm::FaceDrop)
                                     .Handler("FaceEnd", &TDragForm::FaceEnd)
                                     .Handler("FaceStart", &TDragForm::FaceStart)
                                     .Build();
  return info;
}

std::string Described(TComponent* root) {
  TMemoryStream binary, text;
  WriteComponent(binary, root);
  binary.SetPosition(0);
  ObjectBinaryToText(binary, text);
  return std::string(text.Bytes().begin(), text.Bytes().end());
}

void ReadDescription(const std::string& text, TComponent* root) {
  TMemoryStream source, binary;
  source.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  source.SetPosition(0);
  ObjectTextToBinary(source, binary);
  binary.SetPosition(0);
  ReadComponent(binary, root);
}

// Both the image and the button carry every drag property and event; a
// description that sets them all loads, binds the handlers and writes them
// back as they were; left at their defaults they are not written.
TEST_F(ListControls, DragPropertiesAndEventsLoadAndWriteBack) {
  RegisterClass(TDragForm::StaticClass());
  RegisterClass(TMMBitmapButton::StaticClass());
  RegisterClass(TMMBitmapListImage::StaticClass());
  const std::string settings =
      "    DragCursor = crHandPoint\n    DragMode = dmAutomatic\n    OnDragDrop = FaceDrop\n"
      "    OnDragOver = FaceOver\n    OnEndDrag = FaceEnd\n    OnStartDrag = FaceStart\n";
  const std::string text = "object DragForm: TDragForm\n  object Camera: TMMBitmapButton\n" + settings +
                           "  end\n  object Picture: TMMBitmapListImage\n" + settings + "  end\nend\n";
  TComponent owner(nullptr);
  auto* read = new TDragForm(&owner);
  ReadDescription(text, read);
  for (const char* name : {"Camera", "Picture"}) {
    auto* control = dynamic_cast<TControl*>(read->FindComponent(name));
    ASSERT_NE(control, nullptr) << name;
    EXPECT_EQ(control->DragCursor(), crHandPoint) << name;
    EXPECT_EQ(control->DragMode(), dmAutomatic) << name;
    EXPECT_EQ(control->OnDragOver.Name, "FaceOver") << name;
    EXPECT_EQ(control->OnStartDrag.Name, "FaceStart") << name;
    bool accept = false;
    control->DragOver(nullptr, 0, 0, dsDragMove, accept);
    EXPECT_TRUE(accept) << name << ": the bound handler runs";
  }
  const std::string written = Described(read);
  for (const char* name : {"object Camera", "object Picture"}) {
    const std::string block = written.substr(written.find(name));
    EXPECT_NE(block.find(settings), std::string::npos) << block;
  }
  TComponent otherOwner(nullptr);
  auto* again = new TDragForm(&otherOwner);
  ReadDescription(written, again);
  EXPECT_EQ(Described(again), written);

  auto* plain = new TMMBitmapButton(form);
  plain->SetName("Plain");
  const std::string defaults = Described(form);
  for (const char* absent : {"Drag", "OnStartDrag", "OnEndDrag"})
    EXPECT_EQ(defaults.find(absent), std::string::npos) << absent << " in\n" << defaults;
}

}  // namespace
}  // namespace controls
