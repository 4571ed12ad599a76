#include "framing/frame_cutter.h"

#include <gtest/gtest.h>

#include "framing/hex.h"

namespace {

const std::string kFrame = DecodeHex("001234000000050000000200" "00C0E2591003");

TEST(CutFrame, CutsAWholeFrameIntoItsFields) {
  const FrameCut cut = cutFrame(kFrame, "1234");
  ASSERT_EQ(cut.kind, FrameCut::Kind::Frame);
  EXPECT_EQ(cut.S, 1u);
  EXPECT_EQ(cut.E, 34u);
  EXPECT_EQ(cut.N, 18u);
  EXPECT_EQ(cut.fields.FBS, "00000005");
  EXPECT_EQ(cut.fields.SBS, "00000002");
  EXPECT_EQ(cut.fields.RCW, "0000");
  EXPECT_EQ(cut.fields.OPC, "C0");
  EXPECT_EQ(cut.fields.PAY, "E2591003");
}

TEST(CutFrame, TakesJunkBeforeTheFrameAndLeavesWhatFollows) {
  const FrameCut cut = cutFrame("\r\n" + kFrame + DecodeHex("0012340000"), "1234");
  ASSERT_EQ(cut.kind, FrameCut::Kind::Frame);
  EXPECT_EQ(cut.S, 5u);
  EXPECT_EQ(cut.E, 38u);
  EXPECT_EQ(cut.N, 20u);
  EXPECT_EQ(cut.fields.OPC, "C0");
  EXPECT_EQ(cut.fields.PAY, "E2591003");
}

TEST(CutFrame, ReportsWhatIsMissing) {
  EXPECT_EQ(cutFrame("OK\r\n", "1234").kind, FrameCut::Kind::NoStart);
  EXPECT_EQ(cutFrame(DecodeHex("0055550000000500001003"), "1234").kind, FrameCut::Kind::NoStart);
  const FrameCut partial = cutFrame(kFrame.substr(0, 10), "1234");
  EXPECT_EQ(partial.kind, FrameCut::Kind::NoEnd);
  EXPECT_EQ(partial.S, 1u);
}

TEST(CutFrame, AnEndMarkerBeforeTheStartKeyIsJunkThroughTheMarker) {
  const std::string tail = DecodeHex("AABB1003");
  const FrameCut cut = cutFrame(tail + kFrame, "1234");
  ASSERT_EQ(cut.kind, FrameCut::Kind::Junk);
  EXPECT_EQ(cut.S, 9u);
  EXPECT_EQ(cut.E, 6u);
  EXPECT_EQ(cut.N, 4u);
}

TEST(CutFrame, MarkersAndKeysCountOnlyOnByteBoundaries) {
  // The payload 01 00 3F holds the digits "1003" across two bytes: that ends nothing.
  const std::string frame = DecodeHex("00123400000005000000020000" "40" "01003F" "ABCD1003");
  const FrameCut cut = cutFrame(frame, "1234");
  ASSERT_EQ(cut.kind, FrameCut::Kind::Frame);
  EXPECT_EQ(cut.N, frame.size());
  EXPECT_EQ(cut.fields.PAY, "01003FABCD1003");
  // A start key that straddles two bytes (x0 01 23 4y) is no start key.
  EXPECT_EQ(cutFrame(DecodeHex("A0012340") + "\x10\x03", "1234").kind, FrameCut::Kind::NoStart);
}

TEST(CutFrame, ABytePairTenThreeInsideAPayloadEndsTheFrameThere) {
  const std::string frame = DecodeHex("00123400000005000000020000" "40" "AA1003BB" "ABCD1003");
  const FrameCut cut = cutFrame(frame, "1234");
  ASSERT_EQ(cut.kind, FrameCut::Kind::Frame);
  EXPECT_EQ(cut.fields.PAY, "AA1003");
  EXPECT_EQ(cut.N, 17u);
}

TEST(CutFrame, AShortFrameGivesShortFields) {
  const FrameCut cut = cutFrame(DecodeHex("00123400001003"), "1234");
  ASSERT_EQ(cut.kind, FrameCut::Kind::Frame);
  EXPECT_EQ(cut.fields.FBS, "00001003");
  EXPECT_EQ(cut.fields.SBS, "");
  EXPECT_EQ(cut.fields.PAY, "");
}

}  // namespace
