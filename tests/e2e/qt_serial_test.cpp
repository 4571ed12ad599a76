// QtSerial on a real pseudo-terminal: the test holds the master side.

#include "connection/qt_serial.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <functional>
#include <string>
#include <vector>

namespace {

class QtSerialOnPty : public testing::Test {
 protected:
  void SetUp() override {
    termios raw{};
    ::cfmakeraw(&raw);
    ASSERT_EQ(::openpty(&master_, &slave_, nullptr, &raw, nullptr), 0);
    slavePath_ = ::ptsname(master_);
    serial_.DataAvailable = [this] { ++dataEvents_; };
    serial_.PortLost = [this](const std::string& reason) { lost_.push_back(reason); };
    serial_.SetSerialPort(slavePath_);
  }
  void TearDown() override {
    serial_.Close();
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
  }

  // Runs the event loop until `done` holds, for at most two seconds.
  static bool processUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(2000);
    while (!done() && !deadline.hasExpired()) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return done();
  }

  void fromModem(std::string_view bytes) {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // What the serial port put on the line, read from the master within two seconds.
  std::string toModem(std::size_t count) {
    std::string bytes;
    processUntil([&] {
      pollfd readable{master_, POLLIN, 0};
      if (::poll(&readable, 1, 0) == 1) {
        char buffer[256];
        const ssize_t got = ::read(master_, buffer, sizeof buffer);
        if (got > 0) bytes.append(buffer, static_cast<std::size_t>(got));
      }
      return bytes.size() >= count;
    });
    return bytes;
  }

  int argc_ = 1;
  char name_[16] = "qt_serial_test";
  char* argv_[1] = {name_};
  QCoreApplication app_{argc_, argv_};
  QtSerial serial_;
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
  int dataEvents_ = 0;
  std::vector<std::string> lost_;
};

TEST_F(QtSerialOnPty, OpensDespiteRefusedModemLinesAndCarriesBytesBothWays) {
  serial_.Write("dropped while closed\r");
  ASSERT_TRUE(serial_.Open()) << serial_.ErrorString();
  EXPECT_EQ(serial_.SerialPort(), slavePath_);

  serial_.Write("AT&F\r");
  serial_.Flush();
  EXPECT_EQ(toModem(5), "AT&F\r");

  fromModem("OK\r\n");
  ASSERT_TRUE(processUntil([&] { return serial_.LookAhead().size() == 4; }));
  EXPECT_GE(dataEvents_, 1);
  EXPECT_EQ(serial_.Read(2), "OK");
  EXPECT_EQ(serial_.ReadAll(), "\r\n");
}

TEST_F(QtSerialOnPty, ResetDiscardsInputNotYetConsumed) {
  ASSERT_TRUE(serial_.Open());
  fromModem("RING\r\n");
  ASSERT_TRUE(processUntil([&] { return !serial_.LookAhead().empty(); }));
  serial_.Reset();
  EXPECT_EQ(serial_.LookAhead(), "");
}

TEST_F(QtSerialOnPty, OtherEndClosingLosesThePortOnce) {
  ASSERT_TRUE(serial_.Open());
  ::close(master_);
  master_ = -1;
  ASSERT_TRUE(processUntil([&] { return !lost_.empty(); }));
  QCoreApplication::processEvents();
  EXPECT_EQ(lost_, std::vector<std::string>{"the line hung up"});
  EXPECT_FALSE(serial_.IsOpen());
}

TEST_F(QtSerialOnPty, MissingDeviceFailsToOpenWithAReason) {
  serial_.SetSerialPort("/dev/korvandel-no-such-port");
  EXPECT_FALSE(serial_.Open());
  EXPECT_FALSE(serial_.ErrorString().empty());
  EXPECT_FALSE(serial_.IsOpen());
}

struct LineCase {
  const char* name;
  QtSerial::LineSettings settings;
  speed_t speed;
  tcflag_t controlFlags;  // PARODD, CSTOPB and CRTSCTS as expected
  bool softwareFlow;
};

void PrintTo(const LineCase& line, std::ostream* out) {
  *out << line.name;
}

class LineSettingCodes : public QtSerialOnPty, public testing::WithParamInterface<LineCase> {};

// The master reads back the slave's settings. A pseudo-terminal forces 8 data bits without
// parity, so of the data bits and parity codes only "odd" can be seen here.
TEST_P(LineSettingCodes, ReachTheLine) {
  const LineCase& line = GetParam();
  serial_.setLineSettings(line.settings);
  ASSERT_TRUE(serial_.Open()) << serial_.ErrorString();
  termios applied{};
  ASSERT_EQ(::tcgetattr(slave_, &applied), 0);
  EXPECT_EQ(::cfgetospeed(&applied), line.speed);
  EXPECT_EQ(applied.c_cflag & (PARODD | CSTOPB | CRTSCTS), line.controlFlags);
  EXPECT_EQ((applied.c_iflag & IXON) != 0, line.softwareFlow);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, LineSettingCodes,
    testing::Values(
        LineCase{"ModemDefaults", {}, B2400, 0, false},
        LineCase{"OddTwoStop", {8, 0, 1, 2, true, false, false}, B9600, PARODD | CSTOPB, false},
        LineCase{"Hardware", {14, 2, 2, 0, true, true, true}, B115200, CRTSCTS, false},
        LineCase{"Software", {0, 1, 0, 0, true, false, true}, B300, 0, true},
        LineCase{"UnknownCodes", {99, -1, 7, 9, true, false, false}, B2400, 0, false}),
    [](const testing::TestParamInfo<LineCase>& param) { return std::string(param.param.name); });

}  // namespace
