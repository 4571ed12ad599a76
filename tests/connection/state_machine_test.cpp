#include "engine_fixture.h"

namespace engine_test {
namespace {

using StateMachine = EngineTest;

TEST(ConnectionRecord, AFreshRecordHoldsTheInitialValues) {
  const ConnectionRecord r;
  // Each field and a bar: flags as 1 and 0, counts as numbers, patch texts by start and length.
  const auto f = [](const auto& value) {
    if constexpr (std::is_convertible_v<decltype(value), std::string>) {
      return std::string(value) + "|";
    } else {
      return std::to_string(value) + "|";
    }
  };
  const auto p = [](const std::string& text) {
    return text.substr(0, 10) + "/" + std::to_string(text.size()) + "|";
  };
  const std::string fields = f(r.SendBuffer) + f(r.ReceiveBuffer) + f(r.state) + f(r.RemoteConId) +
                             f(r.Busy) + f(r.BlackHole) + p(r.NhlPatch) + f(r.SentBuffer) +
                             p(r.MarioKartPatch) + f(r.PacketHistory.size()) + f(r.C0Count) +
                             p(r.SegMK2) + f(r.DontDo) + p(r.MK2Snes) + p(r.NBAJam) + f(r.LastRcv) +
                             f(r.DoneReading) + f(r.DoneBuildingSendQue) + f(r.Location) +
                             f(r.SendingData) + p(r.ssf2jpatch);
  EXPECT_EQ(fields,
            "||0||0||03127E8181/4092||033D1C44EB/9310|0|0|03C4CDDF0C/7644|0|03B11F972E/6142|"
            "03E30C296E/12286||0|0|1|0|03D8222103/6610|");
}

// The walk below takes the handshake with its four-digit check.
TEST_F(StateMachine, WalksFromIdleToOnline) {
  engine.Busy = true;
  // Idle reads nothing, not even a CONNECT.
  serial.receive("RING\r\nCONNECT 2400\r\n");
  EXPECT_EQ(engine.logger.text, "\rState 0 : Reserved for CID");
  EXPECT_EQ(engine.state, WaitConnect);
  EXPECT_FALSE(engine.Busy);
  EXPECT_EQ(serial.written, "");

  serial.receive("OK\r\n");
  EXPECT_EQ(engine.state, WaitConId);
  EXPECT_EQ(serial.takeWritten(), "\r");
  EXPECT_EQ(engine.Assimilated, "RING\r\nCONNECT 2400\r\nOK\r\n");

  // The end of the CONNECT line comes late, as at line speed: the id follows the frame's lead 00.
  serial.receive("\r\n" + DecodeHex("0000"));
  EXPECT_EQ(engine.state, WaitConId);
  EXPECT_EQ(engine.hexlog.text, "0D0A0000");
  serial.receive(DecodeHex("0300"));
  EXPECT_EQ(engine.state, Handshake);
  EXPECT_EQ(engine.hexlog.text, "0D0A00000300");
  EXPECT_EQ(engine.RemoteConId, "0003");
  EXPECT_EQ(engine.logger.text, "Remote Connection ID : 0003");
  EXPECT_EQ(serial.written, "");
  EXPECT_EQ(serial.LookAhead().size(), 6u);

  // The handshake goes out at the next event, which consumes the id bytes unexamined. The id 0003
  // gives its check three digits (DB5): the frame is rebuilt with RCW 0798. The NO CARRIER test
  // below takes the handshake with a four-digit check.
  serial.receive(DecodeHex("000003"));
  EXPECT_EQ(engine.state, Online);
  EXPECT_EQ(EncodeHex(serial.takeWritten()),
            "001FFA00000000000000000798830100000300000000BC6F1003");
  EXPECT_EQ(engine.logger.text,
            "Remote Connection ID : 0003\rCRC Error in state 3. Performing Workaround");
  EXPECT_EQ(serial.LookAhead(), "");
}

TEST_F(StateMachine, NoCarrierIsTestedAfterEachStateOnTheInputLeft) {
  const std::string rearm = EncodeHex("AT+VCID=1\rATS0=2\r");
  const std::string ack = "001FFA00000000000000000000C06B6C1003";
  // Frame data holding "NO CARRIER", its end marker not yet arrived.
  const std::string partialFrame = boxFrame("40", EncodeHex("xNO CARRIERx")).substr(0, 28);
  const struct {
    std::int32_t state;
    std::string input;
    std::int32_t finalState;
    std::string written;  // hex text
    const char* log;      // the whole log text; nullptr where frames were logged
    std::string later{};  // a second data event, if any
  } cases[] = {
      {Idle, "\r\nNO CARRIER\r\n", Idle, rearm,
       "\rState 0 : Reserved for CID\rState -1 : Disconnected"},
      {WaitConnect, "NO CARRIER", Idle, rearm, "\rState -1 : Disconnected"},
      {WaitConnect, "CONNECT\r\nNO CARRIER", WaitConId, "0D", ""},  // consumed with the CONNECT
      {WaitConId, "\r\nNO CARRIER", Idle, rearm, "\rState -1 : Disconnected"},
      {WaitConId, DecodeHex("00AB"), WaitConId, "", ""},  // the id takes three bytes
      {WaitConId, DecodeHex("00ABCD"), Handshake, "", "Remote Connection ID : ABCD"},
      // The rest of the CONNECT line goes before the frame's lead 00.
      {WaitConId, " 2400\r\n", WaitConId, "", ""},
      {WaitConId, " 2400\r\n" + DecodeHex("001234"), Handshake, "", "Remote Connection ID : 1234"},
      {Handshake, "NO CARRIER", Online, "001FFA00000000000000000800830100123400000000F74B1003", ""},
      // The frame is answered before the disconnect.
      {Online, boxFrame("C0") + "NO CARRIER", Idle, ack + rearm, nullptr},
      {Online, partialFrame, Idle, rearm, nullptr},
      // A NO CARRIER split across two events, behind a frame answered at the first.
      {Online, boxFrame("C0") + "N", Idle, ack + rearm, nullptr, "O CARRIER\r\n"},
      {Online, boxFrame("C0") + "NO CA", Idle, ack + rearm, nullptr, "RRIER"},
      {Online, boxFrame("C0") + "NO CARRIE", Idle, ack + rearm, nullptr, "R"},
      {WaitConnect, "no carrier", WaitConnect, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    serial.ReadAll();
    clearLog();
    engine.debugWindowShown = 0;
    engine.state = c.state;
    engine.RemoteConId = "1234";
    engine.ReceiveBuffer.clear();

    serial.receive(c.input);
    if (!c.later.empty()) serial.receive(c.later);
    EXPECT_EQ(engine.state, c.finalState);
    EXPECT_EQ(EncodeHex(serial.takeWritten()), c.written);
    const bool disconnected = c.written.ends_with(rearm);
    EXPECT_EQ(engine.debugWindowShown, disconnected ? 1 : 0);
    if (disconnected) {
      EXPECT_EQ(serial.LookAhead(), "");
      EXPECT_EQ(logLines().back(), "State -1 : Disconnected");
    }
    if (c.log != nullptr) {
      EXPECT_EQ(engine.logger.text, c.log);
    }
  }
}

// Notes each port call, the debug window and each log line, with the connection state then.
class RecordingSerial : public MemorySerial {
 public:
  void SetSerialPort(const std::string& port) override {
    MemorySerial::SetSerialPort(port);
    note("select " + port);
  }
  bool Open() override {
    note("open");
    return MemorySerial::Open();
  }
  void Close() override {
    note("close");
    MemorySerial::Close();
  }
  void Reset() override {
    note("reset");
    MemorySerial::Reset();
  }
  void Flush() override {
    note("flush");
    MemorySerial::Flush();
  }
  std::string ReadAll() override {
    note("read all");
    return MemorySerial::ReadAll();
  }
  void Write(std::string_view bytes) override {
    note("write " + std::string(bytes));
    MemorySerial::Write(bytes);
  }
  void note(const std::string& call) { calls.push_back(call + " in " + std::to_string(*state)); }

  std::vector<std::string> calls;
  const std::int32_t* state = nullptr;
};

class PortTest : public ::testing::Test {
 protected:
  PortTest() {
    port.state = &line.state;
    line.onDebugWindow = [this] { port.note("debug window"); };
    line.logger.onChange = [this] { port.note("log"); };
    line.listSerialPorts();
  }
  void choose(int row, const std::string& text = "") {
    line.chooser.listIndex = row;
    line.chooser.text = text;
    line.popCom_Change();
  }
  void lose() {
    port.MemorySerial::Close();  // as a lost port closes itself
    port.PortLost("gone");
  }
  RecordingSerial port;
  MemoryPortList listed{{"ttyS0", "ttyUSB0"}};
  HeadlessEngine line{port, listed};
};

TEST_F(PortTest, DisconnectShowsLogsDrainsFlushesResetsThenReArms) {
  line.state = Online;
  line.RemoteConId = "0A0B";
  line.Busy = true;  // keeps the Online branch to the hex view
  line.SendBuffer = "0102";
  line.ReceiveBuffer = line.SentBuffer = "AABB";
  line.PacketHistory = {"one", "two"};
  line.C0Count = 3;
  line.DontDo = line.DoneReading = line.DoneBuildingSendQue = line.SendingData = true;
  line.LastRcv = "00000007";
  line.Location = 15;
  line.BlackHole = "junk";

  port.receive("\r\nNO CARRIER\r\n");
  EXPECT_EQ(port.calls, (std::vector<std::string>{"debug window in 4", "log in 4", "read all in 4",
                                                  "flush in 4", "write AT+VCID=1\r in 0",
                                                  "write ATS0=2\r in 0"}));
  EXPECT_EQ(line.logger.text, "\rState -1 : Disconnected");
  EXPECT_EQ(line.Assimilated, "\r\nNO CARRIER\r\n");
  EXPECT_TRUE(line.PacketHistory.empty());
  EXPECT_FALSE(line.SendingData || line.DoneReading || line.DontDo || line.DoneBuildingSendQue);
  EXPECT_EQ(line.SentBuffer + line.LastRcv + line.ReceiveBuffer, "");
  EXPECT_EQ(line.Location, 1);
  // Left as they were: SendBuffer, RemoteConId, BlackHole, C0Count and Busy.
  EXPECT_EQ(line.SendBuffer + line.RemoteConId + line.BlackHole + std::to_string(line.C0Count) +
                std::to_string(line.Busy),
            "01020A0Bjunk31");

  // The next event starts the next call in Idle and clears Busy.
  port.receive("RING");
  EXPECT_EQ(line.state, WaitConnect);
  EXPECT_FALSE(line.Busy);
}

TEST_F(PortTest, ARowOpensTheDeviceItWasListedFor) {
  EXPECT_EQ(line.chooser.rows, (std::vector<std::string>{"ttyS0", "ttyUSB0"}));
  listed.names = {"ttyACM0", "ttyS0", "ttyUSB0"};  // an adapter plugged in since
  line.state = WaitConnect;
  choose(1, "ttyUSB0");
  EXPECT_EQ(port.calls, (std::vector<std::string>{"select /dev/ttyUSB0 in 1", "open in 1",
                                                  "reset in 1", "write AT&F\r in 1"}));
  EXPECT_EQ(line.logger.text, "");

  // Another choice closes the open port first; a typed path is opened as it stands. With
  // auto-answer ticked the modem gets it back after its reset.
  line.autoAnswer.state = 1;
  port.calls.clear();
  choose(-1, "/dev/pts/7");
  EXPECT_EQ(port.calls,
            (std::vector<std::string>{"close in 1", "select /dev/pts/7 in 1", "open in 1",
                                      "reset in 1", "write AT&F\r in 1", "write ATS0=2\r in 1"}));

  // No row, a row past the list and an empty text choose nothing.
  port.calls.clear();
  choose(-1, "");
  choose(2, "ttyS9");
  choose(-2, "/dev/ttyS1");
  EXPECT_EQ(port.calls, std::vector<std::string>{});
  EXPECT_TRUE(port.IsOpen());

  // Ticking auto-answer writes; clearing it does not.
  line.chkAutoAnswer_Action();
  line.autoAnswer.state = 0;
  line.chkAutoAnswer_Action();
  EXPECT_EQ(port.calls, std::vector<std::string>{"write ATS0=2\r in 1"});
}

TEST_F(PortTest, AFailedOpenLogsThePortAndTheReason) {
  port.failingPorts = {"/dev/ttyS0"};
  choose(0);
  EXPECT_EQ(line.logger.text, "\rCould not open /dev/ttyS0: No such file or directory");
  EXPECT_EQ(port.written, "");
  EXPECT_EQ(port.resets, 0);
}

TEST_F(PortTest, ALostPortOrAnotherChoiceEndsTheCallInProgress) {
  for (const std::int32_t state : {WaitConId, Handshake, Online}) {
    const std::string in = " in " + std::to_string(state);
    for (const bool lost : {true, false}) {
      SCOPED_TRACE(in + (lost ? " lost" : " another port chosen"));
      choose(0);
      line.state = state;
      line.ReceiveBuffer = "AABB";
      line.logger.text.clear();
      port.calls.clear();
      if (lost) {
        lose();
        // Nothing is written to the port that is gone.
        EXPECT_EQ(port.calls, (std::vector<std::string>{"log" + in, "debug window" + in, "log" + in,
                                                        "read all" + in}));
        EXPECT_EQ(line.logger.text, "\rLost serial port /dev/ttyS0: gone\rState -1 : Disconnected");
      } else {
        choose(1);
        EXPECT_EQ(port.calls,
                  (std::vector<std::string>{"debug window" + in, "log" + in, "read all" + in,
                                            "close in 0", "select /dev/ttyUSB0 in 0", "open in 0",
                                            "reset in 0", "write AT&F\r in 0"}));
        EXPECT_EQ(line.logger.text, "\rState -1 : Disconnected");
      }
      EXPECT_EQ(line.state, Idle);
      EXPECT_EQ(line.ReceiveBuffer, "");
    }
  }
}

TEST_F(PortTest, BeforeACallTheStateOutlivesALostPortAndTheNextConnectIsAnswered) {
  choose(0);
  line.state = WaitConnect;
  line.logger.text.clear();
  lose();
  EXPECT_EQ(line.logger.text, "\rLost serial port /dev/ttyS0: gone");
  EXPECT_EQ(line.state, WaitConnect);

  choose(0);
  port.takeWritten();
  port.receive("CONNECT 2400\r\n");
  EXPECT_EQ(line.state, WaitConId);
  EXPECT_EQ(port.takeWritten(), "\r");
}

}  // namespace
}  // namespace engine_test
