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

void chooseQuit() {
  frmMain& window = frmMain::implicitInstance();
  window.menuBarView()->findChild<QAction*>("FileQuit")->trigger();
}

// Runs once the event loop is up.
void whileRunning(const std::string& scenario) {
  frmMain& window = frmMain::implicitInstance();
  check("window open and visible", window.isVisible());
  check("application and window share the menu bar",
        Runtime::appObject() && Runtime::appObject()->menuBar() == window.menuBar() &&
            window.menuBar() == &MainMenuBar::implicitInstance());
  check("main window found again is the same", &frmMain::implicitInstance() == &window);
  check("framework version 2017.03", Runtime::frameworkVersion() == 2017.03);
  check("high-DPI support on", Runtime::supportsHiDPI());
  check("Qt rounding passes the scale through",
        QGuiApplication::highDpiScaleFactorRoundingPolicy() ==
            Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);

  if (scenario == "handler-runtime-exception" || scenario == "handler-other-exception") {
    const bool runtimeException = scenario == "handler-runtime-exception";
    window.chkOverride().Action.addHandler([runtimeException](CheckBox&) {
      if (runtimeException) throw NilObjectException("handler failed");
      throw std::logic_error("handler broke");
    });
    window.chkOverride().click();
    print("after the failing handler");
    if (!runtimeException) return;  // that one has ended the loop already
  }
  chooseQuit();
}

}  // namespace

int runStartUpScenario(const char* name) {
  const std::string scenario = name;
  Runtime::setTrace([scenario](const std::string& step) {
    print(step);
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
