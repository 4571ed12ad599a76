#pragma once

#include <QObject>
#include <QSerialPort>
#include <string>

#include "connection/serial.h"

// The engine's Serial on a QSerialPort: bytes that arrive are kept unread and announced through
// DataAvailable on the event loop; writes go out as they are.
class QtSerial : public QObject, public BufferedSerial {
  Q_OBJECT

 public:
  // Line settings by their codes. Baud: 0 300, 1 600, 2 1200, 3 1800, 4 2400, 5 3600, 6 4800,
  // 7 7200, 8 9600, 9 14400, 10 19200, 11 28800, 12 38400, 13 57600, 14 115200. Bits: 0 to 3
  // for 5 to 8 data bits. Parity: 0 none, 1 odd, 2 even. Stop: 0 one, 1 one and a half (not
  // offered by Linux serial drivers: the open then fails), 2 two. CTS is hardware and XON
  // software flow control; with both, hardware wins. A code out of range keeps the default.
  struct LineSettings {
    int baud = 4;
    int bits = 3;
    int parity = 0;
    int stop = 0;
    bool dtr = true;
    bool cts = false;
    bool xon = false;
  };

  explicit QtSerial(QObject* parent = nullptr);

  void setLineSettings(const LineSettings& settings);
  const LineSettings& lineSettings() const { return settings_; }

  void SetSerialPort(const std::string& port) override;
  std::string SerialPort() const override { return portName_; }
  bool Open() override;
  void Close() override;
  bool IsOpen() const override { return port_.isOpen(); }
  std::string ErrorString() const override;
  // Discards what is pending in both directions: unsent output, input the driver holds and
  // input received but not yet consumed.
  void Reset() override;
  // Dropped silently while no port is open.
  void Write(std::string_view bytes) override;
  void Flush() override;

 private:
  void applyLineSettings();
  void receive();
  void onError(QSerialPort::SerialPortError error);
  bool hungUp() const;

  LineSettings settings_;
  QSerialPort port_;
  std::string portName_;
  bool losing_ = false;  // a lost port is being closed; report it once
};
