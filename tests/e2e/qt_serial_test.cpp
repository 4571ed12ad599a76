// QtSerial on a real pseudo-terminal: the test holds the master side.
#include "connection/qt_serial.h"

#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

class QtSerialOnPty : public testing::Test {
 protected:
  void SetUp() override {
    termios raw{};
    ::cfmakeraw(&raw);
    ASSERT_EQ(::openpty(&master_, &slave_, nullptr, &raw, nullptr), 0);
    serial_.PortLost = [this](const std::string& reason) { lost_.push_back(reason); };
    serial_.SetSerialPort(::ptsname(master_));
  }
  void TearDown() override {
    serial_.Close();
    ::close(master_);
    ::close(slave_);
  }

  int argc_ = 1;
  char* argv_[1] = {const_cast<char*>("qt_serial_test")};
  QCoreApplication app_{argc_, argv_};
  QtSerial serial_;
  int master_ = -1, slave_ = -1;
  std::vector<std::string> lost_;
};

TEST_F(QtSerialOnPty, CarriesBytesBothWaysThenLosesThePortOnceAndAMissingDeviceFailsToOpen) {
  serial_.Write("dropped while closed\r");
  ASSERT_TRUE(serial_.Open()) << serial_.ErrorString();  // though the pty refuses modem lines
  EXPECT_EQ(serial_.SerialPort(), ::ptsname(master_));

  // Flushed without the event loop running: the bytes must be on the line already.
  serial_.Write("AT&F\r");
  serial_.Flush();
  pollfd written{master_, POLLIN, 0};
  ASSERT_EQ(::poll(&written, 1, 2000), 1);
  char bytes[32];
  EXPECT_EQ(std::string(bytes, std::max<ssize_t>(::read(master_, bytes, sizeof bytes), 0)),
            "AT&F\r");

  ASSERT_EQ(::write(master_, "OK\r\n", 4), 4);
  ASSERT_TRUE(QTest::qWaitFor([&] { return serial_.LookAhead().size() == 4; }));
  EXPECT_EQ(serial_.Read(2), "OK");
  EXPECT_EQ(serial_.ReadAll(), "\r\n");

  ASSERT_EQ(::write(master_, "RING\r\n", 6), 6);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !serial_.LookAhead().empty(); }));
  serial_.Reset();
  EXPECT_EQ(serial_.LookAhead(), "") << "Reset keeps input not yet consumed";

  ::close(std::exchange(master_, -1));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !lost_.empty(); }));
  QCoreApplication::processEvents();
  EXPECT_EQ(lost_, std::vector<std::string>{"the line hung up"});
  EXPECT_FALSE(serial_.IsOpen());

  serial_.SetSerialPort("/dev/korvandel-no-such-port");
  EXPECT_FALSE(serial_.Open()) << "a missing device opened";
  EXPECT_NE(serial_.ErrorString(), "") << "a missing device failed without a reason";
}

// The master reads back the slave's settings. A pseudo-terminal forces 8 data bits without
// parity, so of the data bits and parity codes only "odd" can be seen here. Rows run in turn on
// one port; the first is what a new port has unasked.
TEST_F(QtSerialOnPty, LineSettingCodesReachTheLine) {
  const struct {
    const char* name;
    QtSerial::LineSettings settings;
    std::tuple<speed_t, tcflag_t, bool> line;  // speed; PARODD, CSTOPB and CRTSCTS; IXON
  } rows[] = {{"ModemDefaults", {}, {B2400, 0, false}},
              {"OddTwoStop", {8, 0, 1, 2, true, false, false}, {B9600, PARODD | CSTOPB, false}},
              {"Hardware", {14, 2, 2, 0, true, true, true}, {B115200, CRTSCTS, false}},
              {"Software", {0, 1, 0, 0, true, false, true}, {B300, 0, true}},
              {"UnknownCodes", {99, -1, 7, 9, true, false, false}, {B2400, 0, false}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    if (&row != rows) serial_.setLineSettings(row.settings);
    ASSERT_TRUE(serial_.Open()) << serial_.ErrorString();
    termios applied{};
    ASSERT_EQ(::tcgetattr(slave_, &applied), 0);
    EXPECT_EQ(std::tuple(::cfgetospeed(&applied), applied.c_cflag & (PARODD | CSTOPB | CRTSCTS),
                         (applied.c_iflag & IXON) != 0),
              row.line);
  }
}

}  // namespace
