#include "connection/serial.h"

#include <algorithm>

std::string BufferedSerial::Read(std::size_t n) {
  n = std::min(n, unread_.size());
  std::string bytes = unread_.substr(0, n);
  unread_.erase(0, n);
  return bytes;
}

std::string BufferedSerial::ReadAll() {
  std::string bytes;
  bytes.swap(unread_);
  return bytes;
}

void BufferedSerial::deliver(std::string_view bytes) {
  unread_.append(bytes);
  if (DataAvailable) DataAvailable();
}
