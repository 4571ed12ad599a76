#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The states of one call, in the record's `state`.
enum ConnectionState : std::int32_t {
  Idle = 0,
  WaitConnect = 1,
  WaitConId = 2,
  Handshake = 3,
  Online = 4,
};

// Everything the engine remembers about the current call, plus the built-in patch texts. The
// main window carries it for its whole life; the disconnect reset clears the per-call part.
// Hex-text fields hold upper-case hex, two digits per byte.
struct ConnectionRecord {
  ConnectionRecord();  // every field at its initial value

  // The part of the record that "NO CARRIER" clears (PacketHistory is emptied first).
  void disconnectReset();

  std::string currentCrc;
  std::string lastSeed;
  std::string SendBuffer;     // still to be sent in data frames
  std::string ReceiveBuffer;  // payloads received in this call, in arrival order
  std::int32_t state = Idle;
  std::string Assimilated;  // input consumed by WaitConnect, Handshake and the disconnect
  std::string RemoteConId;  // the box's connection id, 4 hex digits
  bool FirstTime = true;
  bool Busy = false;  // one frame is being extracted and answered
  std::string BlackHole;  // bytes consumed by the frame extraction
  std::string NhlPatch;
  std::string SentBuffer;  // payload sent since the call began or the box's last opcode 87
  std::string MarioKartPatch;
  std::vector<std::string> PacketHistory;  // every data frame written in this call, as hex text
  std::int32_t C0Count = 0;
  std::string SegMK2;
  bool DontDo = false;
  std::string MK2Snes;
  std::string NBAJam;
  std::string LastRcv;  // FBS of the last opcode 80 frame that brought a new one
  bool DoneReading = false;
  bool DoneBuildingSendQue = false;
  std::int32_t Location = 1;  // 1-based digit position in ReceiveBuffer of the next login message
  bool SendingData = false;
  std::string ssf2jpatch;
};
