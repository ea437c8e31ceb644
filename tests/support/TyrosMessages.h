// The screenshot command's messages as the instruments expect them, written
// out here rather than taken from the program's table, for the tests of the
// layers that send them.
#pragma once

#include <vector>

namespace testsupport {

using Message = std::vector<unsigned char>;

inline const Message kTyros1{0xF0, 0x43, 0x73, 0x01, 0x51, 0x09, 0x00, 0x00, 0x00, 0xF7};
inline const Message kTyros2{0xF0, 0x43, 0x73, 0x01, 0x51, 0x09, 0x00, 0x01, 0x00, 0xF7};
inline const Message kXgSystemOn{0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7};
inline const Message kTyros2Third{0xF0, 0x43, 0x73, 0x01, 0x51, 0x09, 0x00, 0x02, 0x01, 0x03, 0xF7};

inline std::vector<Message> TyrosSequence() { return {kTyros1, kTyros2}; }
inline std::vector<Message> Tyros2Sequence() { return {kXgSystemOn, kTyros1, kTyros2Third}; }

}  // namespace testsupport
