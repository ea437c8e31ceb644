#include "toolkit/Bitmap.h"

#include <cstring>
#include <vector>

#include "gdi/BmpFile.h"
#include "toolkit/ClassBuilder.h"
#include "toolkit/GdiCalls.h"
#include "toolkit/Streaming.h"

namespace toolkit {

// ---- TGraphic ---------------------------------------------------------------

const TClassInfo& TGraphic::StaticClass() {
  static const TClassInfo info = ClassBuilder<TGraphic>("TGraphic", &TPersistent::StaticClass()).Build();
  return info;
}

void TGraphic::LoadFromFile(const std::string& fileName) {
  TFileStream stream(fileName, fmOpenRead);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& fileName) const {
  TSafeFileStream stream(fileName);
  SaveToStream(stream);
  stream.Commit();
}

// ---- TBitmap ----------------------------------------------------------------

// One image, shared by the bitmaps that hold it.
struct TBitmap::Image {
  gdi::HBITMAP handle = 0;
  explicit Image(gdi::HBITMAP h) : handle(h) {}
  ~Image() {
    if (handle) gdi::DeleteObject(handle);
  }
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;
};

// The bitmap's canvas: a memory context with the image selected. Drawing
// first makes the image private to this bitmap, then reports the change.
class TBitmap::BitmapCanvas : public TCanvas {
 public:
  explicit BitmapCanvas(TBitmap* owner) : owner_(owner) {
    OnChanging = TNotifyEvent([this](TObject*) { owner_->Unique(); }, owner);
    OnChange = TNotifyEvent([this](TObject*) { owner_->Changed(); }, owner);
  }
  ~BitmapCanvas() override { Release(); }

  void Release() {
    if (!memoryDc_) return;
    SetHandle(0);
    gdi::SelectObject(memoryDc_, oldBitmap_);
    gdi::DeleteDC(memoryDc_);
    memoryDc_ = 0;
  }
  // Puts a new image under the context without making a new one.
  void Reselect(gdi::HBITMAP bitmap) {
    if (memoryDc_) gdi::SelectObject(memoryDc_, bitmap ? bitmap : oldBitmap_);
  }

 protected:
  void CreateHandle() override {
    memoryDc_ = gdi::CreateCompatibleDC(0);
    oldBitmap_ = gdi::GetCurrentObject(memoryDc_, gdi::OBJ_BITMAP);
    if (owner_->image_) gdi::SelectObject(memoryDc_, owner_->Unique().handle);
    SetHandle(memoryDc_);
  }

