#include "engine_fixture.h"

namespace engine_test {
namespace {

using SendQueue = EngineTest;

struct OverrideCase {
  std::string typed;
  std::string written;  // hex text
  std::string log;
};

TEST_F(SendQueue, ATickedOverrideIsSentOnlyWhenItIsWholeBytesOfHex) {
  // Nothing is stuffed on this line: the 10 03 inside the chunk goes out as it is.
  const std::string frame = "001FFA00000000000000000400400A10032CAA9B1003";
  const OverrideCase cases[] = {
      {"0a 10\r\n03 2c", frame, "\rSENT : " + frame},
      {"0A1", "", "\rOverride SendQ not sent: 3 hex digits do not make whole bytes"},
      {"0A 1G", "", "\rOverride SendQ not sent: 'G' at position 5 is not a hex digit"},
      {"", "", ""},  // an empty override is no mistake: it simply sends nothing
  };
  for (const OverrideCase& c : cases) {
    SCOPED_TRACE("override \"" + c.typed + "\"");
    clearLog();
    engine.SendBuffer = "FFFF";  // left by an earlier call
    engine.overrideBox.state = 1;
    engine.overrideText.text = c.typed;
    engine.BuildSendQue();
    EXPECT_EQ(EncodeHex(serial.takeWritten()), c.written);
    EXPECT_EQ(engine.logger.text, c.log);
    EXPECT_EQ(engine.DontDo, c.written.empty());
    EXPECT_TRUE(engine.DoneBuildingSendQue);
    EXPECT_TRUE(engine.SendingData);
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
