#include "connection/memory_serial.h"

#include <algorithm>

bool MemorySerial::Open() {
  if (std::find(failingPorts.begin(), failingPorts.end(), port_) != failingPorts.end()) {
    error_ = "No such file or directory";
    return false;
  }
  error_.clear();
  open_ = true;
  opened.push_back(port_);
  return true;
}

std::string MemorySerial::takeWritten() {
  std::string bytes;
  bytes.swap(written);
  return bytes;
}
