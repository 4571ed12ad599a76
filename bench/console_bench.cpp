// The engine in the real main window: a data event while unread input without a start key piles
// up, and one after a frame's worth was consumed from its front, with the hex view and the log on
// screen; and one line into the log as the log grows.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "bench/allocation_counter.h"
#include "connection/memory_serial.h"
#include "console/frm_main.h"
#include "console/main_menu_bar.h"
#include "tests/support/box_call.h"

namespace {

constexpr int k1KiB = 1024;
constexpr int k64KiB = 64 * 1024;
constexpr int k1MiB = 1024 * 1024;
constexpr std::chrono::seconds kGiveUp{1};
constexpr std::string_view kLine = "No startpoint - Wait for data (State 4)";

// Hands bytes to a port as its device reader does, raising one data event, so that the window's
// handlers can be timed without a device in between.
class PortFeeder : public BufferedSerial {
 public:
  static void feed(BufferedSerial& port, std::string_view bytes) {
    (port.*&PortFeeder::deliver)(bytes);
  }
};

// The main window, built and shown as at start-up, over an in-memory port list; its port stays
// closed, so what the engine writes goes nowhere.
struct MainWindow {
  frmMain* window = new frmMain(std::make_unique<MemoryPortList>());

  MainWindow() {
    window->Constructor();
    QCoreApplication::processEvents();
  }
  ~MainWindow() { delete window; }

  // One data event and what the event loop does after it. The hex view is painted at once, even
  // when nothing changed in its visible part, so that its layout and painting are always in the
  // figure; with it the window paints whatever else waits to be painted, the log for one.
  void receive(std::string_view bytes) {
    PortFeeder::feed(window->srlMain(), bytes);
    window->txtHexlog().viewport()->repaint();
    QCoreApplication::processEvents();
  }
};

// Bytes from 0x80 up: they hold no start key, which begins with 00, and no modem text.
std::string junk(std::size_t size, std::minstd_rand& random) {
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(0x80 | (random() & 0x7F));
  return bytes;
}

// Walks the window through a call's start to Online, then piles up `size` unread bytes without a
// start key. The pile doubles event by event, so that a window too slow for the size is caught at
// a smaller one instead of holding up the whole run. False, with the reason given, on failure.
bool pileUp(MainWindow& main, std::size_t size, std::minstd_rand& random, benchmark::State& state) {
  const BoxCall call;
  for (const std::string& event : call.events) {
    if (main.window->state == Online) break;
    main.receive(event);
  }
  if (main.window->state != Online) {
    state.SkipWithError("the call did not reach Online");
    return false;
  }
  for (std::size_t unread = 0; unread < size;) {
    const std::size_t more = std::min(std::max<std::size_t>(unread, k1KiB), size - unread);
    const auto start = std::chrono::steady_clock::now();
    main.receive(junk(more, random));
    unread += more;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (took > kGiveUp && unread < size) {
      char why[120];
      std::snprintf(why, sizeof why,
                    "one data event took %.2f s at %zu KiB unread; not tried further", took.count(),
                    unread / k1KiB);
      state.SkipWithError(why);
      return false;
    }
  }
  return true;
}

constexpr int kTrimEvery = 16;

// One data event of one byte on top of `range(0)` unread bytes without a start key, and the
// window's repaint that follows it. Every few events the pile loses its front and the window
// catches up with one more event, both untimed, so that the pile keeps its size; the event after
// a front was consumed is timed by `frontConsumed`.
void unreadWithoutStartKey(benchmark::State& state) {
  MainWindow main;
  std::minstd_rand random;
  if (!pileUp(main, static_cast<std::size_t>(state.range(0)), random, state)) return;
  int sinceTrim = 0;
  for (auto _ : state) {
    main.receive(std::string(1, static_cast<char>(0x80 | (random() & 0x7F))));
    if (++sinceTrim == kTrimEvery) {
      state.PauseTiming();
      main.window->srlMain().Read(kTrimEvery + 1);
      main.receive(junk(1, random));
      main.window->txtLogger().SetText("");
      QCoreApplication::processEvents();
      sinceTrim = 0;
      state.ResumeTiming();
    }
  }
}

// One data event of `range(1)` bytes after as many were consumed from the front of `range(0)`
// unread bytes, as when a frame was cut off the input: the hex view loses its front and gains a
// tail. The consumption and the log's trim are untimed.
void frontConsumed(benchmark::State& state) {
  MainWindow main;
  std::minstd_rand random;
  if (!pileUp(main, static_cast<std::size_t>(state.range(0)), random, state)) return;
  const auto frame = static_cast<std::size_t>(state.range(1));
  int sinceTrim = 0;
  for (auto _ : state) {
    state.PauseTiming();
    main.window->srlMain().Read(frame);
    const std::string tail = junk(frame, random);
    if (++sinceTrim == kTrimEvery) {
      main.window->txtLogger().SetText("");
      QCoreApplication::processEvents();
      sinceTrim = 0;
    }
    state.ResumeTiming();
    main.receive(tail);
  }
}

// One DebugLog line into a log that holds `range(0)` lines; with `range(1)` the window repaints
// after each line. The lines added are cut off again, untimed, every few lines.
void debugLogLine(benchmark::State& state) {
  MainWindow main;
  const auto lines = static_cast<int>(state.range(0));
  const bool repaint = state.range(1) != 0;
  std::string text;
  for (int i = 0; i < lines; ++i) text.append("\r").append(kLine);
  TextArea& log = main.window->txtLogger();
  log.SetText(text);
  QCoreApplication::processEvents();
  const int base = log.Length();
  const int trimEvery = std::max(10, lines / 100);
  int sinceTrim = 0;
  AllocationCounter allocations;
  for (auto _ : state) {
    main.window->DebugLog(kLine);
    if (repaint) QCoreApplication::processEvents();
    if (++sinceTrim == trimEvery) {
      state.PauseTiming();
      allocations.pause();
      QTextCursor added(log.document());
      added.setPosition(base);
      added.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
      added.removeSelectedText();
      QCoreApplication::processEvents();
      sinceTrim = 0;
      allocations.resume();
      state.ResumeTiming();
    }
  }
  allocations.report(state);
}

BENCHMARK(unreadWithoutStartKey)
    ->Name("window/data event, unread without start key")
    ->Arg(k1KiB)
    ->Arg(k64KiB)
    ->Arg(k1MiB)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(frontConsumed)
    ->Name("window/data event after a front was consumed")
    ->ArgNames({"unread", "consumed"})
    ->ArgsProduct({{k1KiB, k64KiB, k1MiB}, {16}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(debugLogLine)
    ->Name("window/DebugLog line")
    ->ArgNames({"lines", "repaint"})
    ->ArgsProduct({{100, 10'000, 100'000}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

QtMessageHandler standardMessages = nullptr;

// The offscreen platform says at every resize that it cannot pass size hints on.
void dropPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QLatin1String("propagateSizeHints"))) return;
  standardMessages(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  standardMessages = qInstallMessageHandler(dropPlatformNotes);
  QApplication application(argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Window::destroyAllWindows();  // the debug window that each disconnect opens
  MainMenuBar::implicitInstanceExit();
  return 0;
}
