#include "connection/connection_engine.h"

#include "framing/frame_cutter.h"

void ConnectionEngine::GrabAnotherPacket() {
  Busy = true;
  const FrameCut cut = cutFrame(srlMain().LookAhead(), RemoteConId);
  if (cut.kind == FrameCut::Kind::NoStart) {
    DebugLog("No startpoint - Wait for data (State 4)");
    Busy = false;
    return;
  }
  DebugLog("Found Startpoint at : " + std::to_string(cut.S));
  if (cut.kind == FrameCut::Kind::NoEnd) {
    DebugLog("No endpoint - Wait for data (State 4)");
    Busy = false;
    return;
  }
  DebugLog("Found Endpoint at : " + std::to_string(cut.E));
  if (cut.kind == FrameCut::Kind::Junk) {
    DebugLog("Attempted to strip out Bunk start data");
    BlackHole = srlMain().Read(cut.N);
    Busy = false;
    return;
  }

  const PacketFields& fields = cut.fields;
  DebugLog("FBS = " + fields.FBS);
  DebugLog("SBS = " + fields.SBS);
  DebugLog("RCW = " + fields.RCW);
  DebugLog("OPC = " + fields.OPC);
  DebugLog("PAY = " + fields.PAY);
  if (fields.OPC == "82") {
    DebugLog("Discarded an 82 packet");
    BlackHole = srlMain().Read(cut.N);
    Busy = false;
    return;
  }
  BlackHole = srlMain().Read(cut.N);
  RespondToPacket(fields.FBS, fields.SBS, fields.RCW, fields.OPC, fields.PAY);
}
