#include "console/start_up.h"

#include <memory>

#include "console/app.h"
#include "console/frm_main.h"
#include "console/main_menu_bar.h"
#include "console/runtime.h"
#include "console/runtime_exception.h"

int runProgram() {
  Runtime::RuntimeInit();
  Runtime::RuntimePerformInitializers({&MainMenuBar::implicitInstanceInit});
  _Main();
  Runtime::RuntimePerformFinalizers({&MainMenuBar::implicitInstanceExit});
  return Runtime::RuntimeExit();
}

void _Main() {
  try {
    Runtime::_RuntimeSetExceptionHelper(&_CallFunctionWithExceptionHandling);
    Runtime::RuntimeSetFrameworkVersion(2017.03);
    _EarlyStartup();
    Runtime::_RunFrameworkInitialization(&_LateStartup);
    Runtime::_RuntimeRun();
  } catch (...) {
    Runtime::_UnhandledException(std::current_exception());
  }
}

void _EarlyStartup() {
  // Before the application object exists: Qt takes the setting only before it starts.
  Application::_SetSupportsHiDPI(true);
  Runtime::_RuntimeInitExternalClasses();
  Runtime::_InitPluginEntrypoints();
  _InitFileTypes();
  _NewAppInstance();
  _ApplicationAddMenuHandlers();
}

void _NewAppInstance() {
  auto app = std::make_unique<App>();
  app->setMenuBar(&MainMenuBar::implicitInstance());
  // Only once it has its menu bar does it become the application.
  Runtime::_RuntimeRegisterAppObject(std::move(app));
}

// No document file types.
void _InitFileTypes() {}

// The application object handles no menu item.
void _ApplicationAddMenuHandlers() {}

void _LateStartup() {
  _MakeDefaultView();
}

// The window shows itself and the framework keeps it.
void _MakeDefaultView() {
  frmMain::implicitInstance();
}

std::exception_ptr _CallFunctionWithExceptionHandling(void (*callback)(void*), void* argument) {
  try {
    callback(argument);
  } catch (const RuntimeException&) {
    return std::current_exception();
  }
  return nullptr;
}
