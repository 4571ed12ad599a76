#include "framing/crc.h"

#include <array>

#include "framing/hex.h"

namespace {

constexpr std::array<std::uint16_t, 256> makeTable() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned crc = i << 8;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1;
    table[i] = static_cast<std::uint16_t>(crc);
  }
  return table;
}

constexpr auto kTable = makeTable();

}  // namespace

std::uint16_t ccitt_updcrc1(std::uint16_t crc, std::uint8_t byte) {
  return static_cast<std::uint16_t>((crc << 8) ^ kTable[((crc >> 8) ^ byte) & 0xFF]);
}

std::uint16_t frameCheck(std::string_view bytes) {
  std::uint16_t crc = 0xFFFF;
  for (unsigned char byte : bytes) crc = ccitt_updcrc1(crc, byte);
  return static_cast<std::uint16_t>(crc ^ 0xFFFF);
}

std::string CalculateCRC(std::string_view hexText) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  unsigned value = frameCheck(DecodeHex(hexText));
  std::string text;
  do {
    text.insert(text.begin(), kDigits[value & 0x0F]);
    value >>= 4;
  } while (value != 0);
  return text;
}

std::string sealFrame(std::string_view text, std::string_view checkText) {
  std::string frame;
  frame.reserve(text.size() + 8);
  frame.append(text);
  frame.append(checkText.size() < 4 ? 4 - checkText.size() : 0, '0');
  frame.append(checkText);
  frame.append("1003");
  return frame;
}
