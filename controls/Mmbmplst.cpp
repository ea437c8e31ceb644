#include "controls/Mmbmplst.h"

#include <cstring>
#include <new>

#include "base/ByteOrder.h"
#include "base/UpdateCounter.h"
#include "controls/BlockCodec.h"
#include "toolkit/ClassBuilder.h"
#include "toolkit/Streaming.h"

namespace controls {

using namespace toolkit;

namespace {

constexpr char kPlainMagic[4] = {'M', 'B', 'M', 'L'};
constexpr char kCompressedMagic[4] = {'M', 'B', 'M', 'C'};
// The largest bitmap image one item may decode to: the BMP reader's limit.
constexpr std::int64_t kMaxItemBytes = std::int64_t{256} << 20;

std::int32_t ReadInt32(TStream& stream) {
  std::uint8_t b[4];
  stream.ReadBuffer(b, 4);
  return base::LoadLeInt32(b);
}

void WriteInt32(TStream& stream, std::int64_t value) {
  std::uint8_t b[4];
  base::StoreLe32(b, static_cast<std::uint32_t>(value));
  stream.WriteBuffer(b, 4);
}

[[noreturn]] void Corrupt(const char* what) {
  throw EStreamError(std::string(SInvalidBitmapListStream) + ": " + what);
}

}  // namespace

const TEnumInfo kBitmapHandleTypeNames{{"bmDIB", "bmDDB"}};

const TClassInfo& TMMBitmapList::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TMMBitmapList>("TMMBitmapList", &TMMNonVisualComponent::StaticClass())
          .Creatable()
          .Event("OnChange", &TMMBitmapList::OnChange)
          .Event("OnChanging", &TMMBitmapList::OnChanging)
          .Event("OnDecode", &TMMBitmapList::OnDecode)
          .Event("OnEncode", &TMMBitmapList::OnEncode)
          .Event("OnBmpLoaded", &TMMBitmapList::OnBmpLoaded)
          .Bool("Compressed", &TMMBitmapList::Compressed, &TMMBitmapList::SetCompressed, false)
          .Enum("HandleType", kBitmapHandleTypeNames, &TMMBitmapList::HandleType,
                &TMMBitmapList::SetHandleType, bmDDB)
          .Build();
  return info;
}

TMMBitmapList::TMMBitmapList(TComponent* owner)
    : TMMNonVisualComponent(owner), subject_(std::make_unique<TMMObservable>()) {}

TMMBitmapList::~TMMBitmapList() {
  Destroying();
  OnChange.Clear();
  OnChanging.Clear();
  // The observers still registered hear once that the list is empty.
  try {
    Clear();
  } catch (...) {
  }
  store_.clear();
  subject_.reset();
  // Bound components let go of the list while it is still whole: those
  // that asked, and the siblings its owner tells.
  SendRemovalNotifications();
  if (TComponent* owner = Owner()) owner->RemoveComponent(this);
}

// ---- observers and reports ------------------------------------------------------------

void TMMBitmapList::AddObserver(TMMObserver* observer) {
  if (subject_) subject_->AddObserver(observer);
}

void TMMBitmapList::RemoveObserver(TMMObserver* observer) {
  if (subject_) subject_->RemoveObserver(observer);
}

void TMMBitmapList::BeginUpdate() {
  updates_.Begin([this] { SetUpdateState(true); });
}

void TMMBitmapList::EndUpdate() {
  updates_.End([this] { SetUpdateState(false); });
}

void TMMBitmapList::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}

void TMMBitmapList::Changing() {
  if (updates_.Idle() && OnChanging) OnChanging(this);
}

void TMMBitmapList::Changed() {
  if (!updates_.Idle()) return;
  // Held while the handlers run, so that a change they make is not
  // reported again.
  const auto hold = updates_.Hold();
  if (subject_) subject_->NotifyObservers(this);
  if (OnChange) OnChange(this);
}

void TMMBitmapList::BMPChanged(TObject*) { Changed(); }

// ---- the store ------------------------------------------------------------------------

void TMMBitmapList::CheckIndex(int index, int limit) const {
  if (index < 0 || index > limit) throw EListError(Format(SListIndexError, index));
}

TBitmap* TMMBitmapList::At(int index) const {
  CheckIndex(index, Count() - 1);
  return store_[static_cast<std::size_t>(index)].get();
}

std::unique_ptr<TBitmap> TMMBitmapList::Copy(const TBitmap* bitmap) {
  auto copy = std::make_unique<TBitmap>();
  copy->Assign(bitmap);
  copy->OnChange = TNotifyEvent(this, &TMMBitmapList::BMPChanged);
  return copy;
}

int TMMBitmapList::Add(const TBitmap* bitmap) {
  const int index = Count();
  Insert(index, bitmap);
  return index;
}

