#pragma once

#include <string>
#include <vector>

// One whole call as the modem and a box play it, as the data events the engine sees, from Idle
// back to Idle: modem texts and "CONNECT", the box's first frame, its acknowledgement of the
// handshake, a login stream that the engine decodes into 40 log lines, an opcode 88 frame, the
// opcode 80 frames that draw the four data frames of the built-in patch, and "NO CARRIER".
// The box's frames carry checks from Boost.CRC, not from the engine's code.
// Used by the benchmarks and to walk the fuzzed engine into each state.
struct BoxCall {
  BoxCall();

  std::vector<std::string> events;
  static constexpr int kLoginLines = 40;  // log lines that decoding the login stream adds
  static constexpr int kDataFrames = 4;   // data frames of the 6,610 hex digits of the patch
};
