#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_fixture.h"

namespace engine_test {
namespace {

using StateMachine = EngineTest;

struct HandshakeCase {
  std::string id;
  std::string frame;  // hex text of the bytes written
  std::vector<std::string> log;
};

TEST_F(StateMachine, HandshakeFramesWithAndWithoutTheShortCheckRetry) {
  const HandshakeCase cases[] = {
      {"1234", "001FFA00000000000000000800830100123400000000F74B1003", {}},
      {"0003",
       "001FFA00000000000000000798830100000300000000BC6F1003",
       {"CRC Error in state 3. Performing Workaround"}},
  };
  const std::string input("\x00\x12\x34 anything", 13);
  for (const HandshakeCase& c : cases) {
    SCOPED_TRACE("id " + c.id);
    clearLog();
    engine.state = Handshake;
    engine.RemoteConId = c.id;
    serial.receive(input);
    EXPECT_EQ(EncodeHex(serial.takeWritten()), c.frame);
    EXPECT_EQ(c.frame.size(), 52u);
    EXPECT_EQ(logLines(), c.log);
    EXPECT_EQ(engine.state, Online);
    EXPECT_EQ(serial.LookAhead(), "");
    EXPECT_EQ(engine.Assimilated, input);
  }
}

TEST_F(StateMachine, WalksFromIdleToOnline) {
  engine.Busy = true;
  serial.receive("RING\r\n");
  EXPECT_EQ(logLines(), std::vector<std::string>{"State 0 : Reserved for CID"});
  EXPECT_EQ(engine.state, WaitConnect);
  EXPECT_FALSE(engine.Busy);
  EXPECT_EQ(serial.LookAhead(), "RING\r\n");

  serial.receive("OK\r\nconnect\r\n");
  EXPECT_EQ(engine.state, WaitConnect);
  EXPECT_EQ(serial.written, "");

  serial.receive("CONNECT 2400\r\n");
  EXPECT_EQ(engine.state, WaitConId);
  EXPECT_EQ(serial.takeWritten(), "\r");
  EXPECT_EQ(serial.LookAhead(), "");
  EXPECT_EQ(engine.Assimilated, "RING\r\nOK\r\nconnect\r\nCONNECT 2400\r\n");

  serial.receive(DecodeHex("0012"));
  EXPECT_EQ(engine.state, WaitConId);
  EXPECT_EQ(engine.hexlog.text, "0012");

  serial.receive(DecodeHex("3400"));
  EXPECT_EQ(engine.state, Handshake);
  EXPECT_EQ(engine.hexlog.text, "00123400");
  EXPECT_EQ(engine.RemoteConId, "1234");
  EXPECT_EQ(engine.logger.text, "Remote Connection ID : 1234");
  EXPECT_EQ(serial.written, "");
  EXPECT_EQ(serial.LookAhead().size(), 4u);

  // The handshake goes out at the next event, which consumes the id bytes unexamined.
  serial.receive(DecodeHex("001234"));
  EXPECT_EQ(engine.state, Online);
  EXPECT_EQ(EncodeHex(serial.takeWritten()),
            "001FFA00000000000000000800830100123400000000F74B1003");
  EXPECT_EQ(serial.LookAhead(), "");
  EXPECT_EQ(engine.logger.text, "Remote Connection ID : 1234");

  const std::string frame = boxFrame("C0");
  serial.receive(frame);
  EXPECT_EQ(engine.hexlog.text, EncodeHex(frame));
  EXPECT_EQ(serial.LookAhead(), "");
  EXPECT_EQ(engine.C0Count, 1);
}

TEST_F(StateMachine, ConnectArrivingInIdleIsActedOnAtTheNextEvent) {
  serial.receive("CONNECT 2400\r\n");
  EXPECT_EQ(engine.state, WaitConnect);
  EXPECT_EQ(serial.written, "");
  serial.receive(DecodeHex("00"));
  EXPECT_EQ(engine.state, WaitConId);
  EXPECT_EQ(serial.written, "\r");
}

TEST_F(StateMachine, TheSecondAndThirdBytesBecomeTheIdWhateverTheyAre) {
  engine.state = WaitConId;
  serial.receive("OK\r\n");
  EXPECT_EQ(engine.RemoteConId, "4B0D");
  EXPECT_EQ(engine.state, Handshake);
}

struct NoCarrierCase {
  const char* name;
  std::int32_t state;
  std::string input;
  bool disconnects;
  std::int32_t finalState;
  const char* log;  // the whole log text; nullptr where frames were logged
};

TEST_F(StateMachine, NoCarrierIsTestedAfterEachStateOnTheInputLeft) {
  const std::string rearm = "AT+VCID=1\rATS0=2\r";
  // Frame data holding "NO CARRIER", its end marker not yet arrived.
  const std::string partialFrame = boxFrame("40", EncodeHex("xNO CARRIERx")).substr(0, 28);
  const NoCarrierCase cases[] = {
      {"Idle", Idle, "\r\nNO CARRIER\r\n", true, Idle,
       "\rState 0 : Reserved for CID\rState -1 : Disconnected"},
      {"WaitConnect without CONNECT", WaitConnect, "NO CARRIER", true, Idle,
       "\rState -1 : Disconnected"},
      {"WaitConnect consumes it with CONNECT", WaitConnect, "CONNECT\r\nNO CARRIER", false,
       WaitConId, ""},
      {"WaitConId", WaitConId, "\r\nNO CARRIER", true, Idle,
       "Remote Connection ID : 0A4E\rState -1 : Disconnected"},
      {"Handshake consumes it", Handshake, "NO CARRIER", false, Online, ""},
      {"Online after a frame", Online, boxFrame("C0") + "NO CARRIER", true, Idle, nullptr},
      {"Online inside frame data", Online, partialFrame, true, Idle, nullptr},
      {"lower case", WaitConnect, "no carrier", false, WaitConnect, ""},
  };
  for (const NoCarrierCase& c : cases) {
    SCOPED_TRACE(c.name);
    serial.ReadAll();
    serial.takeWritten();
    clearLog();
    engine.debugWindowShown = 0;
    engine.state = c.state;
    engine.RemoteConId = "1234";
    engine.ReceiveBuffer.clear();

    serial.receive(c.input);
    EXPECT_EQ(engine.state, c.finalState);
    EXPECT_EQ(engine.debugWindowShown, c.disconnects ? 1 : 0);
    const std::string written = serial.takeWritten();
    if (c.disconnects) {
      ASSERT_GE(written.size(), rearm.size());
      EXPECT_EQ(written.substr(written.size() - rearm.size()), rearm);
      EXPECT_EQ(serial.LookAhead(), "");
    } else {
      EXPECT_EQ(written.find("AT+VCID"), std::string::npos);
    }
    if (c.log != nullptr) {
      EXPECT_EQ(engine.logger.text, c.log);
    }
    if (c.disconnects) {
      EXPECT_EQ(logLines().back(), "State -1 : Disconnected");
    }
  }
}

TEST_F(StateMachine, NoCarrierOnlineAnswersTheFrameFirst) {
  online();
  serial.receive(boxFrame("C0") + "NO CARRIER\r\n");
  const std::vector<std::string> log = logLines();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "State -1 : Disconnected");
  EXPECT_EQ(log.at(log.size() - 2), "PAY = " + EncodeHex(boxFrame("C0")).substr(28));
  EXPECT_EQ(EncodeHex(serial.takeWritten()),
            "001FFA00000000000000000000C06B6C1003" + EncodeHex("AT+VCID=1\rATS0=2\r"));
  EXPECT_EQ(engine.Assimilated, "NO CARRIER\r\n");
}

TEST_F(StateMachine, DisconnectResetsTheCallAndReArmsTheModem) {
  online("0A0B");
  engine.currentCrc = "1111";
  engine.lastSeed = "2222";
  engine.SendBuffer = "0102";
  engine.ReceiveBuffer = "AABB";
  engine.BlackHole = "junk";
  engine.SentBuffer = "CCDD";
  engine.PacketHistory = {"one", "two"};
  engine.C0Count = 3;
  engine.DontDo = true;
  engine.LastRcv = "00000007";
  engine.DoneReading = true;
  engine.DoneBuildingSendQue = true;
  engine.Location = 15;
  engine.SendingData = true;
  engine.Busy = true;  // keeps the Online branch to the hex view
  engine.FirstTime = false;
  engine.hexlog.text = "old";

  engine.onDebugWindow = [this] {
    // The window comes first: nothing logged, consumed or reset yet.
    EXPECT_EQ(logLines(), std::vector<std::string>{});
    EXPECT_EQ(serial.LookAhead(), "\r\nNO CARRIER\r\n");
    EXPECT_EQ(engine.state, Online);
  };
  serial.receive("\r\nNO CARRIER\r\n");

  EXPECT_EQ(engine.debugWindowShown, 1);
  EXPECT_EQ(logLines(), std::vector<std::string>{"State -1 : Disconnected"});
  EXPECT_EQ(engine.Assimilated, "\r\nNO CARRIER\r\n");
  EXPECT_EQ(serial.LookAhead(), "");
  EXPECT_EQ(serial.flushes, 1);
  EXPECT_EQ(serial.takeWritten(), "AT+VCID=1\rATS0=2\r");

  EXPECT_EQ(engine.state, Idle);
  EXPECT_TRUE(engine.PacketHistory.empty());
  EXPECT_FALSE(engine.SendingData);
  EXPECT_FALSE(engine.DoneReading);
  EXPECT_FALSE(engine.DontDo);
  EXPECT_FALSE(engine.DoneBuildingSendQue);
  EXPECT_EQ(engine.Location, 1);
  EXPECT_EQ(engine.SentBuffer, "");
  EXPECT_EQ(engine.LastRcv, "");
  EXPECT_EQ(engine.ReceiveBuffer, "");

  EXPECT_EQ(engine.currentCrc, "1111");
  EXPECT_EQ(engine.lastSeed, "2222");
  EXPECT_EQ(engine.SendBuffer, "0102");
  EXPECT_EQ(engine.RemoteConId, "0A0B");
  EXPECT_FALSE(engine.FirstTime);
  EXPECT_TRUE(engine.Busy);
  EXPECT_EQ(engine.BlackHole, "junk");
  EXPECT_EQ(engine.C0Count, 3);
  EXPECT_EQ(engine.ssf2jpatch.size(), 6610u);
  EXPECT_EQ(engine.hexlog.text, EncodeHex("\r\nNO CARRIER\r\n"));

  // The next event starts the next call in Idle and clears Busy.
  serial.receive("RING");
  EXPECT_EQ(engine.state, WaitConnect);
  EXPECT_FALSE(engine.Busy);
}

TEST_F(StateMachine, DebugLogPutsACarriageReturnBeforeEachMessage) {
  engine.DebugLog("x");
  EXPECT_EQ(engine.logger.text, "\rx");
  engine.DebugLog("second");
  EXPECT_EQ(engine.logger.text, "\rx\rsecond");
}

TEST_F(StateMachine, AutoAnswerWritesOnlyWhenTicked) {
  engine.autoAnswer.state = 1;
  engine.chkAutoAnswer_Action();
  EXPECT_EQ(serial.takeWritten(), "ATS0=2\r");
  engine.autoAnswer.state = 0;
  engine.chkAutoAnswer_Action();
  EXPECT_EQ(serial.takeWritten(), "");
}

// Records the order of the port calls that the port choice makes.
class RecordingSerial : public MemorySerial {
 public:
  void SetSerialPort(const std::string& port) override {
    calls.push_back("select " + port);
    MemorySerial::SetSerialPort(port);
  }
  bool Open() override {
    calls.push_back("open");
    return MemorySerial::Open();
  }
  void Close() override {
    calls.push_back("close");
    MemorySerial::Close();
  }
  void Reset() override {
    calls.push_back("reset");
    MemorySerial::Reset();
  }
  void Write(std::string_view bytes) override {
    calls.push_back("write " + std::string(bytes));
    MemorySerial::Write(bytes);
  }
  std::vector<std::string> calls;
};

class PortChoice : public ::testing::Test {
 protected:
  void choose(int row, const std::string& text = "") {
    engine.chooser.listIndex = row;
    engine.chooser.text = text;
    engine.popCom_Change();
  }
  RecordingSerial serial;
  MemoryPortList ports{{"ttyS0", "ttyUSB0"}};
  HeadlessEngine engine{serial, ports};
};

TEST_F(PortChoice, OpensTheChosenRowThenResetsTheModem) {
  engine.state = Online;
  choose(1, "ttyUSB0");
  EXPECT_EQ(serial.calls,
            (std::vector<std::string>{"select /dev/ttyUSB0", "open", "reset", "write AT&F\r"}));
  EXPECT_TRUE(serial.IsOpen());
  EXPECT_EQ(engine.state, Online);
  EXPECT_EQ(engine.logger.text, "");
}

TEST_F(PortChoice, ClosesAnOpenPortBeforeOpeningAnother) {
  choose(0);
  serial.calls.clear();
  choose(-1, "/dev/pts/7");
  EXPECT_EQ(serial.calls, (std::vector<std::string>{"close", "select /dev/pts/7", "open", "reset",
                                                    "write AT&F\r"}));
  EXPECT_EQ(serial.opened, (std::vector<std::string>{"/dev/ttyS0", "/dev/pts/7"}));
}

TEST_F(PortChoice, IgnoresAnEmptyTextAndRowsPastTheList) {
  choose(0);
  serial.calls.clear();
  choose(-1, "");
  choose(2, "ttyS9");
  choose(-2, "/dev/ttyS1");
  EXPECT_EQ(serial.calls, std::vector<std::string>{});
  EXPECT_TRUE(serial.IsOpen());
  EXPECT_EQ(engine.logger.text, "");
}

TEST_F(PortChoice, AFailedOpenLogsThePortAndTheReason) {
  serial.failingPorts = {"/dev/ttyS0"};
  choose(0);
  EXPECT_EQ(engine.logger.text, "\rCould not open /dev/ttyS0: No such file or directory");
  EXPECT_EQ(serial.written, "");
  EXPECT_EQ(serial.resets, 0);
  EXPECT_FALSE(serial.IsOpen());
}

}  // namespace
}  // namespace engine_test
