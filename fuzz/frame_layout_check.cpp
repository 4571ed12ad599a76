#include "fuzz/frame_layout_check.h"

#include <algorithm>
#include <boost/crc.hpp>
#include <cstdint>

#include "framing/hex.h"

namespace {

constexpr std::string_view kModemCommands[] = {"AT&F\r", "ATS0=2\r", "AT+VCID=1\r", "\r"};
constexpr std::size_t kHeader = 14;  // lead byte through opcode

// The frames the server sends, by RCW and opcode, with the least and most payload bytes before
// their check and 10 03; the 86 reply has neither and ends at its opcode.
struct FrameKind {
  std::string_view rcwAndOpcode;
  std::size_t least, most;
  bool sealed = true;
};
constexpr FrameKind kFrameKinds[] = {{"000086", 0, 0, false}, {"080083", 8, 8},
                                     {"079883", 8, 8},        {"0000C0", 0, 0},
                                     {"040040", 0, 1023},     {"039840", 0, 1023}};

std::uint16_t bigEndian(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) << 8 |
                                    static_cast<unsigned char>(bytes[at + 1]));
}

// The length of the frame of `kind` at the start of `rest` that ends in a right check and 10 03,
// or 0. The check register runs along the payload, so trying every length costs one pass.
std::size_t sealedLength(std::string_view rest, const FrameKind& kind) {
  boost::crc_optimal<16, 0x1021, 0xFFFF, 0xFFFF, false, false> check;
  check.process_bytes(rest.data(), kHeader);
  for (std::size_t end = kHeader; end <= kHeader + kind.most && end + 4 <= rest.size(); ++end) {
    if (end >= kHeader + kind.least && bigEndian(rest, end) == check.checksum() &&
        rest.substr(end + 2, 2) == "\x10\x03") {
      return end + 4;
    }
    check.process_byte(static_cast<unsigned char>(rest[end]));
  }
  return 0;
}

// The length of the frame at the start of `rest`, or 0 when it is not one the server sends.
std::size_t frameLength(std::string_view rest) {
  if (rest.size() < kHeader || !rest.starts_with(std::string_view("\x00\x1F\xFA", 3))) return 0;
  const std::string rcwAndOpcode = EncodeHex(rest.substr(11, 3));
  for (const FrameKind& kind : kFrameKinds) {
    if (kind.rcwAndOpcode == rcwAndOpcode) return kind.sealed ? sealedLength(rest, kind) : kHeader;
  }
  return 0;
}

}  // namespace

std::string frameLayoutProblem(std::string_view written) {
  for (std::size_t at = 0; at < written.size();) {
    const std::string_view rest = written.substr(at);
    const auto command = std::find_if(std::begin(kModemCommands), std::end(kModemCommands),
                                      [&](std::string_view c) { return rest.starts_with(c); });
    const std::size_t length =
        command != std::end(kModemCommands) ? command->size() : frameLength(rest);
    if (length == 0) {
      return "at byte " + std::to_string(at) +
             ", neither a modem command nor a whole server frame with a right check: " +
             EncodeHex(rest.substr(0, 48));
    }
    at += length;
  }
  return {};
}
