// Random input into the engine from each state of a call, its invariants checked after every
// step. The input is a script: one byte picks the start, one the operator's settings, then steps.
// A step byte below kPortLost is a data event of that many bytes plus one, taken from what
// follows; from kPortLost up, each value is an operator action or a lost port (see `actions`).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>

#include "connection/headless_engine.h"
#include "connection/memory_serial.h"
#include "fuzz/frame_layout_check.h"
#include "tests/support/box_call.h"

namespace {

// The starts: the states from Idle to Online, then an upload in progress.
constexpr int kUpload = Online + 1;
constexpr std::uint8_t kPortLost = 0xF9;

// The override texts the settings byte picks from: the first leaves the override unticked, the
// last is ticked with nothing typed.
constexpr std::string_view kOverrideTexts[] = {"",    "0102030405", "01 02\r\n0a0B",
                                               "012", "01G2",       ""};

[[noreturn]] void fail(std::size_t step, const std::string& what) {
  std::fprintf(stderr, "after step %zu: %s\n", step, what.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const BoxCall call;
  if (size < 2) return 0;
  const int start = data[0] % (kUpload + 1);
  const std::size_t override = data[1] % std::size(kOverrideTexts);

  MemorySerial serial;
  const MemoryPortList ports({"ttyS0"});
  HeadlessEngine engine(serial, ports);
  engine.overrideBox.state = override == 0 ? 0 : 1;
  engine.overrideText.text = kOverrideTexts[override];
  engine.chooser.text = "/dev/ttyS0";  // typed: a row opens only once the list is shown
  const auto autoAnswer = [&](int state) {
    engine.autoAnswer.state = state;
    engine.chkAutoAnswer_Action();
  };
  const std::function<void()> actions[] = {[&] { engine.srlMain_PortLost("the line hung up"); },
                                           [&] { engine.popCom_Change(); },
                                           [&] { autoAnswer(1); },
                                           [&] { autoAnswer(0); },
                                           [&] { engine.cmdForce_Action(); },
                                           [&] { engine.PushButton1_Action(); },
                                           [&] { engine.tmrBusy_Action(); }};

  std::int32_t location = 1;
  int flushes = 0;
  // `portClosed`: the step lost or closed the port, which ends a call in progress unflushed.
  const auto check = [&](std::size_t step, bool portClosed) {
    if (engine.Busy) fail(step, "Busy is still set");
    if (engine.state < Idle || engine.state > Online) {
      fail(step, "state " + std::to_string(engine.state));
    }
    // Only the end of a call moves Location back, and it moves it to 1: a hang-up flushes the
    // port once, a lost or closed port leaves the engine idle.
    const bool ended = serial.flushes != flushes || (portClosed && engine.state == Idle);
    if (ended ? engine.Location != 1 : engine.Location < location) {
      fail(step, "Location went from " + std::to_string(location) + " to " +
                     std::to_string(engine.Location));
    }
    if (engine.Location % 2 != 1) fail(step, "Location off a byte boundary");
    if (engine.ReceiveBuffer.size() % 2 != 0) fail(step, "ReceiveBuffer holds half a byte");
    if (const std::string problem = frameLayoutProblem(serial.takeWritten()); !problem.empty()) {
      fail(step, "written: " + problem);
    }
    location = engine.Location;
    flushes = serial.flushes;
  };

  const auto reached = [&] {
    return start == kUpload ? engine.SendingData : engine.state == start;
  };
  for (auto event = call.events.begin(); !reached(); ++event) {
    if (event == call.events.end()) fail(0, "the box's call did not reach the start state");
    serial.receive(*event);
    check(0, false);
  }

  std::size_t step = 0;
  for (std::size_t at = 2; at < size;) {
    const std::uint8_t code = data[at++];
    if (code < kPortLost) {
      const std::size_t length = std::min<std::size_t>(code + 1u, size - at);
      serial.receive({reinterpret_cast<const char*>(data) + at, length});
      at += length;
    } else {
      actions[code - kPortLost]();
    }
    check(++step, code == kPortLost || code == kPortLost + 1);  // the port lost or chosen again
  }
  return 0;
}
