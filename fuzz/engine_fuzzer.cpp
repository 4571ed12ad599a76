// Random input, split into random data events and operator actions, into the engine from each
// state of a call; the engine's invariants are checked after every step.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/box_call.h"
#include "connection/headless_engine.h"
#include "connection/memory_serial.h"
#include "fuzz/engine_script.h"
#include "fuzz/frame_layout_check.h"

namespace {

[[noreturn]] void fail(std::size_t step, const std::string& what) {
  std::fprintf(stderr, "after step %zu: %s\n", step, what.c_str());
  std::abort();
}

class Watch {
 public:
  Watch(HeadlessEngine& engine, MemorySerial& serial) : engine_(engine), serial_(serial) {}

  void check(std::size_t step) {
    if (engine_.Busy) fail(step, "Busy is still set");
    if (engine_.state < Idle || engine_.state > Online) {
      fail(step, "state " + std::to_string(engine_.state));
    }
    // Only the disconnect (one Flush each) moves Location back, and it moves it to 1.
    const bool disconnected = serial_.flushes != flushes_;
    if (disconnected ? engine_.Location != 1 : engine_.Location < location_) {
      fail(step, "Location went from " + std::to_string(location_) + " to " +
                     std::to_string(engine_.Location));
    }
    if (engine_.Location % 2 != 1) fail(step, "Location off a byte boundary");
    if (engine_.ReceiveBuffer.size() % 2 != 0) fail(step, "ReceiveBuffer holds half a byte");
    if (const std::string problem = frameLayoutProblem(serial_.takeWritten()); !problem.empty()) {
      fail(step, "written: " + problem);
    }
    location_ = engine_.Location;
    flushes_ = serial_.flushes;
  }

 private:
  HeadlessEngine& engine_;
  MemorySerial& serial_;
  std::int32_t location_ = 1;
  int flushes_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const BoxCall call;
  const EngineScript script(data, size);

  MemorySerial serial;
  const MemoryPortList ports({"ttyS0"});
  HeadlessEngine engine(serial, ports);
  const int override = script.settings % EngineScript::kOverrides;
  engine.overrideBox.state = override == 0 ? 0 : 1;
  engine.overrideText.text = EngineScript::kOverrideTexts[override];

  Watch watch(engine, serial);
  for (const std::string& event : call.events) {
    if (EngineScript::reached(engine, script.start)) break;
    serial.receive(event);
    watch.check(0);
  }
  if (!EngineScript::reached(engine, script.start))
    fail(0, "the box's call did not reach the start state");

  for (std::size_t i = 0; i < script.steps.size(); ++i) {
    const EngineScript::Step& step = script.steps[i];
    switch (step.action) {
      case EngineScript::DataEvent:
        serial.receive(step.bytes);
        break;
      case EngineScript::PortLost:
        engine.srlMain_PortLost("the line hung up");
        break;
      case EngineScript::ChoosePort:
        engine.chooser.listIndex = 0;
        engine.popCom_Change();
        break;
      case EngineScript::TickAutoAnswer:
      case EngineScript::UntickAutoAnswer:
        engine.autoAnswer.state = step.action == EngineScript::TickAutoAnswer ? 1 : 0;
        engine.chkAutoAnswer_Action();
        break;
      case EngineScript::ForceReply:
        engine.cmdForce_Action();
        break;
      case EngineScript::ForcePatch:
        engine.PushButton1_Action();
        break;
      case EngineScript::BusyTimer:
        engine.tmrBusy_Action();
        break;
    }
    watch.check(i + 1);
  }
  return 0;
}