 private:
  TBitmap* owner_;
  gdi::HDC memoryDc_ = 0;
  gdi::HGDIOBJ oldBitmap_ = 0;
};

namespace {

gdi::BITMAP InfoOf(gdi::HBITMAP handle) {
  gdi::BITMAP bm;
  if (!handle || !gdi::GetObjectA(handle, sizeof bm, &bm)) return {};
  return bm;
}

gdi::DibImage ImageOf(gdi::HBITMAP handle) {
  gdi::DibImage image;
  gdi::GetBitmapImage(handle, image);
  return image;
}

// Copies every pixel of `from` into `to` (same size) through a blit, which
// converts between the formats.
void CopyPixels(gdi::HBITMAP from, gdi::HBITMAP to) {
  const gdi::BITMAP bm = InfoOf(from);
  const gdi::HDC src = gdi::CreateCompatibleDC(0), dst = gdi::CreateCompatibleDC(0);
  const gdi::HGDIOBJ oldSrc = gdi::SelectObject(src, from), oldDst = gdi::SelectObject(dst, to);
  gdi::BitBlt(dst, 0, 0, bm.bmWidth, bm.bmHeight, src, 0, 0, gdi::SRCCOPY);
  gdi::SelectObject(src, oldSrc);
  gdi::SelectObject(dst, oldDst);
  gdi::DeleteDC(src);
  gdi::DeleteDC(dst);
}

std::vector<gdi::RGBQUAD> DefaultPalette(int bitCount) {
  std::vector<gdi::RGBQUAD> palette;
  if (bitCount == 1) return {{0, 0, 0, 0}, {255, 255, 255, 0}};
  if (bitCount == 4) {
    // The sixteen classic colours.
    static constexpr gdi::COLORREF kVga[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                               0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                               0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    for (gdi::COLORREF c : kVga)
      palette.push_back({gdi::GetBValue(c), gdi::GetGValue(c), gdi::GetRValue(c), 0});
    return palette;
  }
  // 8 bits: a 6 × 6 × 6 colour cube, then a grey ramp.
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        palette.push_back({static_cast<gdi::BYTE>(b * 51), static_cast<gdi::BYTE>(g * 51),
                           static_cast<gdi::BYTE>(r * 51), 0});
  for (int i = 0; palette.size() < 256; ++i) {
    const auto v = static_cast<gdi::BYTE>(8 + i * 6);
    palette.push_back({v, v, v, 0});
  }
  return palette;
}

gdi::HBITMAP NewSection(int width, int height, TPixelFormat format) {
  gdi::DibImage image;
  image.width = width;
  image.height = height;
  switch (format) {
    case pf1bit: image.bitCount = 1; break;
    case pf4bit: image.bitCount = 4; break;
    case pf8bit: image.bitCount = 8; break;
    case pf15bit: image.bitCount = 16; break;
    case pf16bit:
      image.bitCount = 16;
      image.redMask = 0xF800;
      image.greenMask = 0x07E0;
      image.blueMask = 0x001F;
      image.bitfields = true;
      break;
    case pf24bit: image.bitCount = 24; break;
    default: image.bitCount = 32; break;
  }
  if (image.bitCount <= 8) image.palette = DefaultPalette(image.bitCount);
  image.bits.assign(image.Stride() * static_cast<std::size_t>(height), 0);
  return gdi::CreateDIBSectionFromImage(image);
}

gdi::HBITMAP NewDeviceBitmap(int width, int height, bool monochrome) {
  return gdi::CreateBitmap(width, height, 1, monochrome ? 1 : 32, nullptr);
}

}  // namespace

const TClassInfo& TBitmap::StaticClass() {
  static const TClassInfo info = ClassBuilder<TBitmap>("TBitmap", &TGraphic::StaticClass()).Build();
  return info;
}

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() { canvas_.reset(); }

void TBitmap::Changed() { TGraphic::Changed(); }

TBitmap::Image& TBitmap::Unique() {
  if (image_ && image_.use_count() > 1) {
    auto copy = std::make_shared<Image>(gdi::CopyBitmap(image_->handle));
    image_ = std::move(copy);
    if (canvas_) canvas_->Reselect(image_->handle);
  }
  return *image_;
}

void TBitmap::SetImage(std::shared_ptr<Image> image) {
  if (canvas_) canvas_->Release();
  image_ = std::move(image);
}

void TBitmap::Assign(const TPersistent* source) {
  if (!source) {
    SetImage(nullptr);
    Changed();
    return;
  }
  if (auto* other = dynamic_cast<const TBitmap*>(source)) {
    if (other == this) return;
    // An image is never shared while a canvas has it selected: the
    // source's context lets go (it is made again when next drawn on).
    const_cast<TBitmap*>(other)->FreeCanvasHandle();
    SetImage(other->image_);
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

bool TBitmap::Empty() const { return !image_ || !image_->handle; }
int TBitmap::Width() const { return image_ ? InfoOf(image_->handle).bmWidth : 0; }
int TBitmap::Height() const { return image_ ? InfoOf(image_->handle).bmHeight : 0; }
void TBitmap::SetWidth(int width) { SetSize(width, Height()); }
void TBitmap::SetHeight(int height) { SetSize(Width(), height); }

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == Width() && height == Height()) return;
  if (width == 0 || height == 0) {
    SetImage(nullptr);
    Changed();
    return;
  }
  gdi::HBITMAP handle;
  if (HandleType() == bmDIB && image_)
    handle = NewSection(width, height, PixelFormat());
  else
    handle = NewDeviceBitmap(width, height, Monochrome());
  if (!handle) throw EOutOfResources("Out of system resources");
  auto image = std::make_shared<Image>(handle);
  FreeCanvasHandle();
  if (image_) {
    // The old picture stays at the top-left.
    const gdi::HDC src = gdi::CreateCompatibleDC(0), dst = gdi::CreateCompatibleDC(0);
    const gdi::HGDIOBJ oldSrc = gdi::SelectObject(src, image_->handle);
    const gdi::HGDIOBJ oldDst = gdi::SelectObject(dst, handle);
    gdi::BitBlt(dst, 0, 0, width, height, src, 0, 0, gdi::SRCCOPY);
    gdi::SelectObject(src, oldSrc);
    gdi::SelectObject(dst, oldDst);
    gdi::DeleteDC(src);
    gdi::DeleteDC(dst);
  }
  SetImage(std::move(image));
  Changed();
}

gdi::HBITMAP TBitmap::Handle() { return image_ ? Unique().handle : 0; }

TBitmapHandleType TBitmap::HandleType() const {
  return image_ && gdi::IsDIBSection(image_->handle) ? bmDIB : bmDDB;
}

TPixelFormat TBitmap::PixelFormat() const {
  if (!image_) return pfDevice;
  const gdi::BITMAP bm = InfoOf(image_->handle);
  if (!gdi::IsDIBSection(image_->handle)) return bm.bmBitsPixel == 1 ? pf1bit : pfDevice;
  switch (bm.bmBitsPixel) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: {
      const gdi::DibImage image = ImageOf(image_->handle);
      return image.greenMask == 0x07E0 ? pf16bit : pf15bit;
    }
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: return pfCustom;
  }
}

bool TBitmap::Monochrome() const {
  return image_ && !gdi::IsDIBSection(image_->handle) && InfoOf(image_->handle).bmBitsPixel == 1;
}

void TBitmap::SetHandleType(TBitmapHandleType type) {
  if (!image_ || type == HandleType()) return;
  FreeCanvasHandle();  // the image is selected elsewhere next
  const int w = Width(), h = Height();
  const bool oneBit = InfoOf(image_->handle).bmBitsPixel == 1;
  const gdi::HBITMAP handle =
      type == bmDIB ? NewSection(w, h, oneBit ? pf1bit : pf32bit) : NewDeviceBitmap(w, h, oneBit);
  if (!handle) throw EOutOfResources("Out of system resources");
  CopyPixels(image_->handle, handle);
  SetImage(std::make_shared<Image>(handle));
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == PixelFormat() || format == pfCustom) return;
  if (!image_) return;
  FreeCanvasHandle();  // the image is selected elsewhere next
  const int w = Width(), h = Height();
  const gdi::HBITMAP handle = format == pfDevice ? NewDeviceBitmap(w, h, false) : NewSection(w, h, format);
  if (!handle) throw EOutOfResources("Out of system resources");
  CopyPixels(image_->handle, handle);
  SetImage(std::make_shared<Image>(handle));
  Changed();
}

