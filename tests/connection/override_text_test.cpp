#include "connection/override_text.h"

#include <gtest/gtest.h>

namespace {

TEST(OverrideText, AcceptsHexDigitsWithBlanksAndLineBreaks) {
  struct Case {
    const char* typed;
    const char* sendQueue;
  };
  const Case cases[] = {
      {"03D8222103", "03D8222103"},
      {"03 d8 22\r\n21\t03\n", "03D8222103"},
      {"abcdef", "ABCDEF"},
      {"0 1 2 3 4 5 6 7 8 9 A B C D E F", "0123456789ABCDEF"},
      {"", ""},
      {"  \r\n\t", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    std::string problem;
    const std::optional<std::string> sendQueue = checkOverrideText(c.typed, problem);
    ASSERT_TRUE(sendQueue.has_value()) << problem;
    EXPECT_EQ(*sendQueue, c.sendQueue);
  }
}

TEST(OverrideText, RejectsTextThatIsNotWholeHexBytes) {
  struct Case {
    std::string typed;
    const char* problem;
  };
  const Case cases[] = {
      {"0123G5", "'G' at position 5 is not a hex digit"},
      {"01 2G", "'G' at position 5 is not a hex digit"},
      {"0x12", "'x' at position 2 is not a hex digit"},
      {"12,34", "',' at position 3 is not a hex digit"},
      {"12\u00E434", "'\u00E4' at position 3 is not a hex digit"},
      {"\u00E4\u00E4G", "'\u00E4' at position 1 is not a hex digit"},
      {"12\a34", "control character 0x07 at position 3 is not a hex digit"},
      {std::string("12\0"
                   "34",
                   5),
       "control character 0x00 at position 3 is not a hex digit"},
      {"12\v", "control character 0x0B at position 3 is not a hex digit"},
      {"1234567", "7 hex digits do not make whole bytes"},
      {"12 34\r\n5", "5 hex digits do not make whole bytes"},
      {"a", "1 hex digit does not make a whole byte"},
      // The first offending character is named even when the digit count is odd too.
      {"123Z", "'Z' at position 4 is not a hex digit"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    std::string problem;
    EXPECT_EQ(checkOverrideText(c.typed, problem), std::nullopt);
    EXPECT_EQ(problem, c.problem);
  }
}

}  // namespace
