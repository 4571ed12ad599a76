#include "start_up_scenarios.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QTimer>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "console/application.h"
#include "console/frm_main.h"
#include "console/main_menu_bar.h"
#include "console/nil_object_exception.h"
#include "console/runtime.h"
#include "console/start_up.h"

namespace {

void print(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

void check(const std::string& what, bool holds) {
  print("check " + what + (holds ? " yes" : " no"));
}

// A menu bar's address differs from run to run: "@" stands for the first one traced.
std::string withMenuBarShown(const std::string& step) {
  static std::string first;
  if (!step.starts_with("MenuBar") && !step.starts_with("Window.MenuBar")) return step;
  const std::size_t blank = step.rfind(' ');
  const std::string address = step.substr(blank + 1);
  if (first.empty()) first = address;
  return step.substr(0, blank) + (address == first ? " @" : " another menu bar");
}

// Runs once the event loop is up.
void whileRunning(const std::string& scenario) {
  frmMain& window = frmMain::implicitInstance();
  check("window open and visible", window.isVisible());
  check("application and window share the menu bar",
        Runtime::appObject() && Runtime::appObject()->menuBar() == window.menuBar() &&
            window.menuBar() == &MainMenuBar::implicitInstance());
  check("framework version 2017.03", Runtime::frameworkVersion() == 2017.03);
  check("high-DPI support on", Runtime::supportsHiDPI());
  check("Qt rounding passes the scale through",
        QGuiApplication::highDpiScaleFactorRoundingPolicy() ==
            Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);

  if (scenario.starts_with("handler-")) {
    window.chkOverride().Action.addHandler([scenario](CheckBox&) {
      if (scenario == "handler-runtime-exception") throw NilObjectException("handler failed");
      throw std::logic_error("handler broke");
    });
    window.chkOverride().click();
    print("after the failing handler");
    if (scenario == "handler-other-exception") return;  // that one has ended the loop already
  }
  window.menuBarView()->findChild<QAction*>("FileQuit")->trigger();
}

}  // namespace

int runStartUpScenario(const char* name) {
  const std::string scenario = name;
  Runtime::setTrace([scenario](const std::string& step) {
    print(withMenuBarShown(step));
    if (scenario == "fail-early" && step.starts_with("MenuBar.Constructor")) {
      throw NilObjectException("no menu bar today");
    }
    if (step == "_RuntimeRun") {
      QTimer::singleShot(0, [scenario] { whileRunning(scenario); });
    }
    if (step == "RuntimeExit 0" || step == "RuntimeExit 1") {
      check("menu bar released", !MainMenuBar::exists());
    }
  });
  const int status = runProgram();
  Runtime::setTrace(nullptr);
  print("exit " + std::to_string(status));
  return status;
}
