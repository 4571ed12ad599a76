#include "engine_fixture.h"

namespace engine_test {
namespace {

using DataSender = EngineTest;

TEST_F(DataSender, UploadsSsf2jpatchInFourFrames) {
  const std::string patch = engine.ssf2jpatch;
  engine.SendBuffer = patch;
  // The first chunk is recorded one digit short: each FBS is then the bytes sent before it.
  const std::string fbs[] = {"00000000", "000003FF", "000007FE", "00000BFD"};
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE("frame with FBS " + fbs[i]);
    engine.C0Count = 5;
    engine.SendPatch();
    const std::string frame =
        sealed("001FFA" + fbs[i] + "00000000040040" + patch.substr(2046 * i, 2046));
    EXPECT_EQ(EncodeHex(serial.takeWritten()), frame);
    EXPECT_EQ(engine.PacketHistory.at(i), frame);
    EXPECT_EQ(logLines().at(i), "SENT : " + frame);
    EXPECT_EQ(engine.C0Count, 0);
    EXPECT_FALSE(engine.DontDo);
  }
  EXPECT_EQ(engine.SentBuffer, patch.substr(0, 2045) + patch.substr(2046));

  engine.SendPatch();
  EXPECT_EQ(serial.written, "");
  EXPECT_TRUE(engine.DontDo);
  EXPECT_EQ(logLines().size(), 4u);
}

struct ShortCheckCase {
  std::string queue;
  std::string frame;  // hex text written
};

TEST_F(DataSender, AShortCheckRebuildsTheFrameWithRcw0398) {
  const ShortCheckCase cases[] = {
      // 0400 gives the check E4C; the rebuilt frame's check 8EF9 is used.
      {"07", "001FFA0000000000000000039840078EF91003"},
      // The rebuilt check 5C4 is short as well: padded, not retried again.
      {"002C002C002C002C002C002C", "001FFA0000000000000000039840002C002C002C002C002C002C05C41003"},
  };
  for (const ShortCheckCase& c : cases) {
    SCOPED_TRACE("queue " + c.queue);
    clearLog();
    engine.SentBuffer.clear();
    engine.SendBuffer = c.queue;
    engine.SendPatch();
    EXPECT_EQ(EncodeHex(serial.takeWritten()), c.frame);
    EXPECT_EQ(engine.logger.text, "\rWe had a CRC issue... Rolling up\rSENT : " + c.frame);
    // A first chunk shorter than 2,046 digits is recorded whole.
    EXPECT_EQ(engine.SentBuffer, c.queue);
  }
}

}  // namespace
}  // namespace engine_test
