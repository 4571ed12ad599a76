#include "connection/connection_engine.h"

#include "framing/crc.h"
#include "framing/position_field.h"

std::string ConnectionEngine::frameHead() const {
  return "001FFA" + ReturnLongLengthOfString(SentBuffer) + ReturnLongLengthOfString(ReceiveBuffer);
}

void ConnectionEngine::RespondToPacket(const std::string& FBS, const std::string& /*SBS*/,
                                       const std::string& /*RCW*/, const std::string& OPC,
                                       const std::string& PAY) {
  bool acknowledge = false;
  // PAY ends in the frame's 4 check digits and "1003"; one too short for them carries nothing.
  const std::string payload = PAY.size() > 8 ? PAY.substr(0, PAY.size() - 8) : std::string();
  if (ReceiveBuffer.empty()) {
    ReceiveBuffer = payload;
    acknowledge = true;
  } else {
    ReceiveBuffer += payload;
  }

  if (OPC == "C0") {
    ++C0Count;
  } else if (OPC == "40") {
    C0Count = 0;
    // The acknowledgement of a data frame is only worked out for the log, never written.
    const std::string head = frameHead();
    if (CalculateCRC(head + "080080").size() == 4) {
      DebugLog("Responding to ACK");
    } else {
      DebugLog("Responding to ACK - CRC FIX");
      const std::string retry = head + "079880";
      DebugLog(sealFrame(retry, CalculateCRC(retry)));
    }
  } else if (OPC == "80") {
    if (FBS != LastRcv) {
      LastRcv = FBS;
      acknowledge = true;
    } else {
      DoneReading = true;
    }
    if (SendingData) SendPatch();
  } else if (OPC == "88") {
    writeHex(frameHead() + "000086");
  } else if (OPC == "87") {
    SentBuffer.clear();
    SendPatch();
  }

  if (acknowledge) sendC0Acknowledgement();
  if (DoneReading && !DoneBuildingSendQue) BuildSendQue();
  Busy = false;
}

void ConnectionEngine::sendC0Acknowledgement() {
  const std::string text = frameHead() + "0000C0";
  writeHex(sealFrame(text, CalculateCRC(text)));
}

void ConnectionEngine::cmdForce_Action() {
  DebugLog("Forced Reply!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!");
  sendC0Acknowledgement();
}

void ConnectionEngine::PushButton1_Action() {
  DoneReading = true;
}

void ConnectionEngine::tmrBusy_Action() {
  Busy = false;
}