void TMMBitmapList::Insert(int index, const TBitmap* bitmap) {
  Changing();
  std::unique_ptr<TBitmap> copy = Copy(bitmap);
  CheckIndex(index, Count());
  store_.insert(store_.begin() + index, std::move(copy));
  Changed();
}

void TMMBitmapList::AddList(TMMBitmapList* list) {
  if (!list) return;
  const auto bracket = base::UpdateBracket(*this);
  // Counted first: adding a list to itself doubles it once.
  const int count = list->Count();
  for (int i = 0; i < count; ++i) Add(list->Get(i));
}

void TMMBitmapList::AddFromFile(const std::string& fileName) {
  TBitmap bitmap;
  bitmap.LoadFromFile(fileName);
  Add(&bitmap);
}

void TMMBitmapList::ExtractToFile(int index, const std::string& fileName) const {
  At(index)->SaveToFile(fileName);
}

void TMMBitmapList::Delete(int index) {
  Changing();
  CheckIndex(index, Count() - 1);
  // Taken out before it is freed: the list never holds a dying bitmap.
  std::unique_ptr<TBitmap> gone = std::move(store_[static_cast<std::size_t>(index)]);
  store_.erase(store_.begin() + index);
  gone->OnChange.Clear();
  gone.reset();
  Changed();
}

int TMMBitmapList::Remove(const TBitmap* bitmap) {
  const int index = IndexOf(bitmap);
  if (index >= 0) Delete(index);
  return index;
}

void TMMBitmapList::Clear() {
  const auto bracket = base::UpdateBracket(*this);
  for (int i = Count() - 1; i >= 0; --i) Delete(i);
}

TBitmap* TMMBitmapList::First() const { return At(0); }

TBitmap* TMMBitmapList::Last() const { return At(Count() - 1); }

TBitmap* TMMBitmapList::Get(int index) {
  TBitmap* bitmap = At(index);
  // The switch fires the bitmap's change event; handing a bitmap out is no
  // change of the list.
  const auto hold = updates_.Hold();
  bitmap->SetHandleType(handleType_ == bmDDB ? bmDDB : bmDIB);
  return bitmap;
}

void TMMBitmapList::Put(int index, const TBitmap* bitmap) {
  Changing();
  CheckIndex(index, Count() - 1);
  std::unique_ptr<TBitmap> copy = Copy(bitmap);
  std::unique_ptr<TBitmap> old = std::move(store_[static_cast<std::size_t>(index)]);
  store_[static_cast<std::size_t>(index)] = std::move(copy);
  old->OnChange.Clear();
  old.reset();
  Changed();
}

int TMMBitmapList::IndexOf(const TBitmap* bitmap) const {
  for (std::size_t i = 0; i < store_.size(); ++i)
    if (store_[i].get() == bitmap) return static_cast<int>(i);
  return -1;
}

void TMMBitmapList::Exchange(int index1, int index2) {
  Changing();
  CheckIndex(index1, Count() - 1);
  CheckIndex(index2, Count() - 1);
  std::swap(store_[static_cast<std::size_t>(index1)], store_[static_cast<std::size_t>(index2)]);
  Changed();
}

void TMMBitmapList::Move(int currentIndex, int newIndex) {
  Changing();
  CheckIndex(currentIndex, Count() - 1);
  CheckIndex(newIndex, Count() - 1);
  std::unique_ptr<TBitmap> moving = std::move(store_[static_cast<std::size_t>(currentIndex)]);
  store_.erase(store_.begin() + currentIndex);
  store_.insert(store_.begin() + newIndex, std::move(moving));
  Changed();
}

void TMMBitmapList::Assign(const TPersistent* source) {
  if (!source) {
    Clear();
    return;
  }
  // Clearing first would empty a list copied onto itself.
  if (source == this) return;
  if (const auto* list = dynamic_cast<const TMMBitmapList*>(source)) {
    const auto bracket = base::UpdateBracket(*this);
    Clear();
    AddList(const_cast<TMMBitmapList*>(list));
    compressed_ = list->compressed_;
    return;
  }
  TMMNonVisualComponent::Assign(source);
}

void TMMBitmapList::DefineProperties(TFiler& filer) {
  TMMNonVisualComponent::DefineProperties(filer);
  filer.DefineBinaryProperty(
      "ListItems", [this](TStream& stream) { ReadData(stream); },
      [this](TStream& stream) { WriteData(stream); }, Count() > 0);
}

// ---- streams --------------------------------------------------------------------------

