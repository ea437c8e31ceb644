// The bitmap list: an ordered store of bitmaps that reports every change to
// its observers and to OnChange, and that reads and writes itself as one
// "ListItems" stream; and the controls that show a bitmap of a list.
//
// The stream, all integers 32-bit signed little-endian:
//   "MBML" (plain) or "MBMC" (compressed), then the count N, then N items.
//   Plain item:      length L, then L bytes of a BMP file image.
//   Compressed item: total T, then blocks until T bytes are used up; each
//                    block is its length B and B bytes of CompressBlock
//                    output (T is the sum of 4 + B). The decoded blocks,
//                    one after the other, are the BMP file image.
//   An empty bitmap has no image: L = 0, or T = 0 and no blocks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/Mmobj.h"
#include "controls/Mmobsrv.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Controls.h"

namespace controls {

using toolkit::TBitmap;
using toolkit::TBitmapHandleType;
using toolkit::TStream;

// Sender; the bytes of one coded block, which the handler may change in
// place (not their number); their number.
using TEncodeEvent = toolkit::TEvent<TObject*, std::uint8_t*, std::uint32_t>;
// Sender; the bitmap just loaded.
using TLoadedEvent = toolkit::TEvent<TObject*, TBitmap*>;

extern const toolkit::TEnumInfo kBitmapHandleTypeNames;

inline constexpr const char* SInvalidBitmapListStream = "Invalid BitmapList stream";
inline constexpr const char* SLzrwError = "LZRW Error!";

class TMMBitmapList : public TMMNonVisualComponent {
  TOOLKIT_CLASS(TMMBitmapList, TMMNonVisualComponent)
 public:
  explicit TMMBitmapList(toolkit::TComponent* owner);
  // Clears (the observers hear it once), detaches the observers, then tells
  // the components bound to the list that it goes.
  ~TMMBitmapList() override;

  void AddObserver(TMMObserver* observer);
  // Nothing once the list is being freed.
  void RemoveObserver(TMMObserver* observer);
  int ObserverCount() const { return subject_ ? subject_->ObserverCount() : 0; }

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updates_.Count(); }

  int Count() const { return static_cast<int>(store_.size()); }
  bool Empty() const { return store_.empty(); }

  // Each stores a copy of the caller's bitmap; the caller keeps its own.
  int Add(const TBitmap* bitmap);
  void Insert(int index, const TBitmap* bitmap);
  void AddList(TMMBitmapList* list);
  void AddFromFile(const std::string& fileName);
  // Writes the bitmap at `index` as a BMP file.
  void ExtractToFile(int index, const std::string& fileName) const;
  void Delete(int index);
  // The index `bitmap` had, or -1: only bitmaps obtained from the list are
  // found, never the caller's own that were copied in.
  int Remove(const TBitmap* bitmap);
  void Clear();
  TBitmap* First() const;
  TBitmap* Last() const;
  // The stored bitmap, switched to HandleType without a change report. The
  // list keeps it.
  virtual TBitmap* Get(int index);
  TBitmap* operator[](int index) { return Get(index); }
  // Stores a copy of `bitmap` at `index` in place of the bitmap there,
  // which is freed.
  virtual void Put(int index, const TBitmap* bitmap);
  int IndexOf(const TBitmap* bitmap) const;
  void Exchange(int index1, int index2);
  void Move(int currentIndex, int newIndex);

  // Another list's bitmaps and its Compressed; nothing for the list itself;
  // null empties.
  void Assign(const toolkit::TPersistent* source) override;
  // "ListItems", written only when the list holds a bitmap.
  void DefineProperties(toolkit::TFiler& filer) override;

  void LoadFromStream(TStream& stream) { LoadFromStreamEx(stream, false); }
  // Replaces the first entries in place; entries beyond the stream's stay.
  void ReplaceFromStream(TStream& stream) { LoadFromStreamEx(stream, true); }
  void LoadFromStreamEx(TStream& stream, bool replace);
  void SaveToStream(TStream& stream);
  void LoadFromFile(const std::string& fileName);
  void ReplaceFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);
  void AddListFromFile(const std::string& fileName);

  // One compressed item: `count` bytes of `source` in blocks.
  void SaveCompressedStream(TStream& source, TStream& dest, std::int64_t count);
  // One compressed item of `source`, decoded into `dest`.
  void LoadCompressedStream(TStream& source, TStream& dest);

  bool Compressed() const { return compressed_; }
  void SetCompressed(bool value) { compressed_ = value; }
  TBitmapHandleType HandleType() const { return handleType_; }
  void SetHandleType(TBitmapHandleType value) { handleType_ = value; }

  toolkit::TNotifyEvent OnChange;
  toolkit::TNotifyEvent OnChanging;
  TEncodeEvent OnEncode;
  TEncodeEvent OnDecode;
  TLoadedEvent OnBmpLoaded;

 protected:
  virtual void Changed();
  virtual void Changing();
  virtual void SetUpdateState(bool updating);
  virtual void ReadData(TStream& stream) { LoadFromStream(stream); }
  virtual void WriteData(TStream& stream) { SaveToStream(stream); }

 private:
  // The change hook of every stored bitmap.
  void BMPChanged(TObject* sender);
  std::unique_ptr<TBitmap> Copy(const TBitmap* bitmap);
  TBitmap* At(int index) const;
  void CheckIndex(int index, int limit) const;

  std::vector<std::unique_ptr<TBitmap>> store_;
  base::UpdateCounter updates_;
  std::unique_ptr<TMMObservable> subject_;
  bool compressed_ = false;
  TBitmapHandleType handleType_ = toolkit::bmDDB;
};

// ---- controls bound to a list ---------------------------------------------------------

