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
      const std::string& unread = port.LookAhead();
      txtHexlog().SetText(EncodeHex(unread));
      // At line speed the rest of the CONNECT line (" 2400\r\n") arrives after the CONNECT was
      // consumed. It never holds a 00 byte, and every box frame starts with one: the id is the two
      // bytes after the first 00, and the text before it is left for Handshake to consume.
      const std::size_t lead = unread.find('\0');
      if (lead != std::string::npos && unread.size() - lead > 2) {
        RemoteConId = EncodeHex(unread.substr(lead + 1, 2));
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
  endCall(true);
}

void ConnectionEngine::endCall(bool portStaysOpen) {
  ShowDebugWindow();
  DebugLog("State -1 : Disconnected");
  // Only the input consumed last is kept; nothing reads it.
  Assimilated = srlMain().ReadAll();
  if (portStaysOpen) srlMain().Flush();
  disconnectReset();
  if (!portStaysOpen) return;
  writeModemCommand("AT+VCID=1");
  writeModemCommand("ATS0=2");
}

bool ConnectionEngine::callInProgress() const {
  return state == WaitConId || state == Handshake || state == Online;
}

void ConnectionEngine::srlMain_PortLost(const std::string& reason) {
  DebugLog("Lost serial port " + srlMain().SerialPort() + ": " + reason);
  // The modem that comes back will not report the hang-up of a call it never knew.
  if (callInProgress()) endCall(false);
}

void ConnectionEngine::listSerialPorts() {
  const SerialPortList& ports = SystemSerialPorts();
  // The count is read afresh for every row.
  for (int i = 0; i <= ports.SerialPortCount() - 1; ++i) {
    listedPorts_.push_back(ports.SerialPortLocation(i));
    popCom().AddRow(ports.SerialPortName(i));
  }
}

void ConnectionEngine::popCom_Change() {
  const int row = popCom().ListIndex();
  std::string location;
  if (row >= 0 && static_cast<std::size_t>(row) < listedPorts_.size()) {
    location = listedPorts_[static_cast<std::size_t>(row)];
  } else if (row == -1) {
    // Typed paths reach virtual and USB ports that the system list may miss.
    location = popCom().Text();
  }
  if (location.empty()) return;

  Serial& port = srlMain();
  if (port.IsOpen()) {
    if (callInProgress()) endCall(false);
    port.Close();
  }
  port.SetSerialPort(location);
  if (!port.Open()) {
    DebugLog("Could not open " + location + ": " + port.ErrorString());
    return;
  }
  port.Reset();
  writeModemCommand("AT&F");
  // AT&F switches auto-answer off; a ticked box must not show a state the modem is not in.
  if (chkAutoAnswer().State() == 1) writeModemCommand("ATS0=2");
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
