// The bitmap list: an ordered store of bitmaps that reports every change to
// its observers and to OnChange, and that reads and writes itself as one
// "ListItems" stream.
//
// The stream, all integers 32-bit signed little-endian:
//   "MBML" (plain) or "MBMC" (compressed), then the count N, then N items.
//   Plain item:      length L, then L bytes of a BMP file image.
//   Compressed item: total T, then blocks until T bytes are used up; each
//                    block is its length B and B bytes of CompressBlock
//                    output (T is the sum of 4 + B). The decoded blocks,
//                    one after the other, are the BMP file image.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/Mmobj.h"
#include "controls/Mmobsrv.h"
#include "toolkit/Bitmap.h"

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

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

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
  int updateCount_ = 0;
  std::unique_ptr<TMMObservable> subject_;
  bool compressed_ = false;
  TBitmapHandleType handleType_ = toolkit::bmDDB;
};

}  // namespace controls
