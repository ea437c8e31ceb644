// The block codec: exact blocks for small inputs worked out by hand, the
// window and position limits of the matcher, round trips, and the decoder's
// refusal of every kind of damaged block.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "controls/BlockCodec.h"
#include "tests/controls/SampleFaces.h"
#include "tests/support/Expect.h"
#include "toolkit/SysUtils.h"

// The codec's hash table comes from nothrow new[]; this stand-in behaves as the
// library's own unless a test asks it to fail, so the "LZRW Error!" path can be reached.
namespace {
bool failNothrowArrayNew = false;
}  // namespace

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  if (failNothrowArrayNew) return nullptr;
  try {
    return ::operator new[](size);
  } catch (...) {
    return nullptr;
  }
}

namespace controls {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Compress(const Bytes& input) {
  // Exactly the documented area, so a write past it shows under the sanitizers.
  Bytes out(kCodecOutputArea);
  const std::size_t size = CompressBlock(input.data(), input.size(), out.data());
  EXPECT_GE(size, 1u);
  EXPECT_LE(size, kCodecMaxBlock);
  out.resize(size);
  return out;
}

Bytes Decompress(const Bytes& block) {
  Bytes out(kCodecBlockSize);
  const std::size_t n = DecompressBlock(block.data(), block.size(), out.data());
  EXPECT_LE(n, kCodecBlockSize);
  out.resize(n);
  return out;
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// The message of the EStreamError that decoding `block` raises.
std::string RejectionOf(const Bytes& block) {
  Bytes out(kCodecBlockSize);
  return testsupport::ThrownMessage<toolkit::EStreamError>(
      [&] { DecompressBlock(block.data(), block.size(), out.data()); });
}

#define EXPECT_REJECTED(block, words) EXPECT_TRUE(testsupport::Mentions(RejectionOf(block), words))

Bytes BmpLike(bool pressed = false) { return controls::test::SampleFaceBmp(pressed); }

Bytes Random(std::size_t n, std::uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b(n);
  for (auto& v : b) v = static_cast<std::uint8_t>(rng());
  return b;
}

// Short phrases repeated with small changes: matches of every length and distance.
Bytes Repetitive(std::size_t n, std::uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b;
  while (b.size() < n) {
    switch (rng() % 4) {
      case 0: b.insert(b.end(), 5 + rng() % 40, static_cast<std::uint8_t>(rng() % 3)); break;
      case 1: b.push_back(static_cast<std::uint8_t>(rng())); break;
      default: {
        if (b.empty()) break;
        const std::size_t from = rng() % b.size();
        const std::size_t len = std::min<std::size_t>(1 + rng() % 30, b.size() - from);
        for (std::size_t i = 0; i < len; ++i) b.push_back(b[from + i]);
      }
    }
  }
  b.resize(n);
  return b;
}

Bytes Tiled(std::size_t n, const Bytes& source) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = source[i % source.size()];
  return b;
}

// ---- exact blocks ----

TEST(BlockCodecVectors, NothingGivesTheOneByteStoredBlock) {
  EXPECT_EQ(Compress({}), Bytes({0x80}));
  EXPECT_EQ(Decompress({0x80}), Bytes());
}

TEST(BlockCodecVectors, TwentyEqualBytesAreOneRun) {
  // Run of 20: 00, (20-16) >> 8, (20-16) & 255, byte; one item, control word 0x8000.
  const Bytes block = Compress(Bytes(20, 0x41));
  EXPECT_EQ(block, Bytes({0x40, 0x80, 0x00, 0x00, 0x00, 0x04, 0x41}));
  EXPECT_EQ(Decompress(block), Bytes(20, 0x41));
}

TEST(BlockCodecVectors, ThreeLettersAreStored) {
  // Three literals would need 6 bytes; the coder gives up once past n.
  EXPECT_EQ(Compress(Text("abc")), Bytes({0x80, 'a', 'b', 'c'}));
  EXPECT_EQ(Decompress({0x80, 'a', 'b', 'c'}), Text("abc"));
}

TEST(BlockCodecVectors, SixteenEqualBytesAreTheShortestRun) {
  const Bytes block = Compress(Bytes(16, 0x07));
  EXPECT_EQ(block, Bytes({0x40, 0x80, 0x00, 0x00, 0x00, 0x00, 0x07}));
  EXPECT_EQ(Decompress(block), Bytes(16, 0x07));
}

TEST(BlockCodecVectors, FifteenEqualBytesAreALiteralAndAnOverlappingCopy) {
  // X=0: run of 15 < 16, slot of "AAA" empty -> literal 'A', slot = 0.
  // X=1: p = 0, D = 1, 14 bytes equal up to the end -> code 1*16 + (14-3) = 0x001B.
  // Items: literal, code -> control 01 << 14 = 0x4000.
  const Bytes block = Compress(Bytes(15, 'A'));
  EXPECT_EQ(block, Bytes({0x40, 0x40, 0x00, 'A', 0x00, 0x1B}));
  EXPECT_EQ(Decompress(block), Bytes(15, 'A'));
}

TEST(BlockCodecVectors, HandWorkedLiteralsAndCopy) {
  // "xyzxyzxyzxyzxyz!", n = 16. Slots: xyz 3645, yzx 1570, zxy 1750 (all distinct).
  // X=0,1,2: no run, slots empty -> literals x y z (Y = 6).
  // X=3: slot of xyz holds 0, D = 3; input[3+m] = input[m] for m = 0..11, '!' != 'x' at 12
  //      -> m = 12, code 3*16 + 9 = 0x0039 (Y = 8), X = 15.
  // X=15: one byte left, no run or match -> literal '!' (Y = 9).
  // Items L L L C L -> 00010 << 11 = 0x1000. B = 9 <= 16, so coded.
  const Bytes input = Text("xyzxyzxyzxyzxyz!");
  const Bytes block = Compress(input);
  EXPECT_EQ(block, Bytes({0x40, 0x10, 0x00, 'x', 'y', 'z', 0x00, 0x39, '!'}));
  EXPECT_EQ(Decompress(block), input);
}

TEST(BlockCodecVectors, CopiesStopAt18AndTheirInsideIsNotHashed) {
  // "xyz" * 10, n = 30. Literals x y z; X=3: D=3, capped at 18 -> 0x003F.
  // X=21: the slot of xyz still holds 3 (positions 4..20 were never entered),
  // D=18, 9 bytes left -> 18*16 + 6 = 0x0126. Items L L L C C -> 0x1800.
  Bytes input;
  for (int i = 0; i < 10; ++i) input.insert(input.end(), {'x', 'y', 'z'});
  const Bytes block = Compress(input);
  EXPECT_EQ(block, Bytes({0x40, 0x18, 0x00, 'x', 'y', 'z', 0x00, 0x3F, 0x01, 0x26}));
  EXPECT_EQ(Decompress(block), input);
}

TEST(BlockCodecVectors, SeventeenthItemStartsANewControlWord) {
  // 16 distinct literals fill the first control word (0x0000); the run of 20 'z'
  // is item 17, so a control word 0x8000 stands before it.
  Bytes input = Text("abcdefghijklmnop");
  input.insert(input.end(), 20, 'z');
  Bytes expected = {0x40, 0x00, 0x00};
  expected.insert(expected.end(), input.begin(), input.begin() + 16);
  expected.insert(expected.end(), {0x80, 0x00, 0x00, 0x00, 0x04, 'z'});
  const Bytes block = Compress(input);
  EXPECT_EQ(block, expected);
  EXPECT_EQ(Decompress(block), input);
}

TEST(BlockCodecVectors, SixteenItemsNeedNoSecondControlWord) {
  // 15 literals and a run: exactly 16 items, control word 0x0001, nothing after.
  Bytes input = Text("abcdefghijklmno");
  input.insert(input.end(), 20, 'z');
  Bytes expected = {0x40, 0x00, 0x01};
  expected.insert(expected.end(), input.begin(), input.begin() + 15);
  expected.insert(expected.end(), {0x00, 0x00, 0x04, 'z'});
  const Bytes block = Compress(input);
  EXPECT_EQ(block, expected);
  EXPECT_EQ(Decompress(block), input);
}

TEST(BlockCodecVectors, RunOf4095IsOneRunAnd4096AddsALiteral) {
  // 4095 - 16 = 0x0FEF.
  const Bytes one = Compress(Bytes(4095, 0x5A));
  EXPECT_EQ(one, Bytes({0x40, 0x80, 0x00, 0x00, 0x0F, 0xEF, 0x5A}));
  EXPECT_EQ(Decompress(one), Bytes(4095, 0x5A));

  // The last byte has no run or match left: a literal, control 10 << 14.
  const Bytes two = Compress(Bytes(4096, 0x5A));
  EXPECT_EQ(two, Bytes({0x40, 0x80, 0x00, 0x00, 0x0F, 0xEF, 0x5A, 0x5A}));
  EXPECT_EQ(Decompress(two), Bytes(4096, 0x5A));
}

// ---- the matcher's limits ----

// "abc", `gap` zero bytes, "abc": the only earlier "abc" is gap + 3 back. The
// zeros are one run, which never enters the hash table, and the slots of abc,
// "bc\0" and "c\0\0" (2749, 3293, 3024) differ.
Bytes AbcGapAbc(std::size_t gap) {
  Bytes input = Text("abc");
  input.insert(input.end(), gap, 0);
  input.insert(input.end(), {'a', 'b', 'c'});
  return input;
}

TEST(BlockCodecWindow, MatchAtDistance4095IsUsed) {
  // L L L, run of 4092 (0x0FEC), code 4095*16 + 0 = 0xFFF0. Control 00011 << 11.
  const Bytes input = AbcGapAbc(4092);
  const Bytes block = Compress(input);
  EXPECT_EQ(block, Bytes({0x40, 0x18, 0x00, 'a', 'b', 'c', 0x00, 0x0F, 0xEC, 0x00, 0xFF, 0xF0}));
  EXPECT_EQ(Decompress(block), input);
}

TEST(BlockCodecWindow, MatchAtDistance4096IsNot) {
  // L L L, run of 4093 (0x0FED), L L L. Control 0001000 << 9.
  const Bytes input = AbcGapAbc(4093);
  const Bytes block = Compress(input);
  EXPECT_EQ(block, Bytes({0x40, 0x10, 0x00, 'a', 'b', 'c', 0x00, 0x0F, 0xED, 0x00, 'a', 'b', 'c'}));
  EXPECT_EQ(Decompress(block), input);
}

TEST(BlockCodecWindow, AHashCollisionEvictsTheEarlierPosition) {
  // 30 C0 AC shares slot 2749 with "abc" (keys 0x3CAC and 0x6743 differ, the
  // product's bits 4..15 do not). Other slots: 448 1652 | 2299 2500 | 3639 3982.
  // X=3 finds p=0, no match, and takes the slot; so at X=6 "abc" finds p=3 and
  // stays literal. 9 literals and a run of 40 'z' (0x18): control 0x0040.
  Bytes input = {'a', 'b', 'c', 0x30, 0xC0, 0xAC, 'a', 'b', 'c'};
  input.insert(input.end(), 40, 'z');
  const Bytes block = Compress(input);
  EXPECT_EQ(block,
            Bytes({0x40, 0x00, 0x40, 'a', 'b', 'c', 0x30, 0xC0, 0xAC, 'a', 'b', 'c', 0x00, 0x00, 0x18, 'z'}));
  EXPECT_EQ(Decompress(block), input);
}

// `zeros` zero bytes, then "abcabcabcabca".
Bytes ZerosThenAbc(std::size_t zeros) {
  Bytes input(zeros, 0);
  const Bytes tail = Text("abcabcabcabca");
  input.insert(input.end(), tail.begin(), tail.end());
  return input;
}

TEST(BlockCodecWindow, PositionsFrom32768NeverMatch) {
  // 32768 zeros: 8 runs of 4095 (0x0FEF), then 8 zeros at 32760: a literal and a
  // copy D=1 of 7 (0x0014). "abc..." starts at 32768; its positions read back
  // negative from the table, so the repeat 3 bytes on is 13 literals, not a copy.
  // Items: R*8 L C L*6 -> 0xFF40; then L*7 -> 0x0000.
  const Bytes input = ZerosThenAbc(32768);
  ASSERT_EQ(input.size(), kCodecBlockSize);
  Bytes expected = {0x40, 0xFF, 0x40};
  for (int i = 0; i < 8; ++i) expected.insert(expected.end(), {0x00, 0x0F, 0xEF, 0x00});
  expected.insert(expected.end(), {0x00, 0x00, 0x14, 'a', 'b', 'c', 'a', 'b', 'c', 0x00, 0x00, 'a', 'b', 'c',
                                   'a', 'b', 'c', 'a'});
  const Bytes block = Compress(input);
  EXPECT_EQ(block, expected);
  EXPECT_EQ(Decompress(block), input);
}

TEST(BlockCodecWindow, TheSameShapeBelow32768DoesMatch) {
  // 32755 zeros: 7 runs of 4095 and one of 4090 (0x0FEA); "abc" at 32755..32757 as
  // literals, then from 32758 a copy D=3 of the 10 bytes left (0x0037).
  const Bytes input = ZerosThenAbc(32755);
  const Bytes block = Compress(input);
  Bytes expected = {0x40, 0xFF, 0x10};
  for (int i = 0; i < 7; ++i) expected.insert(expected.end(), {0x00, 0x0F, 0xEF, 0x00});
  expected.insert(expected.end(), {0x00, 0x0F, 0xEA, 0x00, 'a', 'b', 'c', 0x00, 0x37});
  EXPECT_EQ(block, expected);
  EXPECT_EQ(Decompress(block), input);
}

// ---- round trips ----

const std::size_t kSizes[] = {1,    2,    3,    4,    15,    16,    17,    18,    19,    31,   100,
                              4095, 4096, 4097, 8191, 22674, 32767, 32768, 32769, 32780, 32781};

void ExpectRoundTrip(const Bytes& input, const char* kind) {
  const Bytes block = Compress(input);
  ASSERT_LE(block.size(), input.size() + 1) << kind << " " << input.size();
  if (block[0] == 0x80) {
    EXPECT_EQ(block.size(), input.size() + 1) << kind << " " << input.size();
  } else {
    EXPECT_EQ(block[0], 0x40);
    EXPECT_LE(block.size(), input.size()) << kind << " " << input.size();
  }
  EXPECT_EQ(Decompress(block), input) << kind << " " << input.size();
}

TEST(BlockCodecRoundTrip, RandomBytesComeBackAndAreStored) {
  for (const std::size_t n : kSizes) {
    const Bytes input = Random(n, static_cast<std::uint32_t>(n));
    ExpectRoundTrip(input, "random");
    if (n >= 3) {
      EXPECT_EQ(Compress(input)[0], 0x80) << n;
    }
  }
}

TEST(BlockCodecRoundTrip, RepetitiveBytesComeBack) {
  for (const std::size_t n : kSizes) {
    for (std::uint32_t seed = 1; seed <= 4; ++seed)
      ExpectRoundTrip(Repetitive(n, seed * 977 + n), "repetitive");
  }
}

TEST(BlockCodecRoundTrip, BmpLikeBytesComeBackSmaller) {
  Bytes list = BmpLike(false);
  const Bytes pressed = BmpLike(true);
  list.insert(list.end(), pressed.begin(), pressed.end());
  for (const std::size_t n : kSizes) {
    ExpectRoundTrip(Bytes(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(n)), "bmp");
    ExpectRoundTrip(Tiled(n, pressed), "tiled bmp");
  }
  const Bytes face = BmpLike(false);
  EXPECT_LT(Compress(face).size(), face.size() / 2) << "a dark face compresses well";
}

TEST(BlockCodecRoundTrip, EveryLengthUpTo600AndEdgeBytes) {
  for (std::size_t n = 0; n <= 600; ++n) {
    ExpectRoundTrip(Repetitive(n, static_cast<std::uint32_t>(n)), "short");
    ExpectRoundTrip(Bytes(n, 0xFF), "ff");
  }
  // Equal runs of every length around the run limits.
  Bytes runs;
  for (std::size_t len : {1, 2, 3, 15, 16, 17, 18, 19, 4094, 4095, 4096, 4110, 4111, 4112}) {
    runs.insert(runs.end(), len, static_cast<std::uint8_t>(runs.size() % 251));
  }
  ExpectRoundTrip(runs, "runs");
}

// ---- state ----

TEST(BlockCodecState, SameInputGivesTheSameBytesEveryCall) {
  const Bytes a = Repetitive(kCodecBlockSize, 7), b = BmpLike(true);
  const Bytes first = Compress(a);
  Compress(b);  // leaves its own positions behind, if anything leaked
  EXPECT_EQ(Compress(a), first);
  EXPECT_EQ(Compress(AbcGapAbc(4092)), Compress(AbcGapAbc(4092)));
}

TEST(BlockCodecState, OutputAreaBeyondTheBlockIsNotTrusted) {
  // The coder must not depend on what the output area held before.
  const Bytes input = BmpLike(false);
  Bytes zeroed(kCodecOutputArea, 0), filled(kCodecOutputArea, 0xEE);
  const std::size_t a = CompressBlock(input.data(), input.size(), zeroed.data());
  const std::size_t b = CompressBlock(input.data(), input.size(), filled.data());
  ASSERT_EQ(a, b);
  EXPECT_TRUE(std::equal(zeroed.begin(), zeroed.begin() + static_cast<std::ptrdiff_t>(a), filled.begin()));
}

TEST(BlockCodecState, HashTableAllocationFailureIsLzrwError) {
  const Bytes input(40, 1);
  Bytes out(kCodecOutputArea);
  failNothrowArrayNew = true;
  const std::string message = testsupport::ThrownMessage<toolkit::EInvalidPointer>(
      [&] { CompressBlock(input.data(), input.size(), out.data()); });
  failNothrowArrayNew = false;
  EXPECT_EQ(message, "LZRW Error!");
  EXPECT_EQ(Compress(input).size(), 7u) << "works again afterwards";
}

TEST(BlockCodecState, InputLongerThanABlockIsRefused) {
  const Bytes input(kCodecBlockSize + 1, 0);
  Bytes out(kCodecOutputArea);
  EXPECT_THROW(CompressBlock(input.data(), input.size(), out.data()), toolkit::EStreamError);
}

// ---- decoding what the coder never makes ----

TEST(BlockCodecDecode, AcceptsWellFormedOddities) {
  EXPECT_EQ(Decompress({0x40, 0x00, 0x00}), Bytes()) << "a coded header alone";
  EXPECT_EQ(Decompress({0x13, 0x00, 0x00, 'q'}), Bytes({'q'})) << "any flag but 0x80 is coded";
  // Copy D=2 of 7 over 2 bytes: overlap repeats the pair.
  EXPECT_EQ(Decompress({0x40, 0x20, 0x00, 'a', 'b', 0x00, 0x24}), Text("ababababa"));
  // A run of 4111, the most a run code can say (h = 0x0F, l = 0xFF).
  EXPECT_EQ(Decompress({0x40, 0x80, 0x00, 0x00, 0x0F, 0xFF, 0x09}), Bytes(4111, 0x09));
  // Stored block of the largest size.
  Bytes stored(kCodecMaxBlock, 0x33);
  stored[0] = 0x80;
  EXPECT_EQ(Decompress(stored), Bytes(kCodecBlockSize, 0x33));
}

TEST(BlockCodecDecode, OutputOfExactly32781IsAccepted) {
  // 7 runs of 4111 = 28777, one of 4004 (h,l = 0x0F94): 32781.
  Bytes block = {0x40, 0xFF, 0x00};
  for (int i = 0; i < 7; ++i) block.insert(block.end(), {0x00, 0x0F, 0xFF, 0x01});
  block.insert(block.end(), {0x00, 0x0F, 0x94, 0x02});
  const Bytes out = Decompress(block);
  ASSERT_EQ(out.size(), kCodecBlockSize);
  EXPECT_EQ(out.back(), 0x02);
}

TEST(BlockCodecMalformed, EmptyBlock) { EXPECT_REJECTED(Bytes(), "empty"); }

TEST(BlockCodecMalformed, CodedHeaderCutOff) {
  EXPECT_REJECTED(Bytes({0x40}), "header");
  EXPECT_REJECTED(Bytes({0x40, 0x80}), "header");
}

TEST(BlockCodecMalformed, CodeCutOff) {
  EXPECT_REJECTED(Bytes({0x40, 0x80, 0x00, 0x01}), "code is cut off");             // copy, 1 of 2
  EXPECT_REJECTED(Bytes({0x40, 0x80, 0x00, 0x00}), "code is cut off");             // run, 1 of 4
  EXPECT_REJECTED(Bytes({0x40, 0x80, 0x00, 0x00, 0x00}), "run is cut off");        // run, 2 of 4
  EXPECT_REJECTED(Bytes({0x40, 0x80, 0x00, 0x00, 0x00, 0x05}), "run is cut off");  // 3 of 4
}

TEST(BlockCodecMalformed, ControlWordCutOff) {
  Bytes block = {0x40, 0x00, 0x00};
  const Bytes letters = Text("abcdefghijklmnop");
  block.insert(block.end(), letters.begin(), letters.end());
  EXPECT_EQ(Decompress(block), letters) << "16 literals are whole";
  block.push_back(0x80);
  EXPECT_REJECTED(block, "control word is cut off");
  block.push_back(0x00);
  EXPECT_REJECTED(block, "after a control word");
}

TEST(BlockCodecMalformed, CopyReachingBeforeTheStart) {
  EXPECT_REJECTED(Bytes({0x40, 0x80, 0x00, 0x00, 0x10}), "before the start");       // D=1 at 0
  EXPECT_REJECTED(Bytes({0x40, 0x40, 0x00, 'a', 0x00, 0x20}), "before the start");  // D=2 at 1
  EXPECT_REJECTED(Bytes({0x40, 0x80, 0x00, 0xFF, 0xFF}), "before the start");       // D=4095 at 0
}

// Runs (bits 1) that produce `total` bytes, then one more item of `kind`:
// 'l' a literal, 'c' a copy D=1 of 3, 'r' a run of 16.
Bytes RunsThen(std::size_t total, char kind) {
  Bytes items;
  std::uint32_t bits = 0;
  int count = 0;
  for (std::size_t left = total; left > 0; ++count) {
    std::size_t len = std::min<std::size_t>(left, 4111);
    if (left - len > 0 && left - len < 16) len -= 16;
    const std::size_t code = len - 16;
    items.insert(items.end(),
                 {0x00, static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code), 0x01});
    bits |= 0x8000u >> count;
    left -= len;
  }
  if (kind == 'l') items.push_back('x');
  if (kind == 'c') items.insert(items.end(), {0x00, 0x10});
  if (kind == 'r') items.insert(items.end(), {0x00, 0x00, 0x00, 0x03});
  if (kind != 'l') bits |= 0x8000u >> count;
  Bytes block = {0x40, static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits)};
  block.insert(block.end(), items.begin(), items.end());
  return block;
}

