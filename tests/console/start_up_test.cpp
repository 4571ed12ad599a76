#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <string>

namespace {

// The program's start-up and shut-down, run in a fresh process of this test program: what it
// printed, one line a step.
std::string runScenario(const char* scenario) {
  QProcess child;
  child.setProgram(QCoreApplication::applicationFilePath());
  child.setArguments({"--start-up", scenario});
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  child.setProcessEnvironment(environment);
  child.start();
  if (!child.waitForFinished(10000)) {
    child.kill();
    child.waitForFinished();
    return "did not finish";
  }
  return child.readAllStandardOutput().toStdString();
}

// One menu bar throughout: built once, shown by the window, released at the end.
const std::string kEarlyStartUp =
    "RuntimeInit\nRuntimePerformInitializers\n_RuntimeSetExceptionHelper\n"
    "RuntimeSetFrameworkVersion 2017.03\n_SetSupportsHiDPI true before the Qt application\n"
    "_RuntimeInitExternalClasses\n_InitPluginEntrypoints 0\nApplication.Constructor\n"
    "MenuBar.Constructor @\n";

const std::string kUpToTheLoop =
    "Application.MenuBar\n_RuntimeRegisterAppObject with menu bar\n_RunFrameworkInitialization\n"
    "Window.Constructor frmMain.frmMain\nWindow.MenuBar frmMain.frmMain @\n_RuntimeRun\n"
    "check window open and visible yes\ncheck application and window share the menu bar yes\n"
    "check framework version 2017.03 yes\ncheck high-DPI support on yes\n"
    "check Qt rounding passes the scale through yes\n";

// Quitting closes the open windows before the loop returns.
const std::string kQuitAndShutDown =
    "Window released frmMain.frmMain\n_RuntimeRun returned 0\nRuntimePerformFinalizers\n"
    "Application released\nMenuBar released @\n";

TEST(StartUpTest, QuitThroughTheFileMenu) {
  EXPECT_EQ(runScenario("quit"), kEarlyStartUp + kUpToTheLoop + kQuitAndShutDown +
                                     "RuntimeExit 0\ncheck menu bar released yes\nexit 0\n");
}

TEST(StartUpTest, AnExceptionInTheEarlyStartUpEndsTheRunThroughShutDown) {
  EXPECT_EQ(runScenario("fail-early"),
            kEarlyStartUp +
                "_UnhandledException no menu bar today\nRuntimePerformFinalizers\nRuntimeExit 1\n"
                "check menu bar released yes\nexit 1\n");
}

TEST(StartUpTest, ARuntimeExceptionInAHandlerEndsOnlyThatHandler) {
  EXPECT_EQ(runScenario("handler-runtime-exception"),
            kEarlyStartUp + kUpToTheLoop +
                "_UnhandledException handler failed\nafter the failing handler\n" +
                kQuitAndShutDown + "RuntimeExit 1\ncheck menu bar released yes\nexit 1\n");
}

TEST(StartUpTest, AnyOtherExceptionLeavesTheLoopForTheGuard) {
  EXPECT_EQ(runScenario("handler-other-exception"),
            kEarlyStartUp + kUpToTheLoop +
                "after the failing handler\n_RuntimeRun returned 1\n"
                "_UnhandledException handler broke\nRuntimePerformFinalizers\n"
                "Window released frmMain.frmMain\nApplication released\nMenuBar released @\n"
                "RuntimeExit 1\ncheck menu bar released yes\nexit 1\n");
}

}  // namespace
