#include "connection/connection_record.h"

#include "connection/patches/patches.h"

ConnectionRecord::ConnectionRecord()
    : NhlPatch(patches::NhlPatch),
      MarioKartPatch(patches::MarioKartPatch),
      SegMK2(patches::SegMK2),
      MK2Snes(patches::MK2Snes),
      NBAJam(patches::NBAJam),
      ssf2jpatch(patches::ssf2jpatch) {}

void ConnectionRecord::disconnectReset() {
  PacketHistory.clear();
  state = Idle;
  SendingData = false;
  DoneReading = false;
  DontDo = false;
  DoneBuildingSendQue = false;
  Location = 1;
  SentBuffer.clear();
  LastRcv.clear();
  ReceiveBuffer.clear();
}
