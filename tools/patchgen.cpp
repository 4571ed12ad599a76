// Writes the built-in patch texts under connection/patches/.
//
// A patch text is: byte 03, four id bytes, two big-endian 32-bit header numbers, the big-endian
// code length N, N code bytes, F zero bytes, and a closing byte 02 (SegMK2 has no fill and no
// closing byte). The code blocks we ship are filler: a xorshift32 stream seeded with the four id
// bytes, so every text is reproducible from this table alone. SegMK2's last code byte is 08.
//
// Usage: patchgen OUTPUT_DIR   (writes NAME.hex, 64 digits a line)

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct PatchLayout {
  const char* name;
  std::uint8_t id[4];
  std::uint32_t first;
  std::uint32_t second;
  std::uint32_t codeLength;
  std::uint32_t zeroFill;
  bool closingByte;
  int lastCodeByte;  // -1: whatever the filler gives
};

constexpr PatchLayout kLayouts[] = {
    {"NhlPatch", {0x12, 0x7E, 0x81, 0x81}, 9, 1, 1792, 236, true, -1},
    {"MarioKartPatch", {0x3D, 0x1C, 0x44, 0xEB}, 24, 3, 4637, 0, true, -1},
    {"SegMK2", {0xC4, 0xCD, 0xDF, 0x0C}, 31, 7, 3805, 0, false, 0x08},
    {"MK2Snes", {0xB1, 0x1F, 0x97, 0x2E}, 14, 1, 2397, 656, true, -1},
    {"NBAJam", {0xE3, 0x0C, 0x29, 0x6E}, 141, 5, 6068, 57, true, -1},
    {"ssf2jpatch", {0xD8, 0x22, 0x21, 0x03}, 7, 3, 3287, 0, true, -1},
};

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::vector<std::uint8_t> build(const PatchLayout& layout) {
  std::vector<std::uint8_t> bytes{0x03};
  bytes.insert(bytes.end(), layout.id, layout.id + 4);
  putBigEndian(bytes, layout.first);
  putBigEndian(bytes, layout.second);
  putBigEndian(bytes, layout.codeLength);
  std::uint32_t state = (std::uint32_t{layout.id[0]} << 24) | (std::uint32_t{layout.id[1]} << 16) |
                        (std::uint32_t{layout.id[2]} << 8) | layout.id[3];
  for (std::uint32_t i = 0; i < layout.codeLength; ++i) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    bytes.push_back(static_cast<std::uint8_t>(state >> 24));
  }
  if (layout.lastCodeByte >= 0) bytes.back() = static_cast<std::uint8_t>(layout.lastCodeByte);
  bytes.insert(bytes.end(), layout.zeroFill, 0x00);
  if (layout.closingByte) bytes.push_back(0x02);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: patchgen OUTPUT_DIR\n";
    return 2;
  }
  for (const auto& layout : kLayouts) {
    const std::string path = std::string(argv[1]) + "/" + layout.name + ".hex";
    std::ofstream out(path);
    const auto bytes = build(layout);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      char digits[3];
      std::snprintf(digits, sizeof digits, "%02X", bytes[i]);
      out << digits;
      if (i % 32 == 31 || i + 1 == bytes.size()) out << '\n';
    }
    if (!out) {
      std::cerr << "patchgen: cannot write " << path << "\n";
      return 1;
    }
  }
  return 0;
}
