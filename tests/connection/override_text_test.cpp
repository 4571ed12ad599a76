#include "connection/override_text.h"

#include <gtest/gtest.h>

namespace {

// The send queue made of the typed text, or the problem found in it after "problem: ".
std::string checked(const std::string& typed) {
  std::string problem;
  const std::optional<std::string> sendQueue = checkOverrideText(typed, problem);
  return sendQueue ? *sendQueue : "problem: " + problem;
}

TEST(OverrideText, SendsWholeHexBytesOrNamesTheFirstProblem) {
  EXPECT_EQ(checked("03 d8 22\r\n21\t03\n"), "03D8222103");
  EXPECT_EQ(checked("  \r\n\t"), "");
  // Positions count every character typed, blanks included.
  EXPECT_EQ(checked("01 2G"), "problem: 'G' at position 5 is not a hex digit");
  EXPECT_EQ(checked("12\u00E4\u00E4"), "problem: '\u00E4' at position 3 is not a hex digit");
  EXPECT_EQ(checked(std::string("12\00034", 5)),
            "problem: control character 0x00 at position 3 is not a hex digit");
  EXPECT_EQ(checked("12\v"), "problem: control character 0x0B at position 3 is not a hex digit");
  EXPECT_EQ(checked("\x7F"), "problem: control character 0x7F at position 1 is not a hex digit");
  EXPECT_EQ(checked("12 34\r\n5"), "problem: 5 hex digits do not make whole bytes");
  EXPECT_EQ(checked("a"), "problem: 1 hex digit does not make a whole byte");
  // The first offending character is named even when the digit count is odd too.
  EXPECT_EQ(checked("123Z"), "problem: 'Z' at position 4 is not a hex digit");
}

}  // namespace
