#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The five hex-text fields of one received frame, in the order they are handed on.
struct PacketFields {
  std::string FBS;
  std::string SBS;
  std::string RCW;
  std::string OPC;
  std::string PAY;  // payload, then the frame's 4 check digits and "1003"
};

// What one look at the unread input finds. Positions are 1-based digit positions in the hex text
// of the input, as the operator log shows them.
struct FrameCut {
  enum class Kind { NoStart, NoEnd, Junk, Frame };
  Kind kind = Kind::NoStart;
  std::size_t S = 0;  // position of the start key
  std::size_t E = 0;  // position of the end marker plus one (the last digit of its byte 10)
  std::size_t N = 0;  // bytes to consume: from the start of the input through the marker's 03
  PacketFields fields;
};

// Looks for one frame in the unread bytes: the start key is the lead byte 00 and the two bytes of
// `remoteConId` (4 hex digits); the first bytes 10 03 anywhere in the input end it. Both are
// matched on byte boundaries only, so a marker that straddles two bytes (01 00 3F) ends nothing.
FrameCut cutFrame(std::string_view unread, std::string_view remoteConId);
