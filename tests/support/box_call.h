#pragma once

#include <string>
#include <vector>

// One whole call as the modem and a box play it, as the data events the engine sees, from Idle
// back to Idle. The box's checks were worked out with Boost.CRC, not with the engine's code.
// Used by the benchmarks and to walk the fuzzed engine into each state.
struct BoxCall {
  BoxCall();

  std::vector<std::string> events;
  static constexpr int kLoginLines = 40;  // log lines that decoding the login stream adds
  static constexpr int kDataFrames = 4;   // data frames of the 6,610 hex digits of the patch
};
