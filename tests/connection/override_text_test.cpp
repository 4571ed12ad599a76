#include "connection/override_text.h"

#include <gtest/gtest.h>

namespace {

TEST(OverrideText, SendsWholeHexBytesOrNamesTheFirstProblem) {
  const struct {
    std::string typed;
    const char* result;  // the send queue, or the problem after "problem: "
  } cases[] = {
      {"03 d8 22\r\n21\t03\n", "03D8222103"},
      {"abcdef", "ABCDEF"},
      {"  \r\n\t", ""},
      // Positions count every character typed, blanks included.
      {"01 2G", "problem: 'G' at position 5 is not a hex digit"},
      {"12\u00E4\u00E4", "problem: '\u00E4' at position 3 is not a hex digit"},
      {std::string("12\00034", 5),
       "problem: control character 0x00 at position 3 is not a hex digit"},
      {"12\v", "problem: control character 0x0B at position 3 is not a hex digit"},
      {"\x7F", "problem: control character 0x7F at position 1 is not a hex digit"},
      {"12 34\r\n5", "problem: 5 hex digits do not make whole bytes"},
      {"a", "problem: 1 hex digit does not make a whole byte"},
      // The first offending character is named even when the digit count is odd too.
      {"123Z", "problem: 'Z' at position 4 is not a hex digit"},
  };
  for (const auto& c : cases) {
    std::string problem;
    const std::optional<std::string> sendQueue = checkOverrideText(c.typed, problem);
    EXPECT_EQ(sendQueue ? *sendQueue : "problem: " + problem, c.result) << c.typed;
  }
}

}  // namespace
