// The bitmap list: copies in the store, change reports, the "ListItems"
// stream both ways, bad streams, files and teardown.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/ByteOrder.h"
#include "controls/BlockCodec.h"
#include "controls/Mmbmplst.h"
#include "tests/support/Expect.h"
#include "toolkit/ClassBuilder.h"
#include "toolkit/Streaming.h"
#include "tests/support/ScratchDir.h"

namespace controls {
namespace {

using namespace toolkit;

// A 32-bit bitmap whose pixels follow from `seed`, with a dark band so
// that the compressed variant has something to shrink.
std::unique_ptr<TBitmap> MakeBitmap(int width, int height, unsigned seed) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(bitmap->ScanLine(y));
    for (int x = 0; x < width; ++x)
      row[x] = y < height / 2 ? 0x00080808u : ((seed * 2654435761u) ^ (x * 40503u) ^ (y * 977u)) & 0xFFFFFF;
  }
  return bitmap;
}

std::vector<std::uint8_t> Pixels(TBitmap* bitmap) {
  std::vector<std::uint8_t> out;
  for (int y = 0; y < bitmap->Height(); ++y) {
    const std::uint8_t* row = bitmap->ScanLine(y);
    out.insert(out.end(), row, row + bitmap->Width() * 4);
  }
  return out;
}

std::vector<std::uint8_t> Bytes(TMemoryStream& stream) { return stream.Bytes(); }

TMemoryStream StreamOf(const std::vector<std::uint8_t>& bytes) {
  TMemoryStream stream;
  stream.Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  stream.SetPosition(0);
  return stream;
}

std::int32_t Int32At(const std::vector<std::uint8_t>& b, std::size_t at) { return base::LoadLeInt32(b, at); }

void PutInt32(std::vector<std::uint8_t>& b, std::size_t at, std::int32_t v) {
  base::StoreLe32(b.data() + at, static_cast<std::uint32_t>(v));
}

// A list with a log of its reports: "<" OnChanging, "o" the observer,
// ">" OnChange.
class ListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list.OnChanging = TNotifyEvent([this](TObject* s) {
      EXPECT_EQ(s, &list);
      log += "<";
    });
    list.OnChange = TNotifyEvent([this](TObject* s) {
      EXPECT_EQ(s, &list);
      log += ">";
    });
    observer.OnNotify = TMMObsNotifyEvent([this](TObject*, TObject* data) {
      EXPECT_EQ(data, &list);
      log += "o";
    });
    list.AddObserver(&observer);
  }
  void Fill(int count) {
    for (int i = 0; i < count; ++i) list.Add(MakeBitmap(8 + i, 6, static_cast<unsigned>(i)).get());
    log.clear();
  }
  std::vector<std::uint8_t> Saved() {
    TMemoryStream stream;
    list.SaveToStream(stream);
    return Bytes(stream);
  }

  TMMObserver observer;
  TMMBitmapList list{nullptr};
  std::string log;
};

// ---- store and reports -----------------------------------------------------------

TEST_F(ListTest, AddStoresACopyAndReportsOnce) {
  auto mine = MakeBitmap(10, 4, 1);
  EXPECT_EQ(list.Add(mine.get()), 0);
  EXPECT_EQ(list.Add(mine.get()), 1);
  EXPECT_EQ(log, "<o><o>") << "OnChanging, then the observers, then OnChange";
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.IndexOf(mine.get()), -1);
  EXPECT_EQ(list.Remove(mine.get()), -1) << "the caller's bitmap is never in the list";

  const std::vector<std::uint8_t> before = Pixels(list.Get(0));
  mine->Canvas()->SetPixel(0, 3, clRed);
  mine.reset();
  EXPECT_EQ(Pixels(list.Get(0)), before) << "the copy is the list's own";
  EXPECT_EQ(list.Remove(list.Get(1)), 1);
  EXPECT_EQ(list.Count(), 1);
}

