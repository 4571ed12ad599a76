#pragma once

#include "connection/serial.h"

// The system's serial ports as Qt lists them, read afresh at every call so that adapters
// plugged in while the program runs show up.
class QtSerialPortList : public SerialPortList {
 public:
  int SerialPortCount() const override;
  // The port's short name (ttyUSB0); its location is the device path (/dev/ttyUSB0).
  std::string SerialPortName(int i) const override;
  std::string SerialPortLocation(int i) const override;
};