void TBitmap::SetMonochrome(bool monochrome) {
  if (!image_ || monochrome == Monochrome()) return;
  FreeCanvasHandle();  // the image is selected elsewhere next
  const gdi::HBITMAP handle = NewDeviceBitmap(Width(), Height(), monochrome);
  if (!handle) throw EOutOfResources("Out of system resources");
  CopyPixels(image_->handle, handle);
  SetImage(std::make_shared<Image>(handle));
  Changed();
}

std::uint8_t* TBitmap::ScanLine(int y) {
  if (!image_ || y < 0 || y >= Height()) throw EInvalidGraphicOperation("Scan line index out of range");
  return gdi::GetBitmapRow(Unique().handle, y);
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<BitmapCanvas>(this);
  return canvas_.get();
}

void TBitmap::FreeCanvasHandle() {
  if (canvas_) canvas_->Release();
}

void TBitmap::LoadFromStream(TStream& stream) {
  const std::int64_t start = stream.Position();
  const std::int64_t available = stream.Size() - start;
  const std::int64_t limit = static_cast<std::int64_t>(gdi::kMaxBmpPixelBytes) + 64 * 1024;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::clamp<std::int64_t>(available, 0, limit)));
  stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  std::size_t consumed = 0;
  gdi::DibImage image;
  try {
    image = CallGdi([&] { return gdi::ReadBmp(bytes, &consumed); });
  } catch (const EInvalidGraphic&) {
    stream.SetPosition(start);
    throw;
  }
  // Leave the stream just after this image: lists of images follow each other.
  stream.SetPosition(start + static_cast<std::int64_t>(consumed));
  const gdi::HBITMAP handle = gdi::CreateDIBSectionFromImage(image);
  if (!handle) throw EInvalidGraphic(SInvalidGraphic);
  SetImage(std::make_shared<Image>(handle));
  Changed();
}