TEST_F(ListTest, AStoredBitmapThatChangesIsReportedButHandingOutIsNot) {
  Fill(1);
  list.SetHandleType(bmDIB);
  EXPECT_EQ(list.Get(0)->HandleType(), bmDIB);
  list.SetHandleType(bmDDB);
  EXPECT_EQ(list.Get(0)->HandleType(), bmDDB);
  EXPECT_EQ(log, "");
  list.Get(0)->Canvas()->SetPixel(1, 1, clRed);
  EXPECT_EQ(log, "o>") << "its change hook reports to observers and OnChange";
}

TEST_F(ListTest, BracketsReportOnceAtTheOutermostEnd) {
  Fill(3);
  list.BeginUpdate();
  list.BeginUpdate();
  list.Delete(0);
  list.Exchange(0, 1);
  list.EndUpdate();
  list.Add(MakeBitmap(2, 2, 9).get());
  EXPECT_EQ(log, "<");
  list.EndUpdate();
  EXPECT_EQ(log, "<o>");

  log.clear();
  list.BeginUpdate();
  list.EndUpdate();
  EXPECT_EQ(log, "<o>") << "an empty bracket still reports";
}

TEST_F(ListTest, AChangeMadeByAnOnChangeHandlerIsNotReportedAgain) {
  Fill(1);
  int changes = 0;
  list.OnChange = TNotifyEvent([&](TObject*) {
    if (++changes == 1) list.Add(MakeBitmap(3, 3, 3).get());
  });
  list.Delete(0);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(list.Count(), 1);
}

TEST_F(ListTest, BadIndexesFailAndLeaveTheStore) {
  Fill(2);
  TBitmap* first = list.Get(0);
  EXPECT_EQ(testsupport::ThrownMessage<EListError>([&] { list.Delete(5); }), "List index out of bounds (5)");
  EXPECT_EQ(log, "<") << "OnChanging went out; no change followed";
  EXPECT_THROW(list.Insert(3, first), EListError);
  EXPECT_THROW(list.Insert(-1, first), EListError);
  EXPECT_THROW(list.Get(2), EListError);
  EXPECT_THROW(list.Put(2, first), EListError);
  EXPECT_THROW(list.Exchange(0, 2), EListError);
  EXPECT_THROW(list.Move(-1, 0), EListError);
  EXPECT_THROW(list.ExtractToFile(2, "/tmp/unused.bmp"), EListError);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Get(0), first);

  TMMBitmapList empty(nullptr);
  EXPECT_THROW(empty.First(), EListError);
  EXPECT_THROW(empty.Last(), EListError);
}

TEST_F(ListTest, ExchangeMoveAndPut) {
  Fill(3);
  TBitmap* a = list.Get(0);
  TBitmap* b = list.Get(1);
  TBitmap* c = list.Get(2);
  list.Exchange(0, 2);
  EXPECT_EQ(list.First(), c);
  EXPECT_EQ(list.Last(), a);
  list.Move(0, 2);
  EXPECT_EQ(list.Get(0), b);
  EXPECT_EQ(list.Get(1), a);
  EXPECT_EQ(list.Get(2), c);
  EXPECT_EQ(log, "<o><o>");

  auto replacement = MakeBitmap(5, 5, 7);
  list.Put(1, replacement.get());
  EXPECT_EQ(list.Get(1)->Width(), 5);
  EXPECT_NE(list.Get(1), replacement.get()) << "Put stores a copy too";
  log.clear();
  list.Get(1)->Canvas()->SetPixel(0, 0, clRed);
  EXPECT_EQ(log, "o>") << "the copy has the change hook";
}

TEST_F(ListTest, AssignCopiesBitmapsAndCompressedOnly) {
  TMMBitmapList source(nullptr);
  source.Add(MakeBitmap(4, 4, 1).get());
  source.Add(MakeBitmap(5, 5, 2).get());
  source.SetCompressed(true);
  source.SetHandleType(bmDIB);
  Fill(1);

  list.Assign(&source);
  EXPECT_EQ(log, "<o>");
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(Pixels(list.Get(1)), Pixels(source.Get(1)));
  EXPECT_NE(list.Get(1), source.Get(1));
  EXPECT_TRUE(list.Compressed());
  EXPECT_EQ(list.HandleType(), bmDDB);

  log.clear();
  list.Assign(&list);
  EXPECT_EQ(list.Count(), 2) << "a list assigned to itself keeps its bitmaps";
  EXPECT_EQ(log, "");

  TFont font;
  EXPECT_THROW(list.Assign(&font), EConvertError);
  EXPECT_EQ(list.Count(), 2);
  list.Assign(nullptr);
  EXPECT_EQ(list.Count(), 0);
}

