#pragma once

#include <QObject>
#include <QSerialPort>

#include "connection/serial.h"

// The engine's Serial on a QSerialPort: bytes that arrive are kept unread and announced through
// DataAvailable on the event loop; writes go out as they are.
class QtSerial : public QObject, public BufferedSerial {
  Q_OBJECT

 public:
  // Line settings by their codes: baud 4 is 2400 baud, bits 3 is 8 data bits, parity 0 none,
  // stop 0 one stop bit; DTR on; CTS and XON are hardware and software flow control.
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
  std::string SerialPort() const override;
  bool Open() override;
  void Close() override;
  bool IsOpen() const override;
  std::string ErrorString() const override;
  void Reset() override;
  void Write(std::string_view bytes) override;
  void Flush() override;

 private:
  LineSettings settings_;
  QSerialPort port_;
};

// The system's serial ports as Qt lists them, read afresh at every call.
class QtSerialPortList : public SerialPortList {
 public:
  int SerialPortCount() const override;
  std::string SerialPortName(int i) const override;
  std::string SerialPortLocation(int i) const override;
};
