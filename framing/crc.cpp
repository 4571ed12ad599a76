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

// kSlices[k][x]: the register after the byte x followed by k zero bytes, so that eight bytes go
// through in one step of eight lookups.
constexpr std::array<std::array<std::uint16_t, 256>, 8> makeSlices() {
  std::array<std::array<std::uint16_t, 256>, 8> slices{};
  slices[0] = kTable;
  for (std::size_t k = 1; k < 8; ++k) {
    for (unsigned x = 0; x < 256; ++x) {
      const std::uint16_t before = slices[k - 1][x];
      slices[k][x] = static_cast<std::uint16_t>((before << 8) ^ slices[0][before >> 8]);
    }
  }
  return slices;
}

constexpr auto kSlices = makeSlices();

}  // namespace

std::uint16_t ccitt_updcrc1(std::uint16_t crc, std::uint8_t byte) {
  return static_cast<std::uint16_t>((crc << 8) ^ kTable[((crc >> 8) ^ byte) & 0xFF]);
}

std::uint16_t frameCheck(std::string_view bytes) {
  std::uint16_t crc = 0xFFFF;
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t left = bytes.size();
  for (; left >= 8; left -= 8, in += 8) {
    crc = static_cast<std::uint16_t>(
        kSlices[7][(crc >> 8) ^ in[0]] ^ kSlices[6][(crc & 0xFF) ^ in[1]] ^ kSlices[5][in[2]] ^
        kSlices[4][in[3]] ^ kSlices[3][in[4]] ^ kSlices[2][in[5]] ^ kSlices[1][in[6]] ^
        kSlices[0][in[7]]);
  }
  for (; left > 0; --left) crc = ccitt_updcrc1(crc, *in++);
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