// ---- the stream ---------------------------------------------------------------------

TEST_F(ListTest, AnEmptyListIsEightBytes) {
  EXPECT_EQ(Saved(), (std::vector<std::uint8_t>{'M', 'B', 'M', 'L', 0, 0, 0, 0}));
  list.SetCompressed(true);
  EXPECT_EQ(Saved(), (std::vector<std::uint8_t>{'M', 'B', 'M', 'C', 0, 0, 0, 0}));
  EXPECT_EQ(log, "<o><o>") << "saving reports although nothing changed";

  TMemoryStream eight = StreamOf({'M', 'B', 'M', 'L', 0, 0, 0, 0});
  Fill(2);
  list.LoadFromStream(eight);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(ListTest, PlainItemsAreLengthAndBmpFileImage) {
  list.Add(MakeBitmap(87, 65, 1).get());
  list.Add(MakeBitmap(87, 65, 2).get());
  const std::vector<std::uint8_t> bytes = Saved();
  ASSERT_EQ(bytes.size(), 45364u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "MBML");
  EXPECT_EQ(Int32At(bytes, 4), 2);
  EXPECT_EQ(Int32At(bytes, 8), 22674);
  EXPECT_EQ(bytes[12], 'B');
  EXPECT_EQ(bytes[13], 'M');
  EXPECT_EQ(Int32At(bytes, 12 + 22674), 22674);

  TMMBitmapList read(nullptr);
  TMemoryStream stream = StreamOf(bytes);
  read.LoadFromStream(stream);
  ASSERT_EQ(read.Count(), 2);
  EXPECT_EQ(Pixels(read.Get(0)), Pixels(list.Get(0)));
  EXPECT_EQ(Pixels(read.Get(1)), Pixels(list.Get(1)));
  TMemoryStream again;
  read.SaveToStream(again);
  EXPECT_EQ(Bytes(again), bytes) << "read and written back unchanged";
}

TEST_F(ListTest, CompressedItemsRoundTripAndLoadingKeepsTheSetting) {
  list.Add(MakeBitmap(87, 65, 1).get());
  list.Add(MakeBitmap(40, 30, 2).get());
  const std::vector<std::uint8_t> plain = Saved();
  list.SetCompressed(true);
  const std::vector<std::uint8_t> compressed = Saved();
  EXPECT_EQ(std::string(compressed.begin(), compressed.begin() + 4), "MBMC");
  EXPECT_LT(compressed.size(), plain.size());
  // The first item: its total is 4 + B summed over its blocks.
  const std::int32_t total = Int32At(compressed, 8);
  std::int32_t used = 0;
  while (used < total) used += 4 + Int32At(compressed, 12 + static_cast<std::size_t>(used));
  EXPECT_EQ(used, total);

  TMMBitmapList read(nullptr);
  TMemoryStream stream = StreamOf(compressed);
  read.LoadFromStream(stream);
  EXPECT_FALSE(read.Compressed()) << "loading a compressed stream leaves Compressed as it was";
  TMemoryStream back;
  read.SaveToStream(back);
  EXPECT_EQ(Bytes(back), plain);
}

TEST_F(ListTest, ReplaceKeepsEntriesBeyondTheStreamAndAppendsExtraOnes) {
  Fill(3);
  TBitmap* first = list.Get(0);
  TBitmap* third = list.Get(2);
  TMMBitmapList one(nullptr);
  one.Add(MakeBitmap(20, 20, 5).get());
  TMemoryStream stream;
  one.SaveToStream(stream);
  stream.SetPosition(0);
  list.ReplaceFromStream(stream);
  EXPECT_EQ(log, "<o>");
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Get(0), first) << "replaced in place";
  EXPECT_EQ(list.Get(0)->Width(), 20);
  EXPECT_EQ(list.Get(2), third);

  TMMBitmapList five(nullptr);
  for (int i = 0; i < 5; ++i) five.Add(MakeBitmap(3, 3, 10 + i).get());
  TMemoryStream more;
  five.SaveToStream(more);
  more.SetPosition(0);
  list.ReplaceFromStream(more);
  EXPECT_EQ(list.Count(), 5);
  EXPECT_EQ(Pixels(list.Get(4)), Pixels(five.Get(4)));
}

