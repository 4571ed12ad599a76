#pragma once

#include "console/menu_bar.h"

// The application's one menu bar: File (Quit) and Edit (the standard editing items). Built on
// the first request and shared by the application and the main window until shut-down.
class MainMenuBar : public MenuBar {
 public:
  // The single instance, built on the first call.
  static MainMenuBar& implicitInstance();
  // Whether the single instance exists now.
  static bool exists();
  // The holder's initializer and finalizer, run by the runtime at start and end of the run.
  static void implicitInstanceInit();
  static void implicitInstanceExit();

 private:
  MainMenuBar();
  void Untitled0();
  void Untitled1();
};
