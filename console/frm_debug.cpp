#include "console/frm_debug.h"

#include "console/control_properties.h"
#include "console/event.h"
#include "console/framework.h"
#include "console/frm_main.h"

frmDebug::frmDebug() : Window(kClassName) {}

frmDebug& frmDebug::implicitInstance() {
  if (auto* open = dynamic_cast<frmDebug*>(Framework::_GetImplicitWindow(kClassName))) return *open;
  auto* window = new frmDebug();
  window->Constructor();
  return *window;
}

// No menu bar of its own: which one the platform shows while this window is in front is the
// platform's business, and on Linux each window shows only its own.
void frmDebug::Layout() {
  Framework::_SetProperties(*this, windowProperties({.width = 372,
                                                     .height = 400,
                                                     .title = "Derod Azerirez",
                                                     .hasBackColor = false,
                                                     .backColour = 0x00FFFFFF})
                                       .encode());
}

void frmDebug::CreateControls() {
  _CreateControls0();
}

void frmDebug::_CreateControls0() {
  buildControl<Label>("lblBlah", labelProperties({"lblBlah", 80, 11, 579, 20, 0},
                                                 "We hope your experience wasn't shit.", 0x00000000)
                                     .encode());
  RuntimeAddEventHandler(controlAs<Label>("lblBlah").Open,
                         RuntimeCreateDelegate<Label>(this, &frmDebug::lblBlah_Open));

  buildControl<TextArea>(
      "TextArea1",
      textAreaProperties({"TextArea1", 0, 43, 372, 311, 1}, 0x00000000, 0x00FFFFFF).encode());
  // The copy of the received payload is one hex line.
  controlAs<TextArea>("TextArea1").setRowWrap(true);

  buildControl<PushButton>("cmdOk",
                           pushButtonProperties({"cmdOk", 0, 356, 372, 44, 2}, "OK").encode());
  RuntimeAddEventHandler(controlAs<PushButton>("cmdOk").Action,
                         RuntimeCreateDelegate<PushButton>(this, &frmDebug::cmdOk_Action));
}

Label& frmDebug::lblBlah() {
  return controlAs<Label>("lblBlah");
}
TextArea& frmDebug::TextArea1() {
  return controlAs<TextArea>("TextArea1");
}
PushButton& frmDebug::cmdOk() {
  return controlAs<PushButton>("cmdOk");
}

void frmDebug::lblBlah_Open(Label&) {
  TextArea1().SetText(frmMain::implicitInstance().TextArea1().Text());
}

void frmDebug::cmdOk_Action(PushButton&) {
  Close();
}
