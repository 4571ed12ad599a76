#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "connection/connection_record.h"
#include "connection/controls.h"
#include "connection/serial.h"

// The protocol side of the main window: the connection record, the handlers of the window's
// controls and the protocol methods. It reaches the window only through the accessors below,
// which the window (or a headless host) implements; every handler runs on the one event-loop
// thread, one event at a time, and Busy is the only guard.
class ConnectionEngine : public ConnectionRecord {
 public:
  virtual ~ConnectionEngine() = default;

  // Handlers of the window's controls.
  void srlMain_DataAvailable();
  void popCom_Change();
  void chkAutoAnswer_Action();
  void tmrBusy_Action();
  void PushButton1_Action();  // "Force Patch"
  void cmdForce_Action();     // "Force Reply"
  // The open port failed for good (Serial::PortLost): one log line, and a call in progress ends
  // as at a hang-up.
  void srlMain_PortLost(const std::string& reason);

  // Lists the system's serial ports in the chooser, in index order, and remembers the device
  // each row names.
  void listSerialPorts();

  // Protocol methods.
  void DebugLog(std::string_view message);
  void GrabAnotherPacket();
  void RespondToPacket(const std::string& FBS, const std::string& SBS, const std::string& RCW,
                       const std::string& OPC, const std::string& PAY);
  void BuildSendQue();
  void SendPatch();

 protected:
  // The window's controls, as the engine uses them.
  virtual Serial& srlMain() = 0;
  virtual ChooserControl& popCom() = 0;
  virtual CheckControl& chkAutoAnswer() = 0;
  virtual CheckControl& chkOverride() = 0;
  virtual TextControl& txtHexlog() = 0;
  virtual TextControl& txtLogger() = 0;
  virtual TextControl& txtOverride() = 0;
  // The system's serial ports, in the order the chooser lists them.
  virtual const SerialPortList& SystemSerialPorts() = 0;
  // Obtains the debug window (building it when none is open) and shows it.
  virtual void ShowDebugWindow() = 0;

 private:
  // Frame builders and steps shared by the handlers above.
  // Lead byte, ADR 1F FA and the position fields of SentBuffer and ReceiveBuffer as they stand.
  std::string frameHead() const;
  void writeHex(std::string_view hexText);
  void writeModemCommand(std::string_view command);
  void sendHandshake();
  void sendC0Acknowledgement();
  void disconnect();
  // Ends the call: the debug window, the log line and the reset of a hang-up. Only a port that
  // stays open is flushed and has the modem re-armed.
  void endCall(bool portStaysOpen);
  // After its CONNECT and until its hang-up.
  bool callInProgress() const;

  // The device of each chooser row, as listed: the system's list may change afterwards.
  std::vector<std::string> listedPorts_;
};
