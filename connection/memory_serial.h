#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "connection/serial.h"

// A serial port in memory: what the engine writes is collected, what the test hands to receive()
// arrives as one data event. Also an in-memory list of system ports.
class MemorySerial : public BufferedSerial {
 public:
  void SetSerialPort(const std::string& port) override { port_ = port; }
  std::string SerialPort() const override { return port_; }
  bool Open() override;
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  std::string ErrorString() const override { return error_; }
  void Reset() override { ++resets; }
  void Write(std::string_view bytes) override { written.append(bytes); }
  void Flush() override { ++flushes; }

  // One data event carrying these bytes.
  void receive(std::string_view bytes) { deliver(bytes); }
  // Returns and forgets what was written so far.
  std::string takeWritten();

  // Ports whose Open fails, with the reason ErrorString reports.
  std::vector<std::string> failingPorts;
  std::string written;
  int resets = 0;
  int flushes = 0;
  std::vector<std::string> opened;  // every port opened, in order

 private:
  std::string port_;
  std::string error_;
  bool open_ = false;
};

class MemoryPortList : public SerialPortList {
 public:
  explicit MemoryPortList(std::vector<std::string> portNames = {}) : names(std::move(portNames)) {}
  int SerialPortCount() const override { return static_cast<int>(names.size()); }
  std::string SerialPortName(int i) const override { return names.at(i); }
  std::string SerialPortLocation(int i) const override { return "/dev/" + names.at(i); }
  std::vector<std::string> names;
};
