#pragma once

class MenuBar;

// The framework's application object. The runtime holds the registered one for the whole run.
class Application {
 public:
  Application();
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Switches high-DPI support for the whole application; only takes effect before the Qt
  // application exists.
  static void _SetSupportsHiDPI(bool on);

  // The application's menu bar; the menu bar's holder owns it.
  void setMenuBar(MenuBar* bar);
  MenuBar* menuBar() const { return menuBar_; }

 private:
  MenuBar* menuBar_ = nullptr;
};