TEST_F(ListTest, EveryLoadedBitmapIsAnnounced) {
  Fill(2);
  const std::vector<std::uint8_t> bytes = Saved();
  std::vector<TBitmap*> seen;
  TMMBitmapList read(nullptr);
  read.OnBmpLoaded = TLoadedEvent([&](TObject* sender, TBitmap* bmp) {
    EXPECT_EQ(sender, &read);
    seen.push_back(bmp);
  });
  TMemoryStream stream = StreamOf(bytes);
  read.LoadFromStream(stream);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], read.Get(0));
  EXPECT_EQ(seen[1], read.Get(1));
}

// An empty bitmap saves as an item of no bytes, which reads back as one:
// alone or between two others, plain or compressed, loaded or replacing.
TEST_F(ListTest, EmptyBitmapsSaveAndLoadBackToTheSameBytes) {
  const TBitmap empty;
  const std::vector<std::vector<bool>> layouts = {{true}, {false, true, false}};  // which are empty
  for (const bool compressed : {false, true}) {
    for (const std::vector<bool>& layout : layouts) {
      SCOPED_TRACE(std::string(compressed ? "compressed, " : "plain, ") + std::to_string(layout.size()));
      TMMBitmapList source(nullptr);
      source.SetCompressed(compressed);
      for (std::size_t i = 0; i < layout.size(); ++i)
        source.Add(layout[i] ? &empty : MakeBitmap(9, 7, static_cast<unsigned>(i)).get());
      TMemoryStream saved;
      source.SaveToStream(saved);
      const std::vector<std::uint8_t> bytes = Bytes(saved);
      if (layout.size() == 1) {
        const std::uint8_t kind = compressed ? 'C' : 'L';
        EXPECT_EQ(bytes, (std::vector<std::uint8_t>{'M', 'B', 'M', kind, 1, 0, 0, 0, 0, 0, 0, 0}));
      }

      TMMBitmapList read(nullptr);
      read.SetCompressed(compressed);
      TMemoryStream in = StreamOf(bytes);
      read.LoadFromStream(in);
      list.Clear();
      Fill(3);
      TMemoryStream over = StreamOf(bytes);
      list.ReplaceFromStream(over);
      ASSERT_EQ(read.Count(), static_cast<int>(layout.size()));
      for (std::size_t i = 0; i < layout.size(); ++i) {
        EXPECT_EQ(read.Get(static_cast<int>(i))->Empty(), layout[i]) << i;
        EXPECT_EQ(list.Get(static_cast<int>(i))->Empty(), layout[i]) << i;
      }
      TMemoryStream again;
      read.SaveToStream(again);
      EXPECT_EQ(Bytes(again), bytes);
    }
  }
}

TEST_F(ListTest, EncodeAndDecodeHandlersSeeEveryBlock) {
  Fill(2);
  list.SetCompressed(true);
  auto scramble = [](TObject*, std::uint8_t* bytes, std::uint32_t length) {
    for (std::uint32_t i = 0; i < length; ++i) bytes[i] ^= 0x5A;
  };
  list.OnEncode = TEncodeEvent(scramble);
  const std::vector<std::uint8_t> scrambled = Saved();

  TMMBitmapList plainReader(nullptr);
  TMemoryStream s1 = StreamOf(scrambled);
  EXPECT_ANY_THROW(plainReader.LoadFromStream(s1)) << "the blocks are not readable as they are";

  TMMBitmapList reader(nullptr);
  reader.OnDecode = TEncodeEvent(scramble);
  TMemoryStream s2 = StreamOf(scrambled);
  reader.LoadFromStream(s2);
  ASSERT_EQ(reader.Count(), 2);
  EXPECT_EQ(Pixels(reader.Get(1)), Pixels(list.Get(1)));
}

// ---- bad streams ----------------------------------------------------------------------

