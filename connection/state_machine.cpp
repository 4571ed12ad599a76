#include "connection/connection_engine.h"

#include "framing/crc.h"
#include "framing/hex.h"

namespace {

// Modems send their result texts in capitals, so both are matched exactly as written.
constexpr std::string_view kConnect = "CONNECT";
constexpr std::string_view kNoCarrier = "NO CARRIER";

bool contains(std::string_view input, std::string_view text) {
  return input.find(text) != std::string_view::npos;
}

}  // namespace

void ConnectionEngine::srlMain_DataAvailable() {
  Serial& port = srlMain();
  switch (state) {
    case Idle:
      DebugLog("State 0 : Reserved for CID");
      Busy = false;
      state = WaitConnect;
      break;
    case WaitConnect:
      if (contains(port.LookAhead(), kConnect)) {
        writeModemCommand("");
        Assimilated = port.ReadAll();
        state = WaitConId;
      }
      break;
    case WaitConId: {
      const std::string hex = EncodeHex(port.LookAhead());
      txtHexlog().SetText(hex);
      if (hex.size() > 5) {
        RemoteConId = hex.substr(2, 4);
        txtLogger().SetText("Remote Connection ID : " + RemoteConId);
        state = Handshake;
      }
      break;
    }
    case Handshake:
      sendHandshake();
      Assimilated = port.ReadAll();
      state = Online;
      break;
    case Online:
      txtHexlog().SetText(EncodeHex(port.LookAhead()));
      if (!Busy) GrabAnotherPacket();
      break;
    default:
      break;
  }
  // Taken afresh: a "NO CARRIER" that the branch consumed is not seen here.
  if (contains(port.LookAhead(), kNoCarrier)) disconnect();
}

void ConnectionEngine::sendHandshake() {
  std::string text = "001FFA00000000000000000800830100" + RemoteConId + "00000000";
  if (CalculateCRC(text).size() != 4) {
    DebugLog("CRC Error in state 3. Performing Workaround");
    text = "001FFA00000000000000000798830100" + RemoteConId + "00000000";
  }
  writeHex(sealFrame(text, CalculateCRC(text)));
}

void ConnectionEngine::disconnect() {
  ShowDebugWindow();
  DebugLog("State -1 : Disconnected");
  // Only the input consumed last is kept; nothing reads it.
  Assimilated = srlMain().ReadAll();
  srlMain().Flush();
  disconnectReset();
  writeModemCommand("AT+VCID=1");
  writeModemCommand("ATS0=2");
}

void ConnectionEngine::popCom_Change() {
  const int row = popCom().ListIndex();
  std::string location;
  if (row >= 0 && row < SystemSerialPorts().SerialPortCount()) {
    location = SystemSerialPorts().SerialPortLocation(row);
  } else if (row == -1) {
    // Typed paths reach virtual and USB ports that the system list may miss.
    location = popCom().Text();
  }
  if (location.empty()) return;

  Serial& port = srlMain();
  if (port.IsOpen()) port.Close();
  port.SetSerialPort(location);
  if (!port.Open()) {
    DebugLog("Could not open " + location + ": " + port.ErrorString());
    return;
  }
  port.Reset();
  writeModemCommand("AT&F");
}

void ConnectionEngine::chkAutoAnswer_Action() {
  if (chkAutoAnswer().State() == 1) writeModemCommand("ATS0=2");
}

void ConnectionEngine::DebugLog(std::string_view message) {
  std::string line = "\r";
  line.append(message);
  txtLogger().AppendText(line);
}

void ConnectionEngine::writeHex(std::string_view hexText) {
  srlMain().Write(DecodeHex(hexText));
}

void ConnectionEngine::writeModemCommand(std::string_view command) {
  std::string line(command);
  line.push_back('\r');
  srlMain().Write(line);
}
