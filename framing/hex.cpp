#include "framing/hex.h"

#include <algorithm>

namespace {
constexpr char kDigits[] = "0123456789ABCDEF";
}

int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
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

bool isHexText(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return hexDigitValue(c) >= 0; });
}