TEST_F(ListTest, WrongMagicClearsAndReportsOnce) {
  Fill(2);
  TMemoryStream stream = StreamOf({'M', 'B', 'M', 'X', 1, 0, 0, 0});
  EXPECT_EQ(testsupport::ThrownMessage<EStreamError>([&] { list.LoadFromStream(stream); }),
            "Invalid BitmapList stream");
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(log, "<o>");
}

TEST_F(ListTest, AStreamCutShortKeepsWhatWasReadBeforeIt) {
  Fill(3);
  const std::vector<std::uint8_t> whole = Saved();
  TMMBitmapList read(nullptr);
  for (std::size_t cut = 0; cut < whole.size(); cut += 97) {
    const std::vector<std::uint8_t> part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
    TMemoryStream stream = StreamOf(part);
    EXPECT_THROW(read.LoadFromStream(stream), Exception) << cut;
    EXPECT_LT(read.Count(), 3);
    EXPECT_EQ(read.UpdateCount(), 0);
  }
  // Cut inside the third item: the first two are there.
  const std::size_t third =
      8 + 2 * 4 + static_cast<std::size_t>(Int32At(whole, 8)) +
      static_cast<std::size_t>(Int32At(whole, 12 + static_cast<std::size_t>(Int32At(whole, 8))));
  TMemoryStream stream = StreamOf({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(third) + 10});
  EXPECT_THROW(read.LoadFromStream(stream), EReadError);
  EXPECT_EQ(read.Count(), 2);
}

TEST_F(ListTest, HugeOrNegativeLengthsAreRefusedWithoutAllocating) {
  std::vector<std::uint8_t> bytes{'M', 'B', 'M', 'L', 1, 0, 0, 0, 0, 0, 0, 0};
  PutInt32(bytes, 8, 0x7FFFFFF0);
  TMemoryStream huge = StreamOf(bytes);
  EXPECT_THROW(list.LoadFromStream(huge), EReadError);
  PutInt32(bytes, 8, -4);
  TMemoryStream negative = StreamOf(bytes);
  EXPECT_THROW(list.LoadFromStream(negative), EStreamError);
}

TEST_F(ListTest, ABadBitmapPayloadIsABitmapError) {
  std::vector<std::uint8_t> bytes{'M', 'B', 'M', 'L', 1, 0, 0, 0, 6, 0, 0, 0, 'N', 'O', 'T', 'B', 'M', 'P'};
  TMemoryStream stream = StreamOf(bytes);
  EXPECT_THROW(list.LoadFromStream(stream), EInvalidGraphic);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(ListTest, CorruptCompressedItemsAreStreamErrors) {
  Fill(1);
  list.SetCompressed(true);
  const std::vector<std::uint8_t> good = Saved();
  // Offsets: 8 total, 12 first block length, 16 the block.
  auto expectRefused = [&](std::vector<std::uint8_t> bytes, const char* what) {
    TMMBitmapList read(nullptr);
    TMemoryStream stream = StreamOf(bytes);
    EXPECT_THROW(read.LoadFromStream(stream), EStreamError) << what;
  };
  std::vector<std::uint8_t> b = good;
  PutInt32(b, 12, 0);
  expectRefused(b, "block of 0 bytes");
  b = good;
  PutInt32(b, 12, static_cast<std::int32_t>(kCodecMaxBlock) + 1);
  expectRefused(b, "block longer than the largest");
  b = good;
  PutInt32(b, 8, Int32At(good, 12) + 2);
  expectRefused(b, "block longer than its item's total");
  b = good;
  PutInt32(b, 8, -1);
  expectRefused(b, "negative total");
  b = good;
  b[16] = 0x40;
  b[17] = 0xFF;
  b[18] = 0xFF;
  b[19] = 0x00;
  b[20] = 0x10;
  expectRefused(b, "a copy before the start of the output");
  b.assign(good.begin(), good.begin() + 14);
  expectRefused(b, "block length cut off");
}

// A second item that decodes to a cut-off image must fail, whatever a
// longer first item left in the work stream.
TEST_F(ListTest, ACompressedItemIsReadWithoutTheBytesOfAnEarlierOne) {
  auto big = MakeBitmap(40, 40, 1);
  TMemoryStream image;
  big->SaveToStream(image);
  TMMBitmapList writer(nullptr);
  writer.SetCompressed(true);
  writer.Add(big.get());
  TMemoryStream stream;
  writer.SaveToStream(stream);
  // Append a second item: the same image cut to 100 bytes short.
  image.SetPosition(0);
  writer.SaveCompressedStream(image, stream, image.Size() - 100);
  std::vector<std::uint8_t> bytes = Bytes(stream);
  PutInt32(bytes, 4, 2);
  TMMBitmapList read(nullptr);
  TMemoryStream in = StreamOf(bytes);
  EXPECT_THROW(read.LoadFromStream(in), EInvalidGraphic);
  EXPECT_EQ(read.Count(), 1);
}

// ---- as a component property -------------------------------------------------------------

class THolder : public TComponent {
  TOOLKIT_CLASS(THolder, TComponent)
 public:
  explicit THolder(TComponent* owner) : TComponent(owner) {}
};

const TClassInfo& THolder::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<THolder>("THolder", &TComponent::StaticClass()).Creatable().Build();
  return info;
}

