#include "framing/hex.h"

#include <gtest/gtest.h>

TEST(Hex, EncodesUpperCaseAndDecodesEitherCaseDroppingAnUnpairedDigit) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(DecodeHex(EncodeHex(all)), all);
  EXPECT_EQ(EncodeHex(std::string("\x00\x1F\xFA\x10\x03", 5)), "001FFA1003");
  EXPECT_EQ(DecodeHex("001ffa1003"), std::string("\x00\x1F\xFA\x10\x03", 5));
  EXPECT_EQ(DecodeHex("ABC"), "\xAB");
  EXPECT_EQ(DecodeHex("A"), "");
}

TEST(Hex, RecognisesHexText) {
  EXPECT_TRUE(isHexText("09afAF"));
  EXPECT_TRUE(isHexText(""));
  for (const char* text : {"12 34", "0G", "g", "/", ":", "@", "`"})
    EXPECT_FALSE(isHexText(text)) << text;
}
