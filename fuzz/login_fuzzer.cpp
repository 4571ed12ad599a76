// Random payload text into the login decoder and random digits into its character rendering.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "connection/login_decoder.h"
#include "framing/hex.h"

namespace {

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::abort();
}

// The number of code points in `text`, or -1 when it is not well-formed UTF-8.
long codePoints(std::string_view text) {
  long count = 0;
  for (std::size_t i = 0; i < text.size(); ++count) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >> 5 == 0x6 ? 2 : lead >> 4 == 0xE ? 3 : 0;
    if (length == 0 || i + length > text.size()) return -1;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return -1;
    }
    i += length;
  }
  return count;
}

// The longest message, code and fields, in hex digits: the login message before its skip.
constexpr std::int32_t kLongestMessage = 2 + 242;
constexpr int kPasses = 7;
constexpr int kMostLinesPerPass = 25;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  // Whatever the digits, each byte they stand for is rendered as exactly one character.
  const std::string shown = loginCharacters(input);
  if (codePoints(shown) != static_cast<long>(input.size() / 2)) {
    fail("loginCharacters gave " + std::to_string(codePoints(shown)) + " characters for " +
         std::to_string(input.size() / 2) + " bytes");
  }

  // Payload text as the reply handler gathers it: upper-case hex, whole bytes.
  const std::string receiveBuffer = EncodeHex(input);
  std::int32_t location = 1;
  int lines = 0;
  decodeLoginMessages(receiveBuffer, location, [&](std::string_view line) {
    ++lines;
    if (codePoints(line) < 0) fail("a log line is not UTF-8: " + EncodeHex(line));
  });
  if (location < 1 || location % 2 != 1) fail("Location " + std::to_string(location));
  const auto limit =
      static_cast<std::int32_t>(receiveBuffer.size()) + 2 + kPasses * kLongestMessage;
  if (location > limit) fail("Location ran to " + std::to_string(location));
  if (lines > kPasses * kMostLinesPerPass) fail(std::to_string(lines) + " log lines");
  return 0;
}