// Sent to a control whose transparent colour changed.
constexpr std::uint32_t CM_TRANSCOLORCHANGED = 0xB0FA;

enum TTransparentMode { tmAuto, tmFixed };
extern const toolkit::TEnumInfo kTransparentModeNames;

// Shows a bitmap of a list: it names the list and an index into it, and
// repaints at once whenever either changes or the list reports a change.
// The colour shown transparent is the bitmap's bottom-left pixel (tmAuto)
// or a colour of its own (tmFixed).
class TMMCustomBitmapListControl : public TMMGraphicControl {
  TOOLKIT_CLASS(TMMCustomBitmapListControl, TMMGraphicControl)
 public:
  explicit TMMCustomBitmapListControl(toolkit::TComponent* owner);
  ~TMMCustomBitmapListControl() override;

  std::int32_t Tag2() const { return tag2_; }
  void SetTag2(std::int32_t value) { tag2_ = value; }

  TMMBitmapList* BitmapList() const { return bitmapList_; }
  // Binds to `list` (none unbinds), registering anew also when it is the
  // list already bound, then shows the change.
  void SetBitmaps(TMMBitmapList* list);
  void SetBitmapList(TMMBitmapList* list) { SetBitmaps(list); }
  int BitmapIndex() const { return bitmapIndex_; }
  // Never below -1; an index beyond the list shows nothing until it grows.
  void SetBitmapIndex(int index);
  int BitmapBackIndex() const { return bitmapBackIndex_; }
  void SetBitmapBackIndex(int index);

  bool BitmapValid() const;
  // The bitmap at BitmapIndex (the list keeps it), or none.
  virtual TBitmap* GetBitmap() const;

  // The bottom-left pixel of the bitmap shown, or clDefault without one.
  virtual TColor FindTransparentColor() const;
  // The colour in effect, as red-green-blue.
  virtual TColor GetTransparentColor() const;
  TColor TransparentColor() const { return GetTransparentColor(); }
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  // tmFixed freezes the colour now in effect; tmAuto follows the bitmap.
  void SetTransparentMode(TTransparentMode mode);
  bool TransparentColorStored() const { return transparentMode_ == tmFixed; }

  TColor DesignColor() const { return designColor_; }
  void SetDesignColor(TColor color);
  gdi::HPALETTE GetPalette() const;

  void WndProc(toolkit::TMessage& message) override;
  void Notification(toolkit::TComponent* component, toolkit::TOperation operation) override;

 protected:
  // What a new control holds; a stream leaves these values out.
  struct Default {
    static constexpr std::int32_t Tag2 = 0;
    static constexpr int BitmapIndex = -1;
    static constexpr int BitmapBackIndex = -1;
    static constexpr TColor DesignColor = toolkit::clRed;
    static constexpr TTransparentMode TransparentMode = tmAuto;
  };

  // Puts the change on the screen before returning.
  virtual void BitmapChanged();
  virtual void CMTransColorChanged(toolkit::TMessage& message);
  bool Designing() const { return HasState(toolkit::csDesigning); }

 private:
  void BitmapsNotify(TObject* sender, TObject* data);

  std::int32_t tag2_ = Default::Tag2;
  int bitmapIndex_ = Default::BitmapIndex;
  TMMBitmapList* bitmapList_ = nullptr;
  std::unique_ptr<TMMObserver> observer_;
  TColor designColor_ = Default::DesignColor;
  TColor transparentColor_ = toolkit::clDefault;
  TTransparentMode transparentMode_ = Default::TransparentMode;
  int bitmapBackIndex_ = Default::BitmapBackIndex;
};

enum TMMGlyphOrientation { goHorizontal, goVertical };
extern const toolkit::TEnumInfo kGlyphOrientationNames;

// Sender; the canvas; where to draw and which part of the bitmap, both
// changeable.
using TMMPaintImage = toolkit::TEvent<TObject*, toolkit::TCanvas*, gdi::TRect&, gdi::TRect&>;

// Shows one of NumGlyphs equal strips of its bitmap, stretched to its size.
class TMMBitmapListImage : public TMMCustomBitmapListControl {
  TOOLKIT_CLASS(TMMBitmapListImage, TMMCustomBitmapListControl)
 public:
  explicit TMMBitmapListImage(toolkit::TComponent* owner);

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  int NumGlyphs() const { return numGlyphs_; }
  // Never below 1.
  void SetNumGlyphs(int count);
  int GlyphIndex() const { return glyphIndex_; }
  // Not clamped; drawn at once.
  void SetGlyphIndex(int index);
  TMMGlyphOrientation GlyphOrientation() const { return glyphOrientation_; }
  void SetGlyphOrient(TMMGlyphOrientation value);

  // The strip's rectangle in bitmap pixels (index no higher than the last
  // strip; a negative one lies outside the bitmap).
  virtual gdi::TRect GetSrcRect(int index) const;
  // Paints into the parent's context now, without erasing first.
  virtual void FastDraw();

  // Replaces the copying of the strip at run time.
  TMMPaintImage OnPaint;

 protected:
  void Paint() override;
  void BitmapChanged() override;
  // One strip's size when AutoSize; then a later repaint.
  virtual void DoAutoSize();
  void PaintBitmap();

 private:
  // What a new image holds besides its base's; a stream leaves these out.
  struct Default : TMMCustomBitmapListControl::Default {
    static constexpr bool AutoSize = false;
    static constexpr int GlyphIndex = 0;
    static constexpr TMMGlyphOrientation GlyphOrientation = goHorizontal;
  };

  bool autoSize_ = Default::AutoSize;
  int numGlyphs_ = 1;
  int glyphIndex_ = Default::GlyphIndex;
  TMMGlyphOrientation glyphOrientation_ = Default::GlyphOrientation;
};

}  // namespace controls