void TBitmap::SaveToStream(TStream& stream) const {
  if (Empty()) return;
  const std::vector<std::uint8_t> bytes = CallGdi([&] { return gdi::WriteBmp(ImageOf(image_->handle)); });
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void TBitmap::Draw(TCanvas* canvas, const gdi::TRect& rect) {
  if (Empty()) return;
  FreeCanvasHandle();  // the image is selected elsewhere next
  const gdi::HDC dc = gdi::CreateCompatibleDC(0);
  const gdi::HGDIOBJ old = gdi::SelectObject(dc, image_->handle);
  gdi::StretchBlt(canvas->Handle(), rect.Left, rect.Top, rect.Width(), rect.Height(), dc, 0, 0, Width(),
                  Height(), canvas->CopyMode());
  gdi::SelectObject(dc, old);
  gdi::DeleteDC(dc);
}

// ---- TPicture ---------------------------------------------------------------

const TClassInfo& TPicture::StaticClass() {
  static const TClassInfo info = ClassBuilder<TPicture>("TPicture", &TPersistent::StaticClass()).Build();
  return info;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Adopt(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_) graphic_->OnChange = TNotifyEvent([this](TObject*) { Changed(); }, this);
  Changed();
}

void TPicture::SetGraphic(TGraphic* graphic) {
  if (!graphic) {
    Adopt(nullptr);
    return;
  }
  auto copy = std::make_unique<TBitmap>();
  copy->Assign(graphic);
  Adopt(std::move(copy));
}

TBitmap* TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(graphic_.get())) Adopt(std::make_unique<TBitmap>());
  return static_cast<TBitmap*>(graphic_.get());
}

void TPicture::Assign(const TPersistent* source) {
  if (!source) {
    SetGraphic(nullptr);
  } else if (auto* picture = dynamic_cast<const TPicture*>(source)) {
    if (picture != this) SetGraphic(picture->Graphic());
  } else if (auto* graphic = dynamic_cast<const TGraphic*>(source)) {
    SetGraphic(const_cast<TGraphic*>(graphic));
  } else {
    TPersistent::Assign(source);
  }
}

// "Data": the graphic's class name as a short string, then for a bitmap a
// 32-bit length and the BMP file image.
void TPicture::DefineProperties(TFiler& filer) {
  filer.DefineBinaryProperty(
      "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); },
      graphic_ && !graphic_->Empty());
}

void TPicture::ReadData(TStream& stream) {
  std::uint8_t length = 0;
  stream.ReadBuffer(&length, 1);
  std::string className(length, '\0');
  stream.ReadBuffer(className.data(), length);
  if (className != "TBitmap") throw EInvalidGraphic(Format("Unknown picture class %s", className.c_str()));
  std::uint32_t size = 0;
  stream.ReadBuffer(&size, 4);
  if (size > stream.Size() - stream.Position()) throw EReadError(SReadError);
  TMemoryStream data;
  if (size > 0) data.CopyFrom(stream, size);
  data.SetPosition(0);
  auto bitmap = std::make_unique<TBitmap>();
  if (size > 0) bitmap->LoadFromStream(data);
  Adopt(std::move(bitmap));
}

void TPicture::WriteData(TStream& stream) const {
  const std::string className = "TBitmap";
  const auto length = static_cast<std::uint8_t>(className.size());
  stream.WriteBuffer(&length, 1);
  stream.WriteBuffer(className.data(), length);
  TMemoryStream data;
  if (graphic_) graphic_->SaveToStream(data);
  const auto size = static_cast<std::uint32_t>(data.Size());
  stream.WriteBuffer(&size, 4);
  stream.WriteBuffer(data.Memory(), size);
}

void TPicture::LoadFromFile(const std::string& fileName) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromFile(fileName);
  Adopt(std::move(bitmap));
}

void TPicture::SaveToFile(const std::string& fileName) const {
  if (graphic_) graphic_->SaveToFile(fileName);
}

}  // namespace toolkit
