// The main window's button: a quick redraw of its pressed look and a full
// paint, per call, beside a plain copy of the face's size.
#include <cstdio>
#include <memory>

#include "bench/Measure.h"
#include "controls/Mmbmpbtn.h"
#include "controls/Mmutils.h"
#include "platform/WindowBackend.h"
#include "tests/controls/SampleFaces.h"
#include "toolkit/Forms.h"

using namespace toolkit;

namespace {

// Opens the press and paint steps to the measuring loop.
class BenchButton : public controls::TMMBitmapButton {
 public:
  using TMMBitmapButton::MouseDown;
  using TMMBitmapButton::Paint;
  using TMMBitmapButton::TMMBitmapButton;
};

std::unique_ptr<TBitmap> FaceBitmap(bool pressed) {
  const std::vector<std::uint8_t> bytes = controls::test::SampleFaceBmp(pressed);
  TMemoryStream stream;
  stream.Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  stream.SetPosition(0);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromStream(stream);
  return bitmap;
}

}  // namespace

int main() {
  Application->SetBackend(std::make_unique<platform::HeadlessBackend>());
  controls::MmutilsStartup();
  {
    TComponent root(nullptr);
    auto* form = new TForm(&root);
    form->SetClientWidth(300);
    form->SetClientHeight(300);
    form->Show();
    auto* list = new controls::TMMBitmapList(form);
    list->Add(FaceBitmap(false).get());
    list->Add(FaceBitmap(true).get());
    auto* button = new BenchButton(form);
    button->SetParent(form);
    button->SetBounds(143, 110, 87, 65);
    button->SetButtonStyle(controls::bsDark);
    button->SetBitmaps(list);
    button->SetBitmapIndex(0);
    button->SetDoubleBuffer(true);
    form->Update();
    button->MouseDown(mbLeft, 0, 40, 40);

    const gdi::HDC dc = gdi::GetDC(form->Handle());
    const gdi::HDC faceDc = gdi::CreateCompatibleDC(0);
    const gdi::HGDIOBJ old = gdi::SelectObject(faceDc, gdi::CreateBitmap(87, 65, 1, 32, nullptr));
    const double copy = bench::MedianSeconds(
        [&] { gdi::BitBlt(dc, 143, 110, 87, 65, faceDc, 0, 0, gdi::SRCCOPY); }, 101, 200);
    const double redraw = bench::MedianSeconds([&] { button->RedrawButton(); }, 51, 50);
    const double paint = bench::MedianSeconds([&] { button->Paint(); }, 51, 50);
    gdi::DeleteObject(gdi::SelectObject(faceDc, old));
    gdi::DeleteDC(faceDc);
    gdi::ReleaseDC(form->Handle(), dc);

    std::printf("The main window's button, 87 x 65, bsDark, double buffer, pressed look\n");
    std::printf("%-28s %9.2f us   (BitBlt of the face's size %6.2f us, ratio %.1f)   target < 200 us: %s\n",
                "quick redraw (RedrawButton)", redraw * 1e6, copy * 1e6, redraw / copy,
                redraw < 200e-6 ? "met" : "MISSED");
    std::printf("%-28s %9.2f us   (ratio %.1f)\n", "full Paint", paint * 1e6, paint / copy);
  }
  controls::MmutilsShutdown();
  Application->SetBackend(nullptr);
  return 0;
}
