#include "console/start_up.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QProcess>
#include <QTimer>
#include <cstdio>
#include <regex>
#include <stdexcept>
#include <string>
#include <utility>

#include "console/application.h"
#include "console/frm_main.h"
#include "console/main_menu_bar.h"
#include "console/nil_object_exception.h"
#include "console/runtime.h"

namespace {

// Runs once the event loop is up.
void whileRunning(const std::string& scenario) {
  frmMain& window = frmMain::implicitInstance();
  const bool shared = Runtime::appObject() && Runtime::appObject()->menuBar() == window.menuBar() &&
                      window.menuBar() == &MainMenuBar::implicitInstance();
  std::printf("window visible %d, menu bar shared %d, framework %.2f, high-DPI %d, unrounded %d\n",
              window.isVisible(), shared, Runtime::frameworkVersion(), Runtime::supportsHiDPI(),
              QGuiApplication::highDpiScaleFactorRoundingPolicy() ==
                  Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
  if (scenario.starts_with("handler-")) {
    window.chkOverride().Action.addHandler([scenario](CheckBox&) {
      if (scenario == "handler-runtime-exception") throw NilObjectException("handler failed");
      throw std::logic_error("handler broke");
    });
    window.chkOverride().click();
    std::puts("after the failing handler");
    if (scenario == "handler-other-exception") return;  // that one has ended the loop already
  }
  window.menuBarView()->findChild<QAction*>("FileQuit")->trigger();
}

// What a fresh process of this test program printed, running the scenario, with the addresses of
// menu bars left out: they differ from run to run, and one built once is the one shared.
std::string runScenario(const char* scenario) {
  QProcess child;
  child.start(QCoreApplication::applicationFilePath(), {"--start-up", scenario});
  if (!child.waitForFinished(10000)) return "did not finish";
  const std::string printed = child.readAllStandardOutput().toStdString();
  return std::regex_replace(printed, std::regex(" [0-9]{6,}\n"), "\n");
}

// One menu bar throughout: built once, shown by the window, released at the end. Quitting closes
// the open windows before the loop returns.
TEST(StartUpTest, StartUpAndShutDownInOrderWithTheExceptionGuard) {
  const std::string early =
      "RuntimeInit\nRuntimePerformInitializers\n_RuntimeSetExceptionHelper\n"
      "RuntimeSetFrameworkVersion 2017.03\n_SetSupportsHiDPI true before the Qt application\n"
      "_RuntimeInitExternalClasses\n_InitPluginEntrypoints 0\nApplication.Constructor\n"
      "MenuBar.Constructor\n";
  const std::string upToTheLoop =
      "Application.MenuBar\n_RuntimeRegisterAppObject with menu bar\n_RunFrameworkInitialization\n"
      "Window.Constructor frmMain.frmMain\nWindow.MenuBar frmMain.frmMain\n_RuntimeRun\n"
      "window visible 1, menu bar shared 1, framework 2017.03, high-DPI 1, unrounded 1\n";
  const std::string shutDown =
      "Window released frmMain.frmMain\n_RuntimeRun returned 0\nRuntimePerformFinalizers\n"
      "Application released\nMenuBar released\n";
  const std::string failed = "RuntimeExit 1\nexit 1\n";
  const std::pair<const char*, std::string> scenarios[] = {
      {"quit", upToTheLoop + shutDown + "RuntimeExit 0\nexit 0\n"},
      // An exception in the early start-up ends the run through shut-down.
      {"fail-early", "_UnhandledException no menu bar today\nRuntimePerformFinalizers\n" + failed},
      // A RuntimeException in a handler ends only that handler.
      {"handler-runtime-exception",
       upToTheLoop + "_UnhandledException handler failed\nafter the failing handler\n" + shutDown +
           failed},
      // Any other exception leaves the loop for the guard.
      {"handler-other-exception",
       upToTheLoop +
           "after the failing handler\n_RuntimeRun returned 1\n_UnhandledException handler broke\n"
           "RuntimePerformFinalizers\nWindow released frmMain.frmMain\nApplication released\n"
           "MenuBar released\n" +
           failed},
  };
  for (const auto& [scenario, expected] : scenarios) {
    EXPECT_EQ(runScenario(scenario), early + expected) << scenario;
  }
}

}  // namespace

// Runs the program's start-up and shut-down in this process, printing every framework step and
// the facts seen on the way; returns the exit status. The scenarios are those of the test above.
int runStartUpScenario(const char* name) {
  const std::string scenario = name;
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // every line out before a crash
  Runtime::setTrace([scenario](const std::string& step) {
    std::puts(step.c_str());
    if (scenario == "fail-early" && step.starts_with("MenuBar.Constructor")) {
      throw NilObjectException("no menu bar today");
    }
    if (step == "_RuntimeRun") QTimer::singleShot(0, [scenario] { whileRunning(scenario); });
  });
  const int status = runProgram();
  Runtime::setTrace(nullptr);
  std::printf("exit %d\n", status);
  return status;
}
