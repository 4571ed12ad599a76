#include "framing/hex.h"

#include <gtest/gtest.h>

TEST(Hex, EncodesUpperCaseTwoDigitsPerByte) {
  EXPECT_EQ(EncodeHex(std::string("\x00\x1F\xFA\x10\x03", 5)), "001FFA1003");
  EXPECT_EQ(EncodeHex(""), "");
}

TEST(Hex, DecodesEitherCaseAndDropsAnUnpairedDigit) {
  EXPECT_EQ(DecodeHex("001ffa1003"), std::string("\x00\x1F\xFA\x10\x03", 5));
  EXPECT_EQ(DecodeHex("ABC"), std::string("\xAB"));
  EXPECT_EQ(DecodeHex("A"), "");
}

TEST(Hex, RoundTripsEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(DecodeHex(EncodeHex(all)), all);
}

TEST(Hex, RecognisesHexText) {
  EXPECT_TRUE(isHexText("0123456789abcdefABCDEF"));
  EXPECT_TRUE(isHexText(""));
  EXPECT_FALSE(isHexText("12 34"));
  EXPECT_FALSE(isHexText("0G"));
}
