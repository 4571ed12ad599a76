#include "tests/support/box_call.h"

#include <boost/crc.hpp>
#include <cstdint>
#include <string_view>

namespace {

void appendBigEndian(std::string& out, std::uint32_t value, int bytes) {
  while (bytes-- > 0) out.push_back(static_cast<char>(value >> (8 * bytes)));
}

// The six login messages (1F, 0B, 0C, 0F, 0E with connect type 03, 10): 151 bytes.
std::string loginStream() {
  using namespace std::string_literals;
  const auto padded = [](std::string text, std::size_t width) {
    text.resize(width, '\0');
    return text;
  };
  std::string s;
  s += "\x1F"s + "BOX1";
  s += "\x0B"s;
  s += "\x00\x01\x80\x00"s;  // OS Free
  s += "\x00\x00\x40\x00"s;  // DB Free
  s += "\x00\x00\x00\x01"s;  // Misc Flags
  s += "\x00\x00\x00\x02"s;  // Last Box State
  s += padded("2065550147", 26);
  s += "\x00\x00\x00\x01"s;  // Region
  s += "\x00\x05\xA1\x77"s;  // Serial
  s += "\x01\x02\x05"s;      // User Slot, Color, Icon
  s += padded("RIVERTON", 34);
  s += padded("PLAYER ONE", 34);
  s += "\x0C"s + "GM01" + "\x00\x00\x00\x01"s;       // Game ID, Patch Version
  s += "\x0F"s + "\x00\x02"s + "\x00\x00\x00\x05"s;  // System Version
  s += "\x0E\x03"s;                                  // Challenge Connect
  s += "\x10"s + "\x00\x00\x00\x07"s + "\x05"s;      // NGP version, games
  return s;
}

// One frame from the box with the id 1234: 00, the id, FBS, SBS, RCW 0000, the opcode, the
// payload, the check and 10 03.
std::string frame(std::uint32_t fbs, std::uint32_t sbs, std::uint8_t opcode,
                  std::string_view payload = {}) {
  std::string f("\x00\x12\x34", 3);
  appendBigEndian(f, fbs, 4);
  appendBigEndian(f, sbs, 4);
  appendBigEndian(f, 0, 2);
  f.push_back(static_cast<char>(opcode));
  f.append(payload);
  boost::crc_optimal<16, 0x1021, 0xFFFF, 0xFFFF, false, false> check;
  check.process_bytes(f.data(), f.size());
  appendBigEndian(f, check.checksum(), 2);
  return f + "\x10\x03";
}

}  // namespace

BoxCall::BoxCall() {
  const std::string login = loginStream();
  const std::string loginFrameA = frame(0x00, 0x00, 0x40, std::string_view(login).substr(0, 75));
  const std::string loginFrameB = frame(0x4C, 0x00, 0x40, std::string_view(login).substr(75));
  const std::string firstFrame =
      frame(0, 0, 0x83, std::string("\x01\x00\x00\x00\x00\x00\x00\x00", 8));
  events = {
      "\r\nOK\r\n",
      "\r\nRING\r\n",
      "\r\nRING\r\n",
      "\r\nCONNECT 2400\r\n",
      firstFrame,  // its second and third bytes become the id
      firstFrame,  // sent again while the box waits for the handshake
      frame(0, 0, 0xC0),
      // The first login frame arrives in two pieces, as a slow line delivers it.
      loginFrameA.substr(0, 40),
      loginFrameA.substr(40),
      loginFrameB,
      frame(0x98, 0, 0x88),
      frame(0x98, 0, 0x80),
      frame(0x98, 0, 0x80),  // the same FBS again: the box's data is complete
      frame(0x99, 0x400, 0x80),
      frame(0x9A, 0x7FF, 0x80),
      frame(0x9B, 0xBFE, 0x80),
      frame(0x9C, 0xCEC, 0x80),  // the patch is used up: acknowledged only
      "\r\nNO CARRIER\r\n",
  };
}
