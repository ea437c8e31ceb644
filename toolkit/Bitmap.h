// Pictures: the graphic base, the bitmap (an image shared between copies
// until one of them changes, read and written as BMP file images) and the
// picture container that streams a graphic with its class.
#pragma once

#include <memory>
#include <string>

#include "gdi/Gdi.h"
#include "toolkit/Canvas.h"

namespace toolkit {

class TGraphic : public TPersistent {
  TOOLKIT_CLASS(TGraphic, TPersistent)
 public:
  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int width) = 0;
  virtual void SetHeight(int height) = 0;
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) const = 0;
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;
  // Draws the whole graphic into `rect` of `canvas`, stretched to fit.
  virtual void Draw(TCanvas* canvas, const gdi::TRect& rect) = 0;

  TNotifyEvent OnChange;

 protected:
  virtual void Changed() { OnChange(this); }
};

enum TBitmapHandleType { bmDIB, bmDDB };
enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

class TBitmap : public TGraphic {
  TOOLKIT_CLASS(TBitmap, TGraphic)
 public:
  TBitmap();
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  // Another bitmap's image is shared until either changes; nil empties.
  void Assign(const TPersistent* source) override;

  bool Empty() const override;
  int Width() const override;
  int Height() const override;
  void SetWidth(int width) override;
  void SetHeight(int height) override;
  void SetSize(int width, int height);

  // Reads one complete BMP file image from the stream's position; on a bad
  // image raises EInvalidGraphic and keeps the image it had.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) const override;
  void Draw(TCanvas* canvas, const gdi::TRect& rect) override;

  // The bitmap handle (the image is made private to this bitmap first, as
  // the caller may draw on it).
  gdi::HBITMAP Handle();
  TBitmapHandleType HandleType() const;
  void SetHandleType(TBitmapHandleType type);
  TPixelFormat PixelFormat() const;
  void SetPixelFormat(TPixelFormat format);
  bool Monochrome() const;
  void SetMonochrome(bool monochrome);
  // A handle to the image's colour table for indexed images, else 0.
  gdi::HPALETTE Palette() const { return 0; }
  // Row y of the pixels in the image's own format, top row first.
  std::uint8_t* ScanLine(int y);

  TCanvas* Canvas();
  // Lets go of the canvas's context (it is made again when drawn on).
  void FreeCanvasHandle();

 protected:
  void Changed() override;

 private:
  struct Image;
  class BitmapCanvas;
  // The image this bitmap may change: a copy when it is shared.
  Image& Unique();
  // Replaces the image, letting go of the canvas's context first.
  void SetImage(std::shared_ptr<Image> image);

  std::shared_ptr<Image> image_;
  std::unique_ptr<BitmapCanvas> canvas_;
};

// Holds one graphic and streams it as its class name and its data (the
// "Data" defined property).
class TPicture : public TPersistent {
  TOOLKIT_CLASS(TPicture, TPersistent)
 public:
  TPicture();
  ~TPicture() override;
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  TGraphic* Graphic() const { return graphic_.get(); }
  void SetGraphic(TGraphic* graphic);  // copied with Assign
  // The graphic as a bitmap, made one when it is not.
  TBitmap* Bitmap();
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }

  void Assign(const TPersistent* source) override;
  void DefineProperties(TFiler& filer) override;
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;

  TNotifyEvent OnChange;

 private:
  void ReadData(TStream& stream);
  void WriteData(TStream& stream) const;
  void Changed() { OnChange(this); }
  void Adopt(std::unique_ptr<TGraphic> graphic);

  std::unique_ptr<TGraphic> graphic_;
};

}  // namespace toolkit
