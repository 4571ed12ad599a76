#pragma once

#include "console/label.h"
#include "console/push_button.h"
#include "console/text_area.h"
#include "console/window.h"

// The window that pops up at each disconnect with a copy of the payload received in the call,
// as the main window's one-second mirror held it. One is open at a time, found by its class
// name; a disconnect while it is open only brings it forward.
class frmDebug : public Window {
 public:
  static constexpr const char* kClassName = "frmDebug.frmDebug";

  frmDebug();

  // The open debug window, built when there is none.
  static frmDebug& implicitInstance();

  Label& lblBlah();
  TextArea& TextArea1();
  PushButton& cmdOk();

  // Takes the copy of the main window's mirror.
  void lblBlah_Open(Label&);
  void cmdOk_Action(PushButton&);

 protected:
  void Layout() override;
  void CreateControls() override;

 private:
  void _CreateControls0();
};
