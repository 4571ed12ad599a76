#include "connection/override_text.h"

#include <cctype>

#include "framing/hex.h"

namespace {

bool isDropped(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isUtf8Continuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The character starting at `at` as the operator would recognise it: the whole UTF-8 sequence,
// or the byte value for an invisible control character.
std::string describeCharacter(std::string_view typed, std::size_t at) {
  const unsigned char first = static_cast<unsigned char>(typed[at]);
  if (first < 0x20 || first == 0x7F) return "control character 0x" + EncodeHex(typed.substr(at, 1));
  std::size_t end = at + 1;
  while (end < typed.size() && isUtf8Continuation(typed[end])) ++end;
  std::string quoted(1, '\'');
  quoted.append(typed.substr(at, end - at)).push_back('\'');
  return quoted;
}

}  // namespace

std::optional<std::string> checkOverrideText(std::string_view typed, std::string& problem) {
  std::string digits;
  digits.reserve(typed.size());
  for (std::size_t i = 0; i < typed.size(); ++i) {
    const char c = typed[i];
    if (isDropped(c)) continue;
    // Everything before the first offender is ASCII, so its byte position is its character one.
    if (hexDigitValue(c) < 0) {
      problem = describeCharacter(typed, i) + " at position " + std::to_string(i + 1) +
                " is not a hex digit";
      return std::nullopt;
    }
    digits.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
  }
  if (digits.size() % 2 != 0) {
    problem = digits.size() == 1 ? std::string("1 hex digit does not make a whole byte")
                                 : std::to_string(digits.size()).append(" hex digits do not make whole bytes");
    return std::nullopt;
  }
  return digits;
}
