#pragma once

#include <gtest/gtest.h>

#include <boost/crc.hpp>
#include <cstdio>
#include <string>
#include <vector>

#include "connection/headless_engine.h"
#include "connection/memory_serial.h"
#include "framing/hex.h"

namespace engine_test {

// The frame check computed apart from the project's own code: CRC-16/GENIBUS.
inline std::string oracleCheck(const std::string& hexText) {
  boost::crc_optimal<16, 0x1021, 0xFFFF, 0xFFFF, false, false> crc;
  const std::string bytes = DecodeHex(hexText);
  crc.process_bytes(bytes.data(), bytes.size());
  char digits[5];
  std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned>(crc.checksum()));
  return digits;
}

// A whole frame as hex text: the text, its four-digit check, the end marker.
inline std::string sealed(const std::string& hexText) {
  return hexText + oracleCheck(hexText) + "1003";
}

// A frame from the box with id 1234, FBS and SBS 0 and RCW 0, as the bytes on the line.
inline std::string boxFrame(const std::string& opc, const std::string& payload = "") {
  return DecodeHex(sealed("00123400000000000000000000" + opc + payload));
}

// An engine on an in-memory port, playing the modem and the box through the port.
class EngineTest : public ::testing::Test {
 protected:
  // Lines of the operator log, each without the carriage return before it.
  std::vector<std::string> logLines() const {
    std::vector<std::string> lines;
    const std::string& text = engine.logger.text;
    for (std::size_t at = text.find('\r'), next; at != std::string::npos; at = next) {
      next = text.find('\r', at + 1);
      lines.push_back(text.substr(at + 1, next - at - 1));  // to the end when next is npos
    }
    return lines;
  }

  void clearLog() { engine.logger.text.clear(); }

  MemorySerial serial;
  MemoryPortList ports{{"ttyS0", "ttyUSB0"}};
  HeadlessEngine engine{serial, ports};
};

}  // namespace engine_test
