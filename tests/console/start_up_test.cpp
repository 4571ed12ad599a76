#include "console/start_up.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <stdexcept>
#include <string>
#include <vector>

#include "console/nil_object_exception.h"

namespace {

struct ProgramRun {
  int status = -1;
  std::vector<std::string> steps;   // the trace, addresses replaced by "@"
  std::vector<std::string> checks;  // the "check " lines
  std::vector<std::string> menuBarAddresses;
};

// The program's start-up and shut-down, run in a fresh process of this test program.
ProgramRun runScenario(const char* scenario) {
  QProcess child;
  child.setProgram(QCoreApplication::applicationFilePath());
  child.setArguments({"--start-up", scenario});
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  child.setProcessEnvironment(environment);
  child.start();
  ProgramRun run;
  if (!child.waitForFinished(30000)) {
    child.kill();
    child.waitForFinished();
    ADD_FAILURE() << scenario << " did not finish";
    return run;
  }
  run.status = child.exitCode();
  const QRegularExpression address(" (\\d+)$");
  for (const QString& line :
       QString::fromUtf8(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
    QString step = line;
    if (step.startsWith("check ")) {
      run.checks.push_back(step.toStdString());
      continue;
    }
    if (step.startsWith("MenuBar") || step.startsWith("Window.MenuBar")) {
      const QRegularExpressionMatch match = address.match(step);
      if (match.hasMatch()) {
        run.menuBarAddresses.push_back(match.captured(1).toStdString());
        step.replace(match.capturedStart(), match.capturedLength(), " @");
      }
    }
    run.steps.push_back(step.toStdString());
  }
  return run;
}

const std::vector<std::string> kEarlyStartUp = {
    "RuntimeInit",
    "RuntimePerformInitializers",
    "_RuntimeSetExceptionHelper",
    "RuntimeSetFrameworkVersion 2017.03",
    "_SetSupportsHiDPI true before the Qt application",
    "_RuntimeInitExternalClasses",
    "_InitPluginEntrypoints 0",
    "Application.Constructor",
    "MenuBar.Constructor @",
};

const std::vector<std::string> kUpToTheLoop = {
    "Application.MenuBar",
    "_RuntimeRegisterAppObject with menu bar",
    "_RunFrameworkInitialization",
    "Window.Constructor frmMain.frmMain",
    "Window.MenuBar frmMain.frmMain @",
    "_RuntimeRun",
};

// Quitting closes the open windows before the loop returns.
const std::vector<std::string> kQuit = {
    "Window released frmMain.frmMain",
    "_RuntimeRun returned 0",
};

const std::vector<std::string> kShutDown = {
    "RuntimePerformFinalizers",
    "Application released",
    "MenuBar released @",
};

std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

void expectChecksHold(const ProgramRun& run) {
  EXPECT_EQ(run.checks.size(), 7u);
  for (const std::string& line : run.checks) EXPECT_TRUE(line.ends_with(" yes")) << line;
}

TEST(StartUpTest, QuitThroughTheFileMenu) {
  const ProgramRun run = runScenario("quit");
  EXPECT_EQ(run.steps,
            joined({kEarlyStartUp, kUpToTheLoop, kQuit, kShutDown, {"RuntimeExit 0", "exit 0"}}));
  EXPECT_EQ(run.status, 0);
  expectChecksHold(run);
  // Built once, shown by the window, released at the end: one and the same menu bar.
  ASSERT_EQ(run.menuBarAddresses.size(), 3u);
  EXPECT_EQ(run.menuBarAddresses[0], run.menuBarAddresses[1]);
  EXPECT_EQ(run.menuBarAddresses[0], run.menuBarAddresses[2]);
}

TEST(StartUpTest, AnExceptionInTheEarlyStartUpEndsTheRunThroughShutDown) {
  const ProgramRun run = runScenario("fail-early");
  EXPECT_EQ(run.steps, joined({kEarlyStartUp,
                               {"_UnhandledException no menu bar today", "RuntimePerformFinalizers",
                                "RuntimeExit 1", "exit 1"}}));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.checks, std::vector<std::string>{"check menu bar released yes"});
}

TEST(StartUpTest, ARuntimeExceptionInAHandlerEndsOnlyThatHandler) {
  const ProgramRun run = runScenario("handler-runtime-exception");
  EXPECT_EQ(run.steps, joined({kEarlyStartUp,
                               kUpToTheLoop,
                               {"_UnhandledException handler failed", "after the failing handler"},
                               kQuit,
                               kShutDown,
                               {"RuntimeExit 1", "exit 1"}}));
  EXPECT_EQ(run.status, 1);
  expectChecksHold(run);
}

TEST(StartUpTest, AnyOtherExceptionLeavesTheLoopForTheGuard) {
  const ProgramRun run = runScenario("handler-other-exception");
  EXPECT_EQ(run.steps, joined({kEarlyStartUp,
                               kUpToTheLoop,
                               {"after the failing handler", "_RuntimeRun returned 1",
                                "_UnhandledException handler broke", "RuntimePerformFinalizers",
                                "Window released frmMain.frmMain", "Application released",
                                "MenuBar released @", "RuntimeExit 1", "exit 1"}}));
  EXPECT_EQ(run.status, 1);
  expectChecksHold(run);
}

TEST(ExceptionWrapperTest, HandsBackRuntimeExceptionsAndLetsOthersUnwind) {
  const auto call = [](void (*callback)(void*), int* argument) {
    return _CallFunctionWithExceptionHandling(callback, argument);
  };
  int value = 0;
  EXPECT_EQ(call([](void* p) { *static_cast<int*>(p) = 7; }, &value), nullptr);
  EXPECT_EQ(value, 7);

  const std::exception_ptr returned =
      call([](void*) { throw NilObjectException("no such control"); }, &value);
  ASSERT_NE(returned, nullptr);
  try {
    std::rethrow_exception(returned);
  } catch (const NilObjectException& e) {
    EXPECT_STREQ(e.what(), "no such control");
  } catch (...) {
    ADD_FAILURE() << "not the exception thrown";
  }

  EXPECT_THROW(call([](void*) { throw std::logic_error("broken"); }, &value), std::logic_error);
}

}  // namespace
