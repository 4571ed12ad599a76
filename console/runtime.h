#pragma once

#include <exception>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

class Application;

// The framework runtime on Qt: the process-wide steps of start-up and shut-down, the registered
// application object, and the one place where event handlers are run. One run per process; all
// of it on the event-loop thread.
class Runtime {
 public:
  // Runs a callback with its one argument; returns an exception that it chose to stop, or none.
  using ExceptionHelper = std::exception_ptr (*)(void (*callback)(void*), void* argument);
  using Routine = void (*)();

  static void RuntimeInit();
  // Starts the global holders empty.
  static void RuntimePerformInitializers(std::initializer_list<Routine> holderInitializers);
  static void _RuntimeSetExceptionHelper(ExceptionHelper helper);
  static void RuntimeSetFrameworkVersion(double version);
  static void _RuntimeInitExternalClasses();
  static void _InitPluginEntrypoints();
  // From here on the runtime holds the application object.
  static void _RuntimeRegisterAppObject(std::unique_ptr<Application> app);
  // Creates the Qt application (unless one exists) and runs the late start-up once.
  static void _RunFrameworkInitialization(Routine lateStartup);
  // The event loop; returns when the application quits. An exception that a handler let pass
  // ends the loop and goes on from here.
  static void _RuntimeRun();
  // Last-resort handling: reports the exception on standard error.
  static void _UnhandledException(std::exception_ptr exception);
  // Empties the framework's own holder (open windows, the application object), then runs the
  // finalizers given, in order.
  static void RuntimePerformFinalizers(std::initializer_list<Routine> holderFinalizers);
  // Ends the runtime: 1 when the last-resort handling ran, else the event loop's status.
  static int RuntimeExit();

  static Application* appObject();
  static double frameworkVersion();
  static bool supportsHiDPI();
  static void setSupportsHiDPI(bool on);

  // Runs an event handler through the exception helper. What the helper hands back gets the
  // last-resort handling and the loop goes on; anything else leaves the running event loop and
  // is raised again where _RuntimeRun returns (outside a loop it unwinds at once).
  static void runHandler(const std::function<void()>& handler);
  // Ends the event loop.
  static void quit();

  // A line for every framework step taken, for observing the order of start-up and shut-down.
  static void setTrace(std::function<void(const std::string& step)> trace);
  static void trace(const std::string& step);
};
