#include "engine_fixture.h"

namespace engine_test {
namespace {

using FrameExtraction = EngineTest;

// Opcode 80 from the box 1234: FBS 00000005, SBS 00000002, RCW 0000, no payload; 18 bytes.
const std::string kFrame = DecodeHex("0012340000000500000002000080AA9D1003");

// The log of kFrame found at the given digit positions.
std::string found(const std::string& start, const std::string& end) {
  return "\rFound Startpoint at : " + start + "\rFound Endpoint at : " + end +
         "\rFBS = 00000005\rSBS = 00000002\rRCW = 0000\rOPC = 80\rPAY = AA9D1003";
}

TEST_F(FrameExtraction, AnEventTakesAtMostOneWholeFrameAndNoneWhileBusy) {
  engine.state = Online;
  engine.RemoteConId = "1234";
  const auto event = [&](const std::string& bytes) {
    clearLog();
    engine.BlackHole.clear();
    engine.LastRcv.clear();
    engine.ReceiveBuffer = "AA";
    serial.receive(bytes);
  };
  // A reply to kFrame takes its FBS, not its SBS, and acknowledges it with one byte received.
  const auto expectAnswered = [&](bool answered) {
    EXPECT_EQ(engine.LastRcv, answered ? "00000005" : "");
    EXPECT_EQ(EncodeHex(serial.takeWritten()),
              answered ? "001FFA00000000000000020000C086041003" : "");
  };
  const struct {
    const char* name;
    std::string input;
    std::size_t consumed;  // bytes taken into BlackHole
    bool answered;
    std::string log;
  } cases[] = {
      {"junk before, the next frame begun", "\r\n" + kFrame + DecodeHex("0012340000"), 20, true,
       found("5", "38")},
      {"two frames", kFrame + kFrame, 18, true, found("1", "34")},
      {"an end-marker tail before the frame", DecodeHex("AABB1003") + kFrame, 4, false,
       "\rFound Startpoint at : 9\rFound Endpoint at : 6\rAttempted to strip out Bunk start data"},
      {"opcode 82, dropped", DecodeHex("001234000000050000000200008201023F421003"), 20, false,
       "\rFound Startpoint at : 1\rFound Endpoint at : 38\rFBS = 00000005\rSBS = 00000002"
       "\rRCW = 0000\rOPC = 82\rPAY = 01023F421003\rDiscarded an 82 packet"},
      {"no start key", "OK\r\n" + DecodeHex("0055550000001003"), 0, false,
       "\rNo startpoint - Wait for data (State 4)"},
      {"no end marker yet", kFrame.substr(0, 10), 0, false,
       "\rFound Startpoint at : 1\rNo endpoint - Wait for data (State 4)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    serial.ReadAll();
    event(c.input);
    EXPECT_EQ(engine.logger.text, c.log);
    EXPECT_EQ(engine.BlackHole, c.input.substr(0, c.consumed));
    EXPECT_EQ(serial.LookAhead(), c.input.substr(c.consumed));
    expectAnswered(c.answered);
    EXPECT_FALSE(engine.Busy);
  }
  // The rest of the frame begun in the last row completes it.
  event(kFrame.substr(10));
  EXPECT_EQ(engine.logger.text, found("1", "34"));
  expectAnswered(true);

  // While busy an event only refreshes the hex view; the next one after the busy timer takes it.
  engine.Busy = true;
  event("\r\n" + kFrame);
  EXPECT_EQ(engine.hexlog.text, "0D0A0012340000000500000002000080AA9D1003");
  EXPECT_EQ(serial.LookAhead(), "\r\n" + kFrame);
  expectAnswered(false);
  EXPECT_TRUE(engine.Busy);
  engine.tmrBusy_Action();
  event("");
  expectAnswered(true);
}

}  // namespace
}  // namespace engine_test
