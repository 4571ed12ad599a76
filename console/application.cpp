#include "console/application.h"

#include <QGuiApplication>

#include "console/runtime.h"

Application::Application() {
  Runtime::trace("Application.Constructor");
}

Application::~Application() = default;

void Application::_SetSupportsHiDPI(bool on) {
  const bool early = QCoreApplication::instance() == nullptr;
  Runtime::trace(std::string("_SetSupportsHiDPI ") + (on ? "true" : "false") +
                 (early ? " before the Qt application" : " after the Qt application"));
  Runtime::setSupportsHiDPI(on);
  if (!early) return;
  // Qt 6 always scales by the screen's device pixel ratio; pass the ratio through unrounded so
  // that fractional screen scales keep sharp text, or round it away when support is off.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
      on ? Qt::HighDpiScaleFactorRoundingPolicy::PassThrough
         : Qt::HighDpiScaleFactorRoundingPolicy::Round);
}

void Application::setMenuBar(MenuBar* bar) {
  Runtime::trace("Application.MenuBar");
  menuBar_ = bar;
}
