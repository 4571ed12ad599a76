#include "fuzz/frame_layout_check.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>

#include "framing/crc.h"
#include "framing/hex.h"

namespace {

// A data frame from the server with `payload` (hex text), its check from the project's own code.
std::string dataFrame(const std::string& payloadHex) {
  const std::string text = "001FFA0000000000000000040040" + payloadHex;
  return DecodeHex(sealFrame(text, CalculateCRC(text)));
}

struct Written {
  const char* name;
  std::string bytes;
};

void PrintTo(const Written& written, std::ostream* out) {
  *out << written.name;
}

std::string caseName(const testing::TestParamInfo<Written>& info) {
  std::string name = info.param.name;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

class WholeFrames : public testing::TestWithParam<Written> {};

TEST_P(WholeFrames, AreAccepted) {
  EXPECT_EQ(frameLayoutProblem(GetParam().bytes), "") << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    ServerOutput, WholeFrames,
    testing::Values(Written{"modem commands", "AT&F\rATS0=2\r\rAT+VCID=1\rATS0=2\r"},
                    Written{"C0 acknowledgement with empty buffers",
                            DecodeHex("001FFA00000000000000000000C06B6C1003")},
                    Written{"C0 acknowledgement with a padded three digit check",
                            DecodeHex("001FFA000000000000000A0000C003C71003")},
                    Written{"handshake 1234",
                            DecodeHex("001FFA00000000000000000800830100123400000000F74B1003")},
                    Written{"handshake 0003 after the retry",
                            DecodeHex("001FFA00000000000000000798830100000300000000BC6F1003")},
                    Written{"86 reply", DecodeHex("001FFA0000000000000000000086")},
                    Written{"data frame", dataFrame("0102030405")},
                    Written{"data frame holding 10 03", dataFrame("AA1003BB")},
                    Written{"full data frame", dataFrame(std::string(2046, 'E'))},
                    Written{"a call's worth in one write",
                            "\r" +
                                DecodeHex("001FFA00000000000000000800830100123400000000F74B1003") +
                                DecodeHex("001FFA0000000000000000000086") + dataFrame("0102") +
                                DecodeHex("001FFA00000000000000000000C06B6C1003") + "AT+VCID=1\r"}),
    caseName);

class BrokenOutput : public testing::TestWithParam<Written> {};

TEST_P(BrokenOutput, IsReported) {
  EXPECT_NE(frameLayoutProblem(GetParam().bytes), "") << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    ServerOutput, BrokenOutput,
    testing::Values(
        Written{"modem answer text", "OK\r"},
        Written{"command without its carriage return", "ATS0=2"},
        Written{"wrong check", DecodeHex("001FFA00000000000000000000C06B6D1003")},
        Written{"check without end marker", DecodeHex("001FFA00000000000000000000C06B6C")},
        Written{"cut short", DecodeHex("001FFA000000000000")},
        Written{"box's id in ADR", DecodeHex("0012340000000000000000000086")},
        Written{"C0 with RCW 0800", DecodeHex("001FFA00000000000000000800C0")},
        Written{"opcode 80 is never written", DecodeHex("001FFA00000000000000000800804B3C1003")},
        Written{"data frame over 1023 bytes", dataFrame(std::string(2048, 'E'))},
        Written{"half a data frame", dataFrame("01020304").substr(0, 20)},
        Written{"a stray byte after a whole frame",
                DecodeHex("001FFA0000000000000000000086") + std::string(1, '\x00')}),
    caseName);

}  // namespace
