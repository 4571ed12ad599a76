#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_fixture.h"

namespace engine_test {
namespace {

// FBS 00000005, SBS 00000002, RCW 0000, OPC C0, no payload; 18 bytes.
const std::string kFrame = DecodeHex("00123400000005000000020000C0E2591003");

const std::vector<std::string> kFieldLines = {"FBS = 00000005", "SBS = 00000002", "RCW = 0000",
                                              "OPC = C0", "PAY = E2591003"};

std::vector<std::string> lines(std::vector<std::string> head,
                               const std::vector<std::string>& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

class FrameExtraction : public EngineTest {
 protected:
  void SetUp() override { online(); }

  // One data event, after clearing the log, the written bytes and BlackHole.
  void event(const std::string& bytes) {
    clearLog();
    serial.takeWritten();
    engine.BlackHole.clear();
    serial.receive(bytes);
  }

  // A reply was made exactly when RespondToPacket ran: every C0 frame raises C0Count.
  bool answered(int before) const { return engine.C0Count == before + 1; }
};

struct OneEventCase {
  const char* name;
  std::string input;
  std::vector<std::string> log;
  std::string consumed;
  bool answered;
};

TEST_F(FrameExtraction, OneEventTakesAtMostOneFrame) {
  const std::string next = DecodeHex("0012340000");
  const std::string tail = DecodeHex("AABB1003");
  const OneEventCase cases[] = {
      {"a whole frame", kFrame,
       lines({"Found Startpoint at : 1", "Found Endpoint at : 34"}, kFieldLines), kFrame, true},
      {"junk before the frame", "\r\n" + kFrame,
       lines({"Found Startpoint at : 5", "Found Endpoint at : 38"}, kFieldLines), "\r\n" + kFrame,
       true},
      {"junk before, the next frame begun", "\r\n" + kFrame + next,
       lines({"Found Startpoint at : 5", "Found Endpoint at : 38"}, kFieldLines), "\r\n" + kFrame,
       true},
      {"one junk byte", "\r" + kFrame,
       lines({"Found Startpoint at : 3", "Found Endpoint at : 36"}, kFieldLines), "\r" + kFrame,
       true},
      {"two frames", kFrame + kFrame,
       lines({"Found Startpoint at : 1", "Found Endpoint at : 34"}, kFieldLines), kFrame, true},
      {"an end-marker tail before the frame",
       tail + kFrame,
       {"Found Startpoint at : 9", "Found Endpoint at : 6",
        "Attempted to strip out Bunk start data"},
       tail,
       false},
      {"no start key",
       "OK\r\n" + DecodeHex("0055550000001003"),
       {"No startpoint - Wait for data (State 4)"},
       "",
       false},
      {"no end marker yet",
       kFrame.substr(0, 10),
       {"Found Startpoint at : 1", "No endpoint - Wait for data (State 4)"},
       "",
       false},
  };
  for (const OneEventCase& c : cases) {
    SCOPED_TRACE(c.name);
    serial.ReadAll();
    engine.ReceiveBuffer = "AA";  // no acknowledgement, so a reply writes nothing
    const int c0Before = engine.C0Count;
    event(c.input);
    EXPECT_EQ(logLines(), c.log);
    EXPECT_EQ(engine.BlackHole, c.consumed);
    EXPECT_EQ(serial.LookAhead(), c.input.substr(c.consumed.size()));
    EXPECT_EQ(answered(c0Before), c.answered);
    EXPECT_FALSE(engine.Busy);
    EXPECT_EQ(serial.written, "");
  }
}

TEST_F(FrameExtraction, AFrameSplitAcrossTwoEventsIsTakenWhenWhole) {
  event(kFrame.substr(0, 10));
  EXPECT_EQ(logLines(), (std::vector<std::string>{"Found Startpoint at : 1",
                                                  "No endpoint - Wait for data (State 4)"}));
  EXPECT_EQ(serial.LookAhead().size(), 10u);
  event(kFrame.substr(10));
  EXPECT_EQ(logLines(), lines({"Found Startpoint at : 1", "Found Endpoint at : 34"}, kFieldLines));
  EXPECT_EQ(serial.LookAhead(), "");
  EXPECT_EQ(engine.C0Count, 1);
}

TEST_F(FrameExtraction, TheFrameBehindAStrippedTailIsTakenAtTheNextEvent) {
  event(DecodeHex("AABB1003") + kFrame);
  EXPECT_EQ(serial.LookAhead(), kFrame);
  EXPECT_EQ(engine.C0Count, 0);
  event("");
  EXPECT_EQ(logLines(), lines({"Found Startpoint at : 1", "Found Endpoint at : 34"}, kFieldLines));
  EXPECT_EQ(serial.LookAhead(), "");
  EXPECT_EQ(engine.C0Count, 1);
}

TEST_F(FrameExtraction, Opcode82IsConsumedAndDropped) {
  const std::string frame = boxFrame("82", "0102");
  event(frame);
  const std::vector<std::string> log = logLines();
  ASSERT_EQ(log.size(), 8u);
  EXPECT_EQ(log[5], "OPC = 82");
  EXPECT_EQ(log[7], "Discarded an 82 packet");
  EXPECT_EQ(engine.BlackHole, frame);
  EXPECT_EQ(serial.LookAhead(), "");
  // No reply: a first frame would have been acknowledged and its payload kept.
  EXPECT_EQ(serial.written, "");
  EXPECT_EQ(engine.ReceiveBuffer, "");
  EXPECT_FALSE(engine.Busy);
}

TEST_F(FrameExtraction, WhileBusyAnEventOnlyRefreshesTheHexView) {
  engine.Busy = true;
  event("\r\n" + kFrame);
  EXPECT_EQ(engine.hexlog.text, EncodeHex("\r\n" + kFrame));
  EXPECT_EQ(engine.logger.text, "");
  EXPECT_EQ(serial.LookAhead(), "\r\n" + kFrame);
  EXPECT_EQ(serial.written, "");
  EXPECT_TRUE(engine.Busy);

  engine.tmrBusy_Action();
  EXPECT_FALSE(engine.Busy);
  event("");
  EXPECT_EQ(serial.LookAhead(), "");
  EXPECT_EQ(engine.C0Count, 1);
}

}  // namespace
}  // namespace engine_test
