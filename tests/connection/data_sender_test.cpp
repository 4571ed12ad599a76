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
  const std::string refused = "\rOverride SendQ not sent: ";
  const struct {
    std::string typed, written, log;
  } cases[] = {
      {"0a\t10\r\n03 2c", frame, "\rSENT : " + frame},
      {" \r\n\t", "", ""},  // an empty override is no mistake: it simply sends nothing
      // Positions count every character typed, blanks included.
      {"0A 1G", "", refused + "'G' at position 5 is not a hex digit"},
      {"12\u00E4\u00E4", "", refused + "'\u00E4' at position 3 is not a hex digit"},
      {std::string("12\00034", 5), "",
       refused + "control character 0x00 at position 3 is not a hex digit"},
      {"12\v", "", refused + "control character 0x0B at position 3 is not a hex digit"},
      {"\x7F", "", refused + "control character 0x7F at position 1 is not a hex digit"},
      {"12 34\r\n5", "", refused + "5 hex digits do not make whole bytes"},
      {"a", "", refused + "1 hex digit does not make a whole byte"},
      // The first offending character is named even when the digit count is odd too.
      {"123Z", "", refused + "'Z' at position 4 is not a hex digit"},
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