// A component named "Holder" that owns an empty list named "Faces".
class BitmapListStreaming : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClass(THolder::StaticClass());
    RegisterClass(TMMBitmapList::StaticClass());
    root.SetName("Holder");
    list = new TMMBitmapList(&root);
    list->SetName("Faces");
  }
  THolder root{nullptr};
  TMMBitmapList* list = nullptr;
};

std::string TextOf(TComponent* root) {
  TMemoryStream binary, text;
  WriteComponent(binary, root);
  binary.SetPosition(0);
  ObjectBinaryToText(binary, text);
  return std::string(text.Bytes().begin(), text.Bytes().end());
}

TEST_F(BitmapListStreaming, ListItemsIsWrittenOnlyWhenTheListHoldsABitmap) {
  EXPECT_EQ(TextOf(&root).find("ListItems"), std::string::npos);
  EXPECT_EQ(TextOf(&root).find("HandleType"), std::string::npos) << "defaults are left out";

  list->Add(MakeBitmap(6, 5, 1).get());
  list->Add(MakeBitmap(7, 5, 2).get());
  list->SetHandleType(bmDIB);
  EXPECT_NE(TextOf(&root).find("ListItems"), std::string::npos);
  EXPECT_NE(TextOf(&root).find("HandleType = bmDIB"), std::string::npos);

  TMemoryStream binary;
  WriteComponent(binary, &root);
  binary.SetPosition(0);
  THolder read(nullptr);
  ReadComponent(binary, &read);
  auto* faces = dynamic_cast<TMMBitmapList*>(read.FindComponent("Faces"));
  ASSERT_NE(faces, nullptr);
  ASSERT_EQ(faces->Count(), 2);
  EXPECT_EQ(Pixels(faces->Get(1)), Pixels(list->Get(1)));
  EXPECT_EQ(faces->HandleType(), bmDIB);
}

TEST_F(BitmapListStreaming, ADescriptionWhoseListHoldsAnEmptyBitmapLoads) {
  const TBitmap empty;
  list->Add(MakeBitmap(6, 5, 1).get());
  list->Add(&empty);
  list->Add(MakeBitmap(7, 5, 2).get());
  // Through the text form, as the window's description is kept.
  const std::string source = TextOf(&root);
  TMemoryStream text = StreamOf({source.begin(), source.end()}), binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  THolder read(nullptr);
  ReadComponent(binary, &read);
  auto* faces = dynamic_cast<TMMBitmapList*>(read.FindComponent("Faces"));
  ASSERT_NE(faces, nullptr);
  ASSERT_EQ(faces->Count(), 3);
  EXPECT_TRUE(faces->Get(1)->Empty());
  EXPECT_EQ(Pixels(faces->Get(2)), Pixels(list->Get(2)));
}

// ---- files ----------------------------------------------------------------------------

