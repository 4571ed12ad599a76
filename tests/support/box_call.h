#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One whole call as the modem and a box play it, as the data events the engine sees, from Idle
// back to Idle: modem texts and "CONNECT", the box's first frame, its acknowledgement of the
// handshake, a login stream that the engine decodes into 40 log lines, an opcode 88 frame, the
// opcode 80 frames that draw the four data frames of the built-in patch, and "NO CARRIER".
// Used by the benchmarks and to walk the fuzzed engine into each state.
class BoxCall {
 public:
  // The box's connection id.
  static constexpr std::string_view kConId = "\x12\x34";

  // The six login messages (1F, 0B, 0C, 0F, 0E with connect type 03, 10): 151 bytes.
  static std::string loginStream();

  // One frame from the box: 00, the id, FBS, SBS, RCW 0000, the opcode, the payload, the
  // check (Boost.CRC, not the engine's) and 10 03. Fails when 10 03 would end it early.
  static std::string frame(std::uint32_t fbs, std::uint32_t sbs, std::uint8_t opcode,
                           std::string_view payload = {});

  BoxCall();

  // The data events of the call, in order.
  std::vector<std::string> events;
  // Log lines that decoding `loginStream` adds.
  static constexpr int kLoginLines = 40;
  // Data frames the engine writes in the call: the patch is 6,610 hex digits.
  static constexpr int kDataFrames = 4;
};
