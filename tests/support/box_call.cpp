#include "tests/support/box_call.h"

#include <boost/crc.hpp>
#include <stdexcept>

namespace {

void appendBigEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) {
    out.push_back(static_cast<char>((value >> shift) & 0xFF));
  }
}

// `text` followed by zero bytes up to `width`.
std::string padded(std::string_view text, std::size_t width) {
  std::string field(text);
  field.resize(width, '\0');
  return field;
}

}  // namespace

std::string BoxCall::loginStream() {
  using namespace std::string_literals;
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

std::string BoxCall::frame(std::uint32_t fbs, std::uint32_t sbs, std::uint8_t opcode,
                           std::string_view payload) {
  std::string f(1, '\0');
  f.append(kConId);
  appendBigEndian(f, fbs, 4);
  appendBigEndian(f, sbs, 4);
  appendBigEndian(f, 0, 2);
  f.push_back(static_cast<char>(opcode));
  f.append(payload);
  boost::crc_optimal<16, 0x1021, 0xFFFF, 0xFFFF, false, false> check;
  check.process_bytes(f.data(), f.size());
  appendBigEndian(f, check.checksum(), 2);
  // Nothing escapes 10 03 on the line, so a frame that holds it would be cut there.
  if (f.find("\x10\x03") != std::string::npos) {
    throw std::logic_error("box frame holds 10 03 before its end marker");
  }
  f.append("\x10\x03");
  return f;
}

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
