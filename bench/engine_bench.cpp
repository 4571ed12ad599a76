// The engine alone, on in-memory serial and controls: one whole call, and one data event while
// unread input without a start key piles up.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "bench/allocation_counter.h"
#include "tests/support/box_call.h"
#include "connection/headless_engine.h"
#include "connection/memory_serial.h"

namespace {

constexpr int k1KiB = 1024;
constexpr int k64KiB = 64 * 1024;
constexpr int k1MiB = 1024 * 1024;

int occurrences(std::string_view text, std::string_view part) {
  int n = 0;
  for (auto at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// An engine with its port chosen and auto-answer ticked, as an operator leaves it between calls.
struct Station {
  MemorySerial serial;
  MemoryPortList ports{{"ttyS0"}};
  HeadlessEngine engine{serial, ports};
  BoxCall call;

  Station() {
    engine.chooser.listIndex = 0;
    engine.popCom_Change();
    engine.autoAnswer.state = 1;
    engine.chkAutoAnswer_Action();
    serial.written.clear();
  }

  void playCall() {
    for (const std::string& event : call.events) serial.receive(event);
  }

  // Plays the call's events until the engine is Online.
  void goOnline() {
    for (const std::string& event : call.events) {
      if (engine.state == Online) return;
      serial.receive(event);
    }
  }

  // Why a played call did not go as the box expects, or nothing.
  std::string callProblem() const {
    if (engine.state != Idle) return "the call did not end in Idle";
    if (occurrences(engine.logger.text, "\rSENT : ") != BoxCall::kDataFrames) {
      return "the call did not send the four data frames";
    }
    // The login is decoded between the last field line of the frame that ends the box's data
    // and the first data frame.
    const std::string_view log = engine.logger.text;
    const auto sent = log.find("\rSENT : ");
    const auto lastField = log.rfind("\rPAY = ", sent);
    if (occurrences(log.substr(lastField + 1, sent - lastField - 1), "\r") !=
        BoxCall::kLoginLines) {
      return "the login did not give its 40 log lines";
    }
    return {};
  }
};

void wholeCall(benchmark::State& state) {
  Station station;
  station.playCall();
  if (const std::string problem = station.callProblem(); !problem.empty()) {
    state.SkipWithError(problem.c_str());
    return;
  }
  const AllocationCounter allocations;
  for (auto _ : state) {
    station.playCall();
    station.serial.written.clear();
  }
  allocations.report(state);
}

// One data event of one byte on top of `range(0)` unread bytes that hold no start key. The pile
// is trimmed back, untimed, every few events so that it stays near its size.
void unreadWithoutStartKey(benchmark::State& state) {
  Station station;
  station.goOnline();
  if (station.engine.state != Online) {
    state.SkipWithError("the call did not reach Online");
    return;
  }
  const auto size = static_cast<std::size_t>(state.range(0));
  station.serial.receive(std::string(size, 'U'));
  constexpr int kTrimEvery = 64;
  int sinceTrim = 0;
  for (auto _ : state) {
    station.serial.receive("U");
    if (++sinceTrim == kTrimEvery) {
      state.PauseTiming();
      station.serial.Read(kTrimEvery);
      station.engine.logger.text.clear();
      sinceTrim = 0;
      state.ResumeTiming();
    }
  }
}

BENCHMARK(wholeCall)->Name("engine/whole call")->Unit(benchmark::kMicrosecond);
BENCHMARK(unreadWithoutStartKey)
    ->Name("engine/data event, unread without start key")
    ->Arg(k1KiB)
    ->Arg(k64KiB)
    ->Arg(k1MiB)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
