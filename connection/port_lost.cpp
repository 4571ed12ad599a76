#include "connection/connection_engine.h"

void ConnectionEngine::srlMain_PortLost(const std::string& reason) {
  DebugLog("Lost serial port " + srlMain().SerialPort() + ": " + reason);
}
