#include "fuzz/frame_layout_check.h"

#include <gtest/gtest.h>

#include "framing/crc.h"
#include "framing/hex.h"

namespace {

// A data frame from the server with `payloadHex`, its check from the project's own code.
std::string dataFrame(const std::string& payloadHex) {
  const std::string text = "001FFA0000000000000000040040" + payloadHex;
  return DecodeHex(sealFrame(text, CalculateCRC(text)));
}

TEST(FrameLayoutCheck, AcceptsWhatTheServerWritesAndNothingElse) {
  const std::string handshake = DecodeHex("001FFA00000000000000000800830100123400000000F74B1003");
  const std::string reply86 = DecodeHex("001FFA0000000000000000000086");
  const std::string ack = DecodeHex("001FFA00000000000000000000C06B6C1003");
  const struct {
    const char* name;
    std::string written;
    bool accepted;
  } cases[] = {
      {"modem commands", "AT&F\rATS0=2\r\rAT+VCID=1\r", true},
      {"a call's worth", "\r" + handshake + reply86 + dataFrame("0102") + ack + "AT+VCID=1\r",
       true},
      {"padded check", DecodeHex("001FFA000000000000000A0000C003C71003"), true},
      {"handshake retried", DecodeHex("001FFA00000000000000000798830100000300000000BC6F1003"),
       true},
      {"data frame holding 10 03", dataFrame("AA1003BB"), true},
      {"full data frame", dataFrame(std::string(2046, 'E')), true},
      {"modem answer text", "OK\r", false},
      {"command without its carriage return", "ATS0=2", false},
      {"wrong check", DecodeHex("001FFA00000000000000000000C06B6D1003"), false},
      {"check without end marker", ack.substr(0, 16), false},
      {"check and 10 04", DecodeHex("001FFA00000000000000000000C06B6C1004"), false},
      {"cut short", ack.substr(0, 9), false},
      {"box's id in ADR", DecodeHex("0012340000000000000000000086"), false},
      {"C0 with RCW 0800", DecodeHex("001FFA00000000000000000800C0"), false},
      {"opcode 80", DecodeHex("001FFA00000000000000000800804B3C1003"), false},
      {"data frame over 1023 bytes", dataFrame(std::string(2048, 'E')), false},
      {"half a data frame", dataFrame("01020304").substr(0, 20), false},
      {"a stray byte after a frame", reply86 + std::string(1, '\0'), false},
  };
  for (const auto& c : cases) {
    const std::string problem = frameLayoutProblem(c.written);
    EXPECT_EQ(problem.empty(), c.accepted) << c.name << ": " << problem;
  }
}

}  // namespace
