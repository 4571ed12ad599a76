#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// The modem's serial port as the engine sees it: raw bytes in and out, received bytes kept in
// arrival order until a handler consumes them, and one DataAvailable callback per arrival.
class Serial {
 public:
  virtual ~Serial() = default;

  // Selects the device (a system port name or a path) for the next Open.
  virtual void SetSerialPort(const std::string& port) = 0;
  virtual std::string SerialPort() const = 0;
  virtual bool Open() = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Why the last Open failed, for the operator log.
  virtual std::string ErrorString() const = 0;
  virtual void Reset() = 0;
  virtual void Write(std::string_view bytes) = 0;
  // Pushes out whatever is still waiting to be written.
  virtual void Flush() = 0;

  // The received bytes not yet consumed.
  virtual const std::string& LookAhead() const = 0;
  // Consumes and returns the first n received bytes (fewer when fewer are there).
  virtual std::string Read(std::size_t n) = 0;
  virtual std::string ReadAll() = 0;

  // Raised on the event loop after bytes have arrived.
  std::function<void()> DataAvailable;
  // Raised when an open port fails for good (adapter unplugged, other end gone); the port is
  // closed by then and the reason is for the operator log.
  std::function<void(const std::string& reason)> PortLost;
};

// The received-bytes half of a Serial, shared by every implementation: the device side hands
// arriving bytes to deliver(), handlers consume them with Read and ReadAll.
class BufferedSerial : public Serial {
 public:
  const std::string& LookAhead() const override { return unread_; }
  std::string Read(std::size_t n) override;
  std::string ReadAll() override;

 protected:
  // Appends bytes to the unread input and raises DataAvailable once.
  void deliver(std::string_view bytes);
  void discardUnread() { unread_.clear(); }

 private:
  std::string unread_;
};

// The system's serial ports, in index order.
class SerialPortList {
 public:
  virtual ~SerialPortList() = default;
  virtual int SerialPortCount() const = 0;
  // Display name of port i (0-based), and the name or path that SetSerialPort takes for it.
  virtual std::string SerialPortName(int i) const = 0;
  virtual std::string SerialPortLocation(int i) const = 0;
};