class ListFiles : public ListTest {
 protected:
  void SetUp() override {
    ListTest::SetUp();
    dir = testsupport::MakeScratchDir("lumivant-bitmaplist");
    ASSERT_FALSE(dir.empty());
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string Path(const char* name) { return (dir / name).string(); }
  std::filesystem::path dir;
};

TEST_F(ListFiles, SaveLoadAddAndExtract) {
  Fill(2);
  list.SaveToFile(Path("list.mbl"));
  TMMBitmapList read(nullptr);
  read.LoadFromFile(Path("list.mbl"));
  EXPECT_EQ(read.Count(), 2);
  read.AddListFromFile(Path("list.mbl"));
  EXPECT_EQ(read.Count(), 4);
  EXPECT_EQ(Pixels(read.Get(3)), Pixels(list.Get(1)));
  read.ReplaceFromFile(Path("list.mbl"));
  EXPECT_EQ(read.Count(), 4);

  list.ExtractToFile(1, Path("one.bmp"));
  TMemoryStream expected;
  list.Get(1)->SaveToStream(expected);
  TMemoryStream written;
  written.LoadFromFile(Path("one.bmp"));
  EXPECT_EQ(Bytes(written), Bytes(expected));
  read.AddFromFile(Path("one.bmp"));
  EXPECT_EQ(Pixels(read.Last()), Pixels(list.Get(1)));
}

TEST_F(ListFiles, AMissingFileChangesNothing) {
  Fill(2);
  EXPECT_THROW(list.LoadFromFile(Path("missing.mbl")), EFOpenError);
  EXPECT_THROW(list.AddFromFile(Path("missing.bmp")), EFOpenError);
  EXPECT_THROW(list.AddListFromFile(Path("missing.mbl")), EFOpenError);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(log, "");
  EXPECT_THROW(list.SaveToFile(Path("no/such/dir/list.mbl")), EFCreateError);
}

TEST_F(ListFiles, ASaveThatFailsPartWayKeepsTheOldFile) {
  Fill(2);
  list.SetCompressed(true);
  TMemoryStream old;
  old.WriteBuffer("the earlier list", 16);
  old.SaveToFile(Path("list.mbl"));
  int blocks = 0;
  list.OnEncode = TEncodeEvent([&](TObject*, std::uint8_t*, std::uint32_t) {
    if (++blocks == 2) throw EWriteError("stopped at the second bitmap");
  });
  EXPECT_THROW(list.SaveToFile(Path("list.mbl")), EWriteError);
  TMemoryStream kept;
  kept.LoadFromFile(Path("list.mbl"));
  EXPECT_EQ(Bytes(kept), Bytes(old));
  EXPECT_THROW(list.ExtractToFile(0, Path("no/such/dir/one.bmp")), EFCreateError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "a temporary was left behind";
}

// ---- teardown -------------------------------------------------------------------------

// Bound to a list by free notification, as a control is; lets go of it
// when told it goes.
class TBinder : public TComponent {
 public:
  explicit TBinder(TMMBitmapList* list) : TComponent(nullptr), list_(list) {
    list_->FreeNotification(this);
    list_->AddObserver(&observer);
    observer.OnNotify = TMMObsNotifyEvent(
        [this](TObject*, TObject* data) { counts.push_back(static_cast<TMMBitmapList*>(data)->Count()); });
  }
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == list_) {
      list_->RemoveObserver(&observer);  // finds no subject: nothing
      list_ = nullptr;
    }
  }
  TMMObserver observer;
  TMMBitmapList* list_;
  std::vector<int> counts;
};

TEST(BitmapListTeardown, ObserversHearTheEmptyListOnceThenAreDetached) {
  auto list = std::make_unique<TMMBitmapList>(nullptr);
  list->Add(MakeBitmap(3, 3, 1).get());
  list->Add(MakeBitmap(3, 3, 2).get());
  int changes = 0;
  list->OnChange = TNotifyEvent([&](TObject*) { ++changes; });
  TBinder binder(list.get());
  list.reset();
  EXPECT_EQ(binder.counts, std::vector<int>{0});
  EXPECT_EQ(changes, 0) << "OnChange is cleared first";
  EXPECT_EQ(binder.list_, nullptr);
  EXPECT_EQ(binder.observer.Subject(), nullptr);
}

}  // namespace
}  // namespace controls
