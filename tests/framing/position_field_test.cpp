#include "framing/position_field.h"

#include <gtest/gtest.h>

#include <string>

TEST(ReturnLongLengthOfString, RendersByteCountPlusOneInEightDigits) {
  // The last four have an odd digit count, which drops the half byte.
  const struct {
    std::size_t digits;
    const char* field;
  } cases[] = {
      {0, "00000000"},    {2, "00000002"},    {4, "00000003"}, {30, "00000010"},
      {2046, "00000400"}, {4092, "000007FF"}, {1, "00000001"}, {2045, "000003FF"},
      {4091, "000007FE"}, {6137, "00000BFD"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReturnLongLengthOfString(std::string(c.digits, 'A')), c.field)
        << c.digits << " digits";
  }
}

TEST(PositionField, EightDigitsAtMostThenEmpty) {
  EXPECT_EQ(positionField(0x0FFFFFFF), "10000000");
  EXPECT_EQ(positionField(0xFFFFFFFE), "FFFFFFFF");
  EXPECT_EQ(positionField(0xFFFFFFFF), "");
}
