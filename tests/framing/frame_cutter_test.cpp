#include "framing/frame_cutter.h"

#include <gtest/gtest.h>

#include "framing/hex.h"

namespace {

// What a cut found, in one line: kind, S, E, N, then FBS|SBS|RCW|OPC|PAY.
std::string describe(const FrameCut& cut) {
  static constexpr const char* kKinds[] = {"no start", "no end", "junk", "frame"};
  const PacketFields& f = cut.fields;
  return kKinds[static_cast<int>(cut.kind)] + (" " + std::to_string(cut.S)) + " " +
         std::to_string(cut.E) + " " + std::to_string(cut.N) + " " + f.FBS + "|" + f.SBS + "|" +
         f.RCW + "|" + f.OPC + "|" + f.PAY;
}

// Whole frames, junk before them and missing parts are checked through the operator log in the
// frame extraction tests; these are the cases that only the cutter's own results show.
TEST(CutFrame, MatchesOnByteBoundariesAndCutsShortFields) {
  const struct {
    const char* name;
    const char* input;
    const char* cut;
  } cases[] = {
      {"digits 1003 across two bytes end nothing",
       "0012340000000500000002000040" /* payload */ "01003F" /* check */ "ABCD1003",
       "frame 1 40 21 00000005|00000002|0000|40|01003FABCD1003"},
      {"bytes 10 03 inside a payload end the frame there",
       "0012340000000500000002000040" /* payload */ "AA1003BB" /* check */ "ABCD1003",
       "frame 1 32 17 00000005|00000002|0000|40|AA1003"},
      {"a short frame gives short fields", "00123400001003", "frame 1 12 7 00001003||||"},
      {"a start key across two bytes is none", "A00123401003", "no start 0 0 0 ||||"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(describe(cutFrame(DecodeHex(c.input), "1234")), c.cut) << c.name << ": " << c.input;
  }
}

}  // namespace
