#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "connection/override_text.h"
#include "engine_fixture.h"

namespace engine_test {
namespace {

using SendQueue = EngineTest;

TEST_F(SendQueue, ATickedOverrideSendsTheCheckedText) {
  engine.overrideBox.state = 1;
  engine.overrideText.text = "0a 1b\r\n2c";
  engine.BuildSendQue();
  EXPECT_TRUE(engine.DoneBuildingSendQue);
  EXPECT_TRUE(engine.SendingData);
  EXPECT_EQ(EncodeHex(serial.takeWritten()), sealed("001FFA00000000000000000400400A1B2C"));
  EXPECT_EQ(engine.SentBuffer, "0A1B2C");
  EXPECT_EQ(engine.SendBuffer, "");
}

TEST_F(SendQueue, AnOverrideThatIsNotWholeBytesOfHexSendsNothing) {
  struct Case {
    std::string typed;
    bool logged;  // an empty override is no mistake: it simply sends nothing
  };
  const Case cases[] = {{"0A1", true}, {"0A 1G", true}, {"", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE("override \"" + c.typed + "\"");
    clearLog();
    engine.DoneBuildingSendQue = false;
    engine.SendBuffer = "FFFF";  // left by an earlier call
    engine.overrideBox.state = 1;
    engine.overrideText.text = c.typed;

    engine.BuildSendQue();
    std::string problem;
    checkOverrideText(c.typed, problem);
    EXPECT_EQ(logLines(), c.logged ? std::vector<std::string>{"Override SendQ not sent: " + problem}
                                   : std::vector<std::string>{});
    EXPECT_EQ(serial.takeWritten(), "");
    EXPECT_EQ(engine.SendBuffer, "");
    EXPECT_TRUE(engine.SendingData);
    EXPECT_TRUE(engine.DontDo);
  }
}

TEST_F(SendQueue, WithoutTheOverrideThePatchIsSent) {
  engine.overrideText.text = "0102";
  engine.BuildSendQue();
  EXPECT_EQ(EncodeHex(serial.takeWritten()),
            sealed("001FFA0000000000000000040040" + engine.ssf2jpatch.substr(0, 2046)));
  EXPECT_EQ(engine.SendBuffer, engine.ssf2jpatch.substr(2046));
}

// One call: the box sends its login in an opcode 40 frame, then repeats an opcode 80 frame.
struct CallCase {
  std::string login;
  std::vector<std::string> decoded;
};

TEST_F(SendQueue, EachCallDecodesItsOwnLoginFromTheFirstDigit) {
  const CallCase calls[] = {
      {"1F414243440E03", {"System : ", "ABCD", "Challenge Connect"}},
      {"1F5758595A0E04", {"System : ", "WXYZ", "Mail Only Connect"}},
  };
  for (const CallCase& call : calls) {
    SCOPED_TRACE("login " + call.login);
    dialIn();
    serial.receive(boxFrame("40", call.login));
    EXPECT_EQ(EncodeHex(serial.takeWritten()), sealed("001FFA00000000000000080000C0"));
    serial.receive(boxFrame("80", "", "00000001"));
    EXPECT_EQ(EncodeHex(serial.takeWritten()), sealed("001FFA00000000000000080000C0"));
    EXPECT_FALSE(engine.DoneBuildingSendQue);

    clearLog();
    serial.receive(boxFrame("80", "", "00000001"));
    const std::vector<std::string> log = logLines();
    ASSERT_EQ(log.size(), 11u);
    EXPECT_EQ(std::vector<std::string>(log.begin() + 7, log.begin() + 10), call.decoded);
    EXPECT_EQ(engine.Location, 15);
    const std::string frame =
        sealed("001FFA0000000000000008040040" + engine.ssf2jpatch.substr(0, 2046));
    EXPECT_EQ(log.back(), "SENT : " + frame);
    EXPECT_EQ(EncodeHex(serial.takeWritten()), frame);
    EXPECT_EQ(engine.PacketHistory.size(), 1u);

    serial.receive("NO CARRIER\r\n");
    ASSERT_EQ(engine.state, Idle);
    EXPECT_EQ(engine.Location, 1);
    serial.takeWritten();
  }
}

}  // namespace
}  // namespace engine_test
