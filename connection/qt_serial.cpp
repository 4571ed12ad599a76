#include "connection/qt_serial.h"

#include <poll.h>

#include <QTimer>
#include <array>

namespace {

constexpr std::array<qint32, 15> kBaudRates = {300,  600,   1200,  1800,  2400,  3600,  4800,  7200,
                                               9600, 14400, 19200, 28800, 38400, 57600, 115200};
constexpr std::array<QSerialPort::DataBits, 4> kDataBits = {QSerialPort::Data5, QSerialPort::Data6,
                                                            QSerialPort::Data7, QSerialPort::Data8};
constexpr std::array<QSerialPort::Parity, 3> kParities = {
    QSerialPort::NoParity, QSerialPort::OddParity, QSerialPort::EvenParity};
constexpr std::array<QSerialPort::StopBits, 3> kStopBits = {
    QSerialPort::OneStop, QSerialPort::OneAndHalfStop, QSerialPort::TwoStop};

template <typename T, std::size_t N>
T byCode(const std::array<T, N>& table, int code, int fallback) {
  const bool known = code >= 0 && static_cast<std::size_t>(code) < N;
  return table[static_cast<std::size_t>(known ? code : fallback)];
}

}  // namespace

QtSerial::QtSerial(QObject* parent) : QObject(parent) {
  applyLineSettings();
  connect(&port_, &QSerialPort::readyRead, this, &QtSerial::receive);
  connect(&port_, &QSerialPort::errorOccurred, this, &QtSerial::onError);
}

void QtSerial::setLineSettings(const LineSettings& settings) {
  settings_ = settings;
  applyLineSettings();
}

void QtSerial::applyLineSettings() {
  const LineSettings defaults;
  port_.setBaudRate(byCode(kBaudRates, settings_.baud, defaults.baud));
  port_.setDataBits(byCode(kDataBits, settings_.bits, defaults.bits));
  port_.setParity(byCode(kParities, settings_.parity, defaults.parity));
  port_.setStopBits(byCode(kStopBits, settings_.stop, defaults.stop));
  port_.setFlowControl(settings_.cts   ? QSerialPort::HardwareControl
                       : settings_.xon ? QSerialPort::SoftwareControl
                                       : QSerialPort::NoFlowControl);
  // A pseudo-terminal refuses the modem-control lines; that is no reason to fail.
  if (port_.isOpen()) port_.setDataTerminalReady(settings_.dtr);
}

void QtSerial::SetSerialPort(const std::string& port) {
  portName_ = port;
  // Qt takes a path starting with '/' as it stands and a bare name as one under /dev.
  port_.setPortName(QString::fromStdString(port));
}

bool QtSerial::Open() {
  if (port_.isOpen()) port_.close();
  losing_ = false;
  if (!port_.open(QIODevice::ReadWrite)) return false;
  port_.setDataTerminalReady(settings_.dtr);
  return true;
}

void QtSerial::Close() {
  if (port_.isOpen()) port_.close();
}

std::string QtSerial::ErrorString() const {
  return port_.errorString().toStdString();
}

void QtSerial::Reset() {
  if (port_.isOpen()) port_.clear(QSerialPort::AllDirections);
  discardUnread();
}

void QtSerial::Write(std::string_view bytes) {
  if (!port_.isOpen()) return;
  port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void QtSerial::Flush() {
  if (port_.isOpen()) port_.flush();
}

void QtSerial::receive() {
  const QByteArray bytes = port_.readAll();
  if (!bytes.isEmpty()) deliver(std::string_view(bytes.constData(), bytes.size()));
}

bool QtSerial::hungUp() const {
  pollfd line{static_cast<int>(port_.handle()), 0, 0};
  return ::poll(&line, 1, 0) == 1 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void QtSerial::onError(QSerialPort::SerialPortError error) {
  // A device that is gone (adapter unplugged) raises a resource error. A line that hung up (the
  // other end of a pseudo-terminal closed) reads as end of file, which Qt reports as a read
  // error again at every turn of the event loop. Either can come several times before the port
  // is closed; every other error is passing and left alone.
  if (losing_ || !port_.isOpen()) return;
  std::string reason;
  if (error == QSerialPort::ResourceError) {
    reason = port_.errorString().toStdString();
  } else if (error == QSerialPort::ReadError && hungUp()) {
    reason = "the line hung up";
  } else {
    return;
  }
  losing_ = true;
  // Closed from the event loop: the read that raised the error still works on the port's buffer.
  QTimer::singleShot(0, this, [this, reason] {
    if (!losing_) return;  // reopened meanwhile
    Close();
    if (PortLost) PortLost(reason);
  });
}
