// Runs the connection engine on a serial device without a window: every operator log line goes
// to standard output as it is logged. Used by the end-to-end tests and for trying a modem.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "connection/headless_engine.h"
#include "connection/qt_serial.h"

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

// Prints what the log gained since the last change. The log is appended to one carriage return
// and message at a time, except at each new connection, when its whole text is replaced.
class LogPrinter {
 public:
  explicit LogPrinter(const MemoryText& log) : log_(log) {}

  void changed() {
    const std::string_view text = log_.text;
    if (text.starts_with(printed_) && text.size() > printed_.size()) {
      std::string_view added = text.substr(printed_.size());
      if (added.starts_with('\r')) added.remove_prefix(1);
      printLines(added);
    } else if (text != printed_) {
      printLines(text);
    }
    printed_ = text;
  }

 private:
  const MemoryText& log_;
  std::string printed_;
};

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("korvandel-headless");

  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Answers game-box calls through the modem on DEVICE, printing the operator log.");
  parser.addHelpOption();
  parser.addPositionalArgument("DEVICE", "Serial device path or system port name.");
  const QCommandLineOption autoAnswer("auto-answer", "Tick auto-answer once the port is open.");
  const QCommandLineOption forcePatch("force-patch", "Press Force Patch at start.");
  const QCommandLineOption overrideText("override", "Upload HEXTEXT instead of the patch.",
                                        "HEXTEXT");
  const QCommandLineOption exitAfterCalls("exit-after-calls",
                                          "Quit once the Nth call has been disconnected.", "N");
  parser.addOptions({autoAnswer, forcePatch, overrideText, exitAfterCalls});
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
  LogPrinter printer(engine.logger);
  engine.logger.onChange = [&printer] { printer.changed(); };

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
  engine.chooser.listIndex = -1;
  engine.chooser.text = parser.positionalArguments().front().toStdString();
  engine.popCom_Change();
  if (!serial.IsOpen()) return 1;  // the engine has logged why
  if (parser.isSet(autoAnswer)) {
    engine.autoAnswer.state = 1;
    engine.chkAutoAnswer_Action();
  }
  return QCoreApplication::exec();
}
