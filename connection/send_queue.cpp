#include "connection/connection_engine.h"

#include <optional>
#include <utility>

#include "connection/login_decoder.h"
#include "connection/override_text.h"

void ConnectionEngine::BuildSendQue() {
  DoneBuildingSendQue = true;
  decodeLoginMessages(ReceiveBuffer, Location, [this](std::string_view line) { DebugLog(line); });

  if (chkOverride().State() == 1) {
    std::string problem;
    if (std::optional<std::string> digits = checkOverrideText(txtOverride().Text(), problem)) {
      SendBuffer = std::move(*digits);
    } else {
      // Half a byte or a stray character would put a broken frame on the line: send nothing.
      DebugLog("Override SendQ not sent: " + problem);
      SendBuffer.clear();
    }
  } else {
    SendBuffer = ssf2jpatch;
  }
  SendingData = true;
  SendPatch();
}
