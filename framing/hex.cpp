#include "framing/hex.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// Digit values by character; -1 for anything that is no hex digit.
constexpr std::array<std::int8_t, 256> makeDigitValues() {
  std::array<std::int8_t, 256> values{};
  values.fill(-1);
  for (int i = 0; i < 10; ++i) values['0' + i] = static_cast<std::int8_t>(i);
  for (int i = 0; i < 6; ++i) {
    values['A' + i] = static_cast<std::int8_t>(10 + i);
    values['a' + i] = static_cast<std::int8_t>(10 + i);
  }
  return values;
}

constexpr auto kDigitValues = makeDigitValues();

}  // namespace

int hexDigitValue(char c) {
  return kDigitValues[static_cast<unsigned char>(c)];
}

std::string EncodeHex(std::string_view bytes) {
  std::string hex(bytes.size() * 2, '0');
  char* out = hex.data();
  for (unsigned char byte : bytes) {
    *out++ = kDigits[byte >> 4];
    *out++ = kDigits[byte & 0x0F];
  }
  return hex;
}

std::string DecodeHex(std::string_view hex) {
  std::string bytes(hex.size() / 2, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const int high = std::max(hexDigitValue(hex[2 * i]), 0);
    const int low = std::max(hexDigitValue(hex[2 * i + 1]), 0);
    bytes[i] = static_cast<char>((high << 4) | low);
  }
  return bytes;
}
