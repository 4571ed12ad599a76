#include "engine_fixture.h"

namespace engine_test {
namespace {

using DataSender = EngineTest;
using SendQueue = EngineTest;

TEST_F(DataSender, AShortCheckRebuildsTheFrameWithRcw0398) {
  // 0400 gives the check E4C; the rebuilt frame's check 8EF9 is used.
  const std::string frame = "001FFA0000000000000000039840078EF91003";
  engine.SendBuffer = "07";
  engine.SendPatch();
  EXPECT_EQ(EncodeHex(serial.takeWritten()), frame);
  EXPECT_EQ(engine.logger.text, "\rWe had a CRC issue... Rolling up\rSENT : " + frame);
  EXPECT_EQ(engine.SentBuffer, "07");  // a first chunk shorter than 2,046 digits is whole
  // The rebuilt check 5C4 is short as well: padded, not retried again.
  engine.SentBuffer.clear();
  engine.SendBuffer = "002C002C002C002C002C002C";
  engine.SendPatch();
  EXPECT_EQ(EncodeHex(serial.takeWritten()),
            "001FFA0000000000000000039840002C002C002C002C002C002C05C41003");
}

TEST_F(SendQueue, ATickedOverrideIsSentOnlyWhenItIsWholeBytesOfHex) {
  // Nothing is stuffed on this line: the 10 03 inside the chunk goes out as it is.
  const std::string frame = "001FFA00000000000000000400400A10032CAA9B1003";
  const struct {
    std::string typed, written, log;
  } cases[] = {
      {"0a 10\r\n03 2c", frame, "\rSENT : " + frame},
      {"0A1", "", "\rOverride SendQ not sent: 3 hex digits do not make whole bytes"},
      {"0A 1G", "", "\rOverride SendQ not sent: 'G' at position 5 is not a hex digit"},
      {"", "", ""},  // an empty override is no mistake: it simply sends nothing
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("override \"" + c.typed + "\"");
    clearLog();
    engine.SendBuffer = "FFFF";  // left by an earlier call
    engine.overrideBox.state = 1;
    engine.overrideText.text = c.typed;
    engine.BuildSendQue();
    EXPECT_EQ(EncodeHex(serial.takeWritten()), c.written);
    EXPECT_EQ(engine.logger.text, c.log);
    EXPECT_EQ(engine.DontDo, c.written.empty());
    EXPECT_TRUE(engine.DoneBuildingSendQue && engine.SendingData);
  }
}

TEST_F(SendQueue, WithoutTheOverrideTheLoginIsLoggedAndThePatchSent) {
  engine.overrideText.text = "0102";
  engine.ReceiveBuffer = "1F414243440E03";
  engine.BuildSendQue();
  const std::string frame =
      sealed("001FFA0000000000000008040040" + engine.ssf2jpatch.substr(0, 2046));
  EXPECT_EQ(logLines(), (std::vector<std::string>{"System : ", "ABCD", "Challenge Connect",
                                                  "SENT : " + frame}));
  EXPECT_EQ(engine.Location, 15);
}

}  // namespace
}  // namespace engine_test
