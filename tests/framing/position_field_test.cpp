#include "framing/position_field.h"

#include <gtest/gtest.h>

#include <string>

TEST(ReturnLongLengthOfString, RendersByteCountPlusOneInEightDigits) {
  const struct {
    std::size_t digits;
    const char* field;
  } cases[] = {
      {0, "00000000"},    {2, "00000002"},    {4, "00000003"},
      {30, "00000010"},   {2046, "00000400"}, {4092, "000007FF"},
      {2045, "000003FF"}, {4091, "000007FE"}, {6137, "00000BFD"},  // odd: the half is dropped
      {1, "00000001"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReturnLongLengthOfString(std::string(c.digits, 'A')), c.field) << c.digits << " digits";
  }
}

TEST(ReturnLongLengthOfString, EightDigitValuesStandAlone) {
  // 2^28 needs all eight digits: a buffer of 268,435,455 bytes.
  EXPECT_EQ(ReturnLongLengthOfString(std::string(2 * 268435455ull, '0')), "10000000");
}
