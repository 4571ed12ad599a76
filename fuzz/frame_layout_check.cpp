#include "fuzz/frame_layout_check.h"

#include <algorithm>
#include <array>
#include <boost/crc.hpp>
#include <cstdint>

#include "framing/hex.h"

namespace {

constexpr std::array<std::string_view, 4> kModemCommands = {"AT&F\r", "ATS0=2\r", "AT+VCID=1\r",
                                                            "\r"};
constexpr std::size_t kHeader = 14;  // lead byte through opcode
constexpr std::size_t kMaxPayload = 1023;

std::uint16_t bigEndian(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) << 8 |
                                    static_cast<unsigned char>(bytes[at + 1]));
}

using FrameCheck = boost::crc_optimal<16, 0x1021, 0xFFFF, 0xFFFF, false, false>;

// The payload length of the frame at the start of `rest` that ends in a right check and 10 03,
// trying lengths from `least` to `most`; -1 when there is none. The check register runs along
// the payload, so trying every length costs one pass.
long sealedPayload(std::string_view rest, std::size_t least, std::size_t most) {
  FrameCheck check;
  check.process_bytes(rest.data(), kHeader);
  for (std::size_t payload = 0; payload <= most && kHeader + payload + 4 <= rest.size();
       ++payload) {
    const std::size_t end = kHeader + payload;
    if (payload >= least && bigEndian(rest, end) == check.checksum() &&
        rest.substr(end + 2, 2) == "\x10\x03") {
      return static_cast<long>(payload);
    }
    check.process_byte(static_cast<unsigned char>(rest[end]));
  }
  return -1;
}

// The length of the frame at the start of `rest`, or 0 when it is not one the server sends.
std::size_t frameLength(std::string_view rest, std::string& problem) {
  if (rest.size() < kHeader || rest.substr(0, 3) != std::string_view("\x00\x1F\xFA", 3)) {
    problem = "not a server frame";
    return 0;
  }
  const std::uint16_t rcw = bigEndian(rest, 11);
  const auto opcode = static_cast<unsigned char>(rest[13]);
  switch (opcode) {
    case 0x86:
      if (rcw == 0x0000) return kHeader;
      break;
    case 0x83:
      if ((rcw == 0x0800 || rcw == 0x0798) && sealedPayload(rest, 8, 8) == 8) return kHeader + 12;
      break;
    case 0xC0:
      if (rcw == 0x0000 && sealedPayload(rest, 0, 0) == 0) return kHeader + 4;
      break;
    case 0x40:
      if (rcw == 0x0400 || rcw == 0x0398) {
        if (const long payload = sealedPayload(rest, 0, kMaxPayload); payload >= 0) {
          return kHeader + static_cast<std::size_t>(payload) + 4;
        }
      }
      break;
  }
  problem = "opcode " + EncodeHex(rest.substr(13, 1)) + " with RCW " +
            EncodeHex(rest.substr(11, 2)) + " is not a whole frame with a right check";
  return 0;
}

}  // namespace

std::string frameLayoutProblem(std::string_view written) {
  std::size_t at = 0;
  while (at < written.size()) {
    const std::string_view rest = written.substr(at);
    const auto command = std::find_if(kModemCommands.begin(), kModemCommands.end(),
                                      [&](std::string_view c) { return rest.starts_with(c); });
    std::string problem;
    const std::size_t length =
        command != kModemCommands.end() ? command->size() : frameLength(rest, problem);
    if (length == 0) {
      return "at byte " + std::to_string(at) + ": " + problem + ": " +
             EncodeHex(rest.substr(0, 48));
    }
    at += length;
  }
  return {};
}
