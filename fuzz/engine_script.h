#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "connection/connection_record.h"

// The input of the engine fuzz target, read as a script: where the call starts, the operator's
// settings, then data events and operator actions. Layout: one byte for the start, one for the
// settings, then steps. A step byte below PortLost is a data event of that many bytes plus one,
// taken from what follows; from PortLost up, each value is an operator action or a lost port.
class EngineScript {
 public:
  enum Start : std::uint8_t { Fresh, InWaitConnect, InWaitConId, InHandshake, InOnline, InUpload };
  static constexpr int kStarts = 6;

  enum Action : std::uint8_t {
    DataEvent = 0,
    PortLost = 0xF9,
    ChoosePort = 0xFA,
    TickAutoAnswer = 0xFB,
    UntickAutoAnswer = 0xFC,
    ForceReply = 0xFD,
    ForcePatch = 0xFE,
    BusyTimer = 0xFF
  };
  static constexpr std::size_t kLongestEvent = PortLost;

  // The operator's override texts that the settings byte picks from: the first leaves the
  // override unticked, the last is ticked with nothing typed.
  static constexpr std::string_view kOverrideTexts[] = {"",    "0102030405", "01 02\r\n0a0B",
                                                        "012", "01G2",       ""};
  static constexpr int kOverrides = 6;

  struct Step {
    Action action = DataEvent;
    std::string_view bytes;  // of a data event
  };

  EngineScript(const std::uint8_t* data, std::size_t size);

  // True once a call has brought the engine's record to `start`.
  static bool reached(const ConnectionRecord& record, Start start);

  // Pieces of a script, for the seed corpus: the two leading bytes, one data event (a longer one
  // becomes several), one operator action.
  static std::string header(Start start, std::uint8_t settings);
  static std::string dataEvent(std::string_view bytes);
  static std::string operatorAction(Action action);

  Start start = Fresh;
  std::uint8_t settings = 0;
  std::vector<Step> steps;
};
