// The screenshot command's table: the bytes each model is sent, each a whole
// System Exclusive message, and the model each selector stands for.
#include "midi/MessageTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/support/TyrosMessages.h"

namespace midi {
namespace {

using testsupport::Tyros2Sequence;
using testsupport::TyrosSequence;
using Bytes = testsupport::Message;

std::vector<Bytes> BytesOf(int selector) {
  std::vector<Bytes> messages;
  for (const Message& m : Sequence(selector)) messages.emplace_back(m.Bytes().begin(), m.Bytes().end());
  return messages;
}

TEST(MessageTable, HoldsTheFiveMessagesInOrderAsWholeSystemExclusives) {
  Bytes all;
  for (const Bytes& m : {testsupport::kTyros1, testsupport::kTyros2, testsupport::kXgSystemOn,
                         testsupport::kTyros1, testsupport::kTyros2Third})
    all.insert(all.end(), m.begin(), m.end());
  EXPECT_EQ(Bytes(kMessageTable.begin(), kMessageTable.end()), all);
  for (int selector : {kTyros, kTyros2}) {
    for (const Message& m : Sequence(selector)) {
      const auto bytes = m.Bytes();
      EXPECT_EQ(bytes.front(), 0xF0);
      EXPECT_EQ(bytes.back(), 0xF7);
      EXPECT_TRUE(std::all_of(bytes.begin() + 1, bytes.end() - 1, [](std::uint8_t b) { return b < 0x80; }));
    }
  }
}

TEST(MessageTable, TyrosIsSentItsTwoMessages) { EXPECT_EQ(BytesOf(kTyros), TyrosSequence()); }

TEST(MessageTable, Tyros2IsSentXgSystemOnThenItsTwoMessages) {
  EXPECT_EQ(BytesOf(kTyros2), Tyros2Sequence());
}

TEST(MessageTable, AnyOtherSelectorStandsForTyros2) {
  for (int selector : {-1, 0, 3}) EXPECT_EQ(BytesOf(selector), Tyros2Sequence()) << selector;
}

}  // namespace
}  // namespace midi