void TMMBitmapList::SaveToStream(TStream& stream) {
  const auto bracket = base::UpdateBracket(*this);
  stream.WriteBuffer(compressed_ ? kCompressedMagic : kPlainMagic, 4);
  WriteInt32(stream, Count());
  for (int i = 0; i < Count(); ++i) {
    if (compressed_) {
      TMemoryStream image;
      Get(i)->SaveToStream(image);
      image.SetPosition(0);
      SaveCompressedStream(image, stream, image.Size());
    } else {
      const std::int64_t at = stream.Position();
      WriteInt32(stream, 0);
      Get(i)->SaveToStream(stream);
      const std::int64_t end = stream.Position();
      stream.SetPosition(at);
      WriteInt32(stream, end - at - 4);
      stream.SetPosition(end);
    }
  }
}

void TMMBitmapList::SaveCompressedStream(TStream& source, TStream& dest, std::int64_t count) {
  const std::int64_t start = dest.Position();
  dest.SetPosition(start + 4);
  std::vector<std::uint8_t> input(kCodecBlockSize), output(kCodecOutputArea);
  std::int64_t total = 0;
  while (count > 0) {
    const std::int64_t want = std::min<std::int64_t>(count, static_cast<std::int64_t>(kCodecBlockSize));
    const std::int64_t got = source.Read(input.data(), want);
    // A source that ends early: the item holds what there was.
    if (got <= 0) break;
    const std::size_t size = CompressBlock(input.data(), static_cast<std::size_t>(got), output.data());
    WriteInt32(dest, static_cast<std::int64_t>(size));
    if (OnEncode) OnEncode(this, output.data(), static_cast<std::uint32_t>(size));
    dest.WriteBuffer(output.data(), static_cast<std::int64_t>(size));
    total += 4 + static_cast<std::int64_t>(size);
    count -= got;
  }
  const std::int64_t end = dest.Position();
  dest.SetPosition(start);
  WriteInt32(dest, total);
  dest.SetPosition(end);
}

void TMMBitmapList::LoadCompressedStream(TStream& source, TStream& dest) {
  std::vector<std::uint8_t> input(kCodecMaxBlock), output(kCodecBlockSize);
  std::int64_t total = ReadInt32(source);
  if (total < 0) Corrupt("negative item length");
  std::int64_t decoded = 0;
  while (total > 0) {
    const std::int64_t size = ReadInt32(source);
    if (size < 1 || size > static_cast<std::int64_t>(kCodecMaxBlock)) Corrupt("block length out of range");
    if (4 + size > total) Corrupt("block longer than its item");
    source.ReadBuffer(input.data(), size);
    if (OnDecode) OnDecode(this, input.data(), static_cast<std::uint32_t>(size));
    const std::size_t n = DecompressBlock(input.data(), static_cast<std::size_t>(size), output.data());
    decoded += static_cast<std::int64_t>(n);
    if (decoded > kMaxItemBytes) Corrupt("item too large");
    dest.WriteBuffer(output.data(), static_cast<std::int64_t>(n));
    total -= 4 + size;
  }
}

void TMMBitmapList::LoadFromStreamEx(TStream& stream, bool replace) {
  const auto bracket = base::UpdateBracket(*this);
  if (!replace) Clear();
  char magic[4];
  stream.ReadBuffer(magic, 4);
  const bool compressed = std::memcmp(magic, kCompressedMagic, 4) == 0;
  if (!compressed && std::memcmp(magic, kPlainMagic, 4) != 0) throw EStreamError(SInvalidBitmapListStream);
  const std::int32_t count = ReadInt32(stream);
  TMemoryStream item;
  TBitmap work;
  for (std::int32_t i = 0; i < count; ++i) {
    item.SetPosition(0);
    if (compressed) {
      LoadCompressedStream(stream, item);
      // The reader sees this item's bytes only, not what a longer earlier
      // item left behind.
      item.SetSize(item.Position());
    } else {
      const std::int32_t length = ReadInt32(stream);
      if (length < 0) Corrupt("negative item length");
      // Checked before anything is allocated for it.
      if (length > stream.Size() - stream.Position()) throw EReadError(SReadError);
      item.SetSize(length);
      stream.ReadBuffer(item.Memory(), length);
    }
    item.SetPosition(0);
    TBitmap* bitmap = replace && i < Count() ? Get(i) : &work;
    // An empty bitmap saves no bytes, so an item of none reads as one.
    if (item.Size() == 0)
      bitmap->Assign(nullptr);
    else
      bitmap->LoadFromStream(item);
    if (bitmap == &work) Add(&work);
    if (OnBmpLoaded) OnBmpLoaded(this, Get(i));
  }
}

void TMMBitmapList::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead);
  LoadFromStream(file);
}

void TMMBitmapList::ReplaceFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead);
  ReplaceFromStream(file);
}

void TMMBitmapList::SaveToFile(const std::string& fileName) {
  TSafeFileStream file(fileName);
  SaveToStream(file);
  file.Commit();
}

void TMMBitmapList::AddListFromFile(const std::string& fileName) {
  TMMBitmapList loaded(nullptr);
  loaded.LoadFromFile(fileName);
  AddList(&loaded);
}

}  // namespace controls
