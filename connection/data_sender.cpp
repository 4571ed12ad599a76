#include "connection/connection_engine.h"

#include "framing/crc.h"

namespace {

// 1,023 bytes of SendBuffer per data frame.
constexpr std::size_t kChunkDigits = 2046;

}  // namespace

void ConnectionEngine::SendPatch() {
  C0Count = 0;
  if (SendBuffer.empty()) {
    DontDo = true;
    return;
  }
  const std::string chunk = SendBuffer.substr(0, kChunkDigits);
  const std::string head = frameHead();
  std::string text = head + "0400" + "40" + chunk;
  if (CalculateCRC(text).size() != 4) {
    text = head + "0398" + "40" + chunk;
    DebugLog("We had a CRC issue... Rolling up");
  }
  const std::string frame = sealFrame(text, CalculateCRC(text));
  writeHex(frame);
  PacketHistory.push_back(frame);
  DebugLog("SENT : " + frame);
  // The first chunk after SentBuffer was emptied is recorded one digit short, so every later
  // FBS counts the bytes sent so far.
  if (SentBuffer.empty()) {
    SentBuffer = chunk.substr(0, kChunkDigits - 1);
  } else {
    SentBuffer += chunk;
  }
  SendBuffer.erase(0, kChunkDigits);
}
