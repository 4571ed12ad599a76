// Runs the connection engine on a serial device without a window: every operator log line goes
// to standard output as it is logged. Used by the end-to-end and soak tests and for trying a
// modem. SIGINT and SIGTERM end it cleanly.

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "connection/headless_engine.h"
#include "connection/qt_serial.h"
#include "connection/qt_serial_port_list.h"

namespace {

void printLines(std::string_view text) {
  for (;;) {
    const std::size_t end = text.find('\r');
    std::fwrite(text.data(), 1, std::min(end, text.size()), stdout);
    std::fputc('\n', stdout);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  std::fflush(stdout);
}

// Prints what the log holds and empties it, so a long run keeps no log text. The engine appends
// one carriage return and message at a time, and at each new connection replaces the whole text.
void printAndForget(MemoryText& log) {
  std::string_view added = log.text;
  if (added.starts_with('\r')) added.remove_prefix(1);
  printLines(added);
  log.text.clear();
}

// Whether the device opens now; tried quietly, so that waiting for a lost port to come back adds
// nothing to the log.
bool opens(const std::string& device) {
  // A bare name is a port under /dev, as the serial port takes it.
  const std::string path = device.starts_with('/') ? device : "/dev/" + device;
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

int signalPipe[2] = {-1, -1};

// The handlers only write to a pipe; the event loop quits when it reads from it.
void quitOnSignals(QCoreApplication& app) {
  if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
  struct sigaction action {};
  action.sa_handler = [](int) {
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], "q", 1);
  };
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("korvandel-headless");

  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Answers game-box calls through the modem on DEVICE, printing the operator log.");
  parser.addHelpOption();
  parser.addPositionalArgument("DEVICE", "Serial device path or system port name.");
  const QCommandLineOption autoAnswer("auto-answer", "Tick auto-answer before the port is opened.");
  const QCommandLineOption forcePatch("force-patch", "Press Force Patch at start.");
  const QCommandLineOption overrideText("override", "Upload HEXTEXT instead of the patch.",
                                        "HEXTEXT");
  const QCommandLineOption exitAfterCalls("exit-after-calls",
                                          "Quit once the Nth call has been disconnected.", "N");
  const QCommandLineOption reopen(
      "reopen", "When the port is lost, open DEVICE again as soon as it can be opened.");
  parser.addOptions({autoAnswer, forcePatch, overrideText, exitAfterCalls, reopen});
  parser.process(app);
  if (parser.positionalArguments().size() != 1) {
    std::fputs("korvandel-headless: give exactly one DEVICE (see --help)\n", stderr);
    return 2;
  }
  bool validCount = true;
  const int callsToRun =
      parser.isSet(exitAfterCalls) ? parser.value(exitAfterCalls).toInt(&validCount) : 0;
  if (!validCount || callsToRun < 0) {
    std::fputs("korvandel-headless: --exit-after-calls needs a number\n", stderr);
    return 2;
  }

  QtSerial serial;
  QtSerialPortList ports;
  HeadlessEngine engine(serial, ports);
  engine.logger.onChange = [&engine] { printAndForget(engine.logger); };
  quitOnSignals(app);

  // The debug window is shown as a disconnect begins; quit once the rest of it has run, with
  // the modem commands it wrote pushed out.
  int callsEnded = 0;
  engine.onDebugWindow = [&] {
    if (++callsEnded != callsToRun) return;
    QTimer::singleShot(0, &app, [&serial] {
      serial.Flush();
      QCoreApplication::quit();
    });
  };

  if (parser.isSet(forcePatch)) engine.PushButton1_Action();
  if (parser.isSet(overrideText)) {
    engine.overrideBox.state = 1;
    engine.overrideText.text = parser.value(overrideText).toStdString();
  }
  // As the operator does it: tick auto-answer, type the device into the chooser and confirm it.
  // Opening the port then switches the modem's auto-answer on after its reset.
  if (parser.isSet(autoAnswer)) engine.autoAnswer.state = 1;
  engine.chooser.listIndex = -1;
  engine.chooser.text = parser.positionalArguments().front().toStdString();
  engine.popCom_Change();
  if (!serial.IsOpen()) return 1;  // the engine has logged why

  // A lost port (the engine logs it and ends the call) is chosen again as soon as the device
  // opens, as an operator would.
  QTimer reopenTimer;
  QObject::connect(&reopenTimer, &QTimer::timeout, [&] {
    if (!serial.IsOpen() && opens(engine.chooser.text)) engine.popCom_Change();
  });
  if (parser.isSet(reopen)) reopenTimer.start(250);
  return QCoreApplication::exec();
}
