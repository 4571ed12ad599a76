#include "console/runtime.h"

#include <QApplication>
#include <cstdio>
#include <utility>

#include "console/application.h"
#include "console/window.h"

namespace {

struct RuntimeState {
  Runtime::ExceptionHelper exceptionHelper = nullptr;
  double frameworkVersion = 0.0;
  bool supportsHiDPI = false;
  std::unique_ptr<Application> app;
  std::unique_ptr<QApplication> qtApp;
  bool loopRunning = false;
  std::exception_ptr escaped;  // left a handler while the loop ran; raised again after it
  int loopStatus = 0;
  bool lastResortUsed = false;
};

RuntimeState& state() {
  static RuntimeState runtimeState;
  return runtimeState;
}

std::function<void(const std::string&)>& traceSink() {
  static std::function<void(const std::string&)> sink;
  return sink;
}

std::string describe(std::exception_ptr exception) {
  try {
    std::rethrow_exception(std::move(exception));
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "an exception of unknown type";
  }
}

}  // namespace

void Runtime::RuntimeInit() {
  state() = RuntimeState{};
  trace("RuntimeInit");
}

void Runtime::RuntimePerformInitializers(std::initializer_list<Routine> holderInitializers) {
  trace("RuntimePerformInitializers");
  for (Routine initializer : holderInitializers) initializer();
}

void Runtime::_RuntimeSetExceptionHelper(ExceptionHelper helper) {
  state().exceptionHelper = helper;
  trace("_RuntimeSetExceptionHelper");
}

void Runtime::RuntimeSetFrameworkVersion(double version) {
  state().frameworkVersion = version;
  trace("RuntimeSetFrameworkVersion " + QString::number(version, 'f', 2).toStdString());
}

// Qt sets up no classes from outside: nothing to do.
void Runtime::_RuntimeInitExternalClasses() {
  trace("_RuntimeInitExternalClasses");
}

// The system has no plug-ins: its table of entry points is empty.
void Runtime::_InitPluginEntrypoints() {
  trace("_InitPluginEntrypoints 0");
}

void Runtime::_RuntimeRegisterAppObject(std::unique_ptr<Application> app) {
  trace(std::string("_RuntimeRegisterAppObject ") +
        (app && app->menuBar() ? "with menu bar" : "without menu bar"));
  state().app = std::move(app);
}

void Runtime::_RunFrameworkInitialization(Routine lateStartup) {
  trace("_RunFrameworkInitialization");
  if (!QCoreApplication::instance()) {
    // The program's arguments are not the system's business; Qt reads its own settings from
    // the environment (QT_QPA_PLATFORM and the like).
    static int argc = 1;
    static char name[] = "korvandel";
    static char* argv[] = {name, nullptr};
    state().qtApp = std::make_unique<QApplication>(argc, argv);
  }
  lateStartup();
}

void Runtime::_RuntimeRun() {
  trace("_RuntimeRun");
  RuntimeState& s = state();
  s.loopRunning = true;
  const int status = QApplication::exec();
  s.loopRunning = false;
  trace("_RuntimeRun returned " + std::to_string(status));
  if (s.escaped) std::rethrow_exception(std::exchange(s.escaped, nullptr));
  s.loopStatus = status;
}

void Runtime::_UnhandledException(std::exception_ptr exception) {
  const std::string what = describe(std::move(exception));
  trace("_UnhandledException " + what);
  state().lastResortUsed = true;
  std::fprintf(stderr, "korvandel: unhandled exception: %s\n", what.c_str());
}

void Runtime::RuntimePerformFinalizers(std::initializer_list<Routine> holderFinalizers) {
  trace("RuntimePerformFinalizers");
  Window::destroyAllWindows();
  if (state().app) {
    state().app.reset();
    trace("Application released");
  }
  for (Routine finalizer : holderFinalizers) finalizer();
}

int Runtime::RuntimeExit() {
  RuntimeState& s = state();
  const int status = s.lastResortUsed ? 1 : s.loopStatus;
  s.qtApp.reset();
  trace("RuntimeExit " + std::to_string(status));
  return status;
}

Application* Runtime::appObject() {
  return state().app.get();
}

double Runtime::frameworkVersion() {
  return state().frameworkVersion;
}

bool Runtime::supportsHiDPI() {
  return state().supportsHiDPI;
}

void Runtime::setSupportsHiDPI(bool on) {
  state().supportsHiDPI = on;
}

void Runtime::runHandler(const std::function<void()>& handler) {
  RuntimeState& s = state();
  if (!s.exceptionHelper) {
    handler();
    return;
  }
  const auto call = [](void* argument) {
    (**static_cast<const std::function<void()>**>(argument))();
  };
  const std::function<void()>* target = &handler;
  try {
    if (std::exception_ptr returned = s.exceptionHelper(call, &target)) {
      _UnhandledException(returned);
    }
  } catch (...) {
    if (!s.loopRunning) throw;
    // Qt's event dispatch must not be unwound: the exception waits until exec() has returned.
    if (!s.escaped) s.escaped = std::current_exception();
    QCoreApplication::exit(1);
  }
}

void Runtime::quit() {
  QCoreApplication::quit();
}

void Runtime::setTrace(std::function<void(const std::string&)> trace) {
  traceSink() = std::move(trace);
}

void Runtime::trace(const std::string& step) {
  if (traceSink()) traceSink()(step);
}
