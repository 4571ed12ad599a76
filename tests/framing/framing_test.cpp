#include <gtest/gtest.h>

#include <boost/crc.hpp>
#include <cstdio>
#include <random>

#include "framing/crc.h"
#include "framing/frame_cutter.h"
#include "framing/hex.h"
#include "framing/position_field.h"

namespace {

TEST(Hex, EncodesUpperDecodesEitherCaseDropsAnUnpairedDigitAndRecognisesHexText) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(DecodeHex(EncodeHex(all)), all);
  EXPECT_EQ(EncodeHex(std::string("\x00\x1F\xFA\x10\x03", 5)), "001FFA1003");
  EXPECT_EQ(DecodeHex("001ffa1003ABC"), std::string("\x00\x1F\xFA\x10\x03\xAB", 6));
  std::string values;
  for (const char c : std::string_view("09afAF/:@`gG "))
    values += std::to_string(hexDigitValue(c)) + " ";
  EXPECT_EQ(values, "0 9 10 15 10 15 -1 -1 -1 -1 -1 -1 -1 ");
}

TEST(CalculateCRC, WorkedExamplesDropLeadingZerosAndAgreeWithBoostOverRandomInput) {
  EXPECT_EQ(CalculateCRC("313233343536373839"), "D64E");  // catalogue check value of "123456789"
  EXPECT_EQ(CalculateCRC("7B30"), "0");
  std::mt19937 random(20261206);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 1100, '\0');
    for (char& b : bytes) b = static_cast<char>(random());
    boost::crc_optimal<16, 0x1021, 0xFFFF, 0xFFFF, false, false> oracle;
    oracle.process_bytes(bytes.data(), bytes.size());
    char expected[5];
    std::snprintf(expected, sizeof expected, "%X", oracle.checksum());
    ASSERT_EQ(CalculateCRC(EncodeHex(bytes)), expected) << "input " << EncodeHex(bytes);
  }
}

TEST(PositionField, ByteCountPlusOneInEightDigitsAtMostThenEmpty) {
  // The last four digit counts are odd: the half byte is dropped.
  std::string fields;
  for (const std::size_t digits : {0, 2, 4, 30, 2046, 4092, 1, 2045, 4091, 6137})
    fields += ReturnLongLengthOfString(std::string(digits, 'A')) + " ";
  EXPECT_EQ(fields,
            "00000000 00000002 00000003 00000010 00000400 000007FF 00000001 000003FF 000007FE "
            "00000BFD ");
  EXPECT_EQ(positionField(0x0FFFFFFF), "10000000");
  EXPECT_EQ(positionField(0xFFFFFFFE), "FFFFFFFF");
  EXPECT_EQ(positionField(0xFFFFFFFF), "");
}

// What a cut of the hex `input` for the box 1234 found: kind, S, E, N, then FBS|SBS|RCW|OPC|PAY.
std::string cut(const std::string& input) {
  static constexpr const char* kKinds[] = {"no start", "no end", "junk", "frame"};
  const FrameCut c = cutFrame(DecodeHex(input), "1234");
  const PacketFields& f = c.fields;
  return kKinds[static_cast<int>(c.kind)] + (" " + std::to_string(c.S)) + " " +
         std::to_string(c.E) + " " + std::to_string(c.N) + " " + f.FBS + "|" + f.SBS + "|" + f.RCW +
         "|" + f.OPC + "|" + f.PAY;
}

// Whole frames, junk before them and missing parts are checked through the operator log in the
// frame extraction tests; these are the cases that only the cutter's own results show.
TEST(CutFrame, MatchesOnByteBoundariesAndCutsShortFields) {
  // Digits 1003 across two bytes (01 00 3F) end nothing; bytes 10 03 in a payload end the frame.
  EXPECT_EQ(cut("001234000000050000000200004001003FABCD1003"),
            "frame 1 40 21 00000005|00000002|0000|40|01003FABCD1003");
  EXPECT_EQ(cut("0012340000000500000002000040AA1003BBABCD1003"),
            "frame 1 32 17 00000005|00000002|0000|40|AA1003");
  EXPECT_EQ(cut("00123400001003"), "frame 1 12 7 00001003||||");
  EXPECT_EQ(cut("A00123401003"), "no start 0 0 0 ||||");  // a start key across two bytes is none
}

}  // namespace