TEST(BlockCodecMalformed, OutputOver32781) {
  Bytes many = {0x40, 0xFF, 0x00};
  for (int i = 0; i < 8; ++i) many.insert(many.end(), {0x00, 0x0F, 0xFF, 0x01});
  EXPECT_REJECTED(many, "exceeds 32781");

  // Each kind of item right up to the limit, and one byte over it.
  EXPECT_EQ(Decompress(RunsThen(32780, 'l')).size(), kCodecBlockSize);
  EXPECT_REJECTED(RunsThen(32781, 'l'), "exceeds 32781");
  EXPECT_EQ(Decompress(RunsThen(32778, 'c')).size(), kCodecBlockSize);
  EXPECT_REJECTED(RunsThen(32779, 'c'), "exceeds 32781");
  EXPECT_EQ(Decompress(RunsThen(32765, 'r')).size(), kCodecBlockSize);
  EXPECT_REJECTED(RunsThen(32766, 'r'), "exceeds 32781");
}

TEST(BlockCodecMalformed, BlockLongerThan32782) {
  Bytes block(kCodecMaxBlock + 1, 0);
  block[0] = 0x80;
  EXPECT_REJECTED(block, "longer than 32782");
  block[0] = 0x40;
  EXPECT_REJECTED(block, "longer than 32782");
}

}  // namespace
}  // namespace controls
