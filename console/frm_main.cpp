#include "console/frm_main.h"

#include <QCloseEvent>

#include "connection/qt_serial_port_list.h"
#include "console/control_properties.h"
#include "console/event.h"
#include "console/framework.h"
#include "console/frm_debug.h"
#include "console/main_menu_bar.h"
#include "console/quit_menu_item.h"

class frmMain::_wrapper_srlMain : public SerialControl {
 public:
  using SerialControl::SerialControl;
};

class frmMain::_wrapper_tmrBusy : public Timer {
 public:
  using Timer::Timer;
};

class frmMain::_wrapper_Timer1 : public Timer {
 public:
  using Timer::Timer;
};

frmMain::frmMain(std::unique_ptr<SerialPortList> systemPorts)
    : Window(kClassName), systemPorts_(std::move(systemPorts)) {
  if (!systemPorts_) systemPorts_ = std::make_unique<QtSerialPortList>();
}

frmMain::~frmMain() = default;

frmMain& frmMain::implicitInstance() {
  if (auto* open = dynamic_cast<frmMain*>(Framework::_GetImplicitWindow(kClassName))) return *open;
  auto* window = new frmMain();
  window->Constructor();
  return *window;
}

void frmMain::Layout() {
  setMenuBar(MainMenuBar::implicitInstance());
  Framework::_SetProperties(*this, windowProperties({.width = 968,
                                                     .height = 396,
                                                     .title = "Korvandel",
                                                     .hasBackColor = true,
                                                     .backColour = 0x00000000})
                                       .encode());
}

void frmMain::CreateControls() {
  _CreateControls0();
}

void frmMain::_CreateControls0() {
  buildControl<_wrapper_srlMain>("srlMain", PropertyList()
                                                .boolean("DTR", true)
                                                .boolean("CTS", false)
                                                .boolean("XON", false)
                                                .int32("Stop", 0)
                                                .int32("Parity", 0)
                                                .int32("Bits", 3)
                                                .int32("Baud", 4)
                                                .encode());
  RuntimeAddEventHandler(
      controlAs<SerialControl>("srlMain").DataAvailable,
      RuntimeCreateDelegate<SerialControl>(this, &frmMain::srlMain_DataAvailable));
  // A port that fails for good (an adapter pulled out) gets one line in the log.
  RuntimeAddEventHandler(
      controlAs<SerialControl>("srlMain").PortLost,
      RuntimeCreateDelegate<SerialControl, const std::string&>(this, &frmMain::srlMain_PortLost));

  buildControl<ComboBox>("popCom", comboBoxProperties({"popCom", 10, 10, 123, 22, 0}).encode());
  RuntimeAddEventHandler(controlAs<ComboBox>("popCom").Change,
                         RuntimeCreateDelegate<ComboBox>(this, &frmMain::popCom_Change));

  buildControl<CheckBox>("chkAutoAnswer",
                         checkBoxProperties({"chkAutoAnswer", 145, 11, 27, 20, 1}, "").encode());
  RuntimeAddEventHandler(controlAs<CheckBox>("chkAutoAnswer").Action,
                         RuntimeCreateDelegate<CheckBox>(this, &frmMain::chkAutoAnswer_Action));

  buildControl<TextArea>(
      "txtHexlog",
      textAreaProperties({"txtHexlog", 10, 44, 417, 348, 2}, 0x0000FFFF, 0x00000000).encode());
  // The unread input is one line that grows with every data event, up to megabytes of junk.
  controlAs<TextArea>("txtHexlog").setRowWrap(true);

  buildControl<TextArea>(
      "txtLogger",
      textAreaProperties({"txtLogger", 429, 44, 337, 349, 3}, 0x0000FF00, 0x00000000).encode());
  RuntimeAddEventHandler(controlAs<TextArea>("txtLogger").TextChange,
                         RuntimeCreateDelegate<TextArea>(this, &frmMain::txtLogger_TextChange));

  buildControl<TextArea>("TextArea1", textAreaProperties({"TextArea1", 10, 404, 407, 122, 4, false},
                                                         0x00000000, 0x00FFFFFF)
                                          .encode());
  // The mirrors of ReceiveBuffer and SentBuffer are single hex lines as long as a call makes them.
  controlAs<TextArea>("TextArea1").setRowWrap(true);

  buildControl<_wrapper_tmrBusy>("tmrBusy",
                                 PropertyList().int32("Period", 6000).int32("Mode", 0).encode());
  RuntimeAddEventHandler(controlAs<Timer>("tmrBusy").Action,
                         RuntimeCreateDelegate<Timer>(this, &frmMain::tmrBusy_Action));

  buildControl<PushButton>(
      "PushButton1",
      pushButtonProperties({"PushButton1", 167, 11, 114, 22, 5}, "Force Patch").encode());
  RuntimeAddEventHandler(controlAs<PushButton>("PushButton1").Action,
                         RuntimeCreateDelegate<PushButton>(this, &frmMain::PushButton1_Action));

  buildControl<_wrapper_Timer1>("Timer1",
                                PropertyList().int32("Period", 1000).int32("Mode", 2).encode());
  RuntimeAddEventHandler(controlAs<Timer>("Timer1").Action,
                         RuntimeCreateDelegate<Timer>(this, &frmMain::Timer1_Action));

  buildControl<TextArea>(
      "TextArea2",
      textAreaProperties({"TextArea2", 429, 404, 337, 122, 7, false}, 0x00000000, 0x00FFFFFF)
          .encode());
  controlAs<TextArea>("TextArea2").setRowWrap(true);

  buildControl<PushButton>(
      "cmdForce", pushButtonProperties({"cmdForce", 293, 11, 124, 22, 8}, "Force Reply").encode());
  RuntimeAddEventHandler(controlAs<PushButton>("cmdForce").Action,
                         RuntimeCreateDelegate<PushButton>(this, &frmMain::cmdForce_Action));

  buildControl<TextArea>(
      "txtOverride",
      textAreaProperties({"txtOverride", 769, 43, 199, 351, 9}, 0x00FF8000, 0x00000000).encode());

  buildControl<CheckBox>(
      "chkOverride",
      checkBoxProperties({"chkOverride", 809, 11, 119, 20, 10}, "Override SendQ").encode());
}

SerialControl& frmMain::srlMain() {
  return controlAs<SerialControl>("srlMain");
}
ComboBox& frmMain::popCom() {
  return controlAs<ComboBox>("popCom");
}
CheckBox& frmMain::chkAutoAnswer() {
  return controlAs<CheckBox>("chkAutoAnswer");
}
TextArea& frmMain::txtHexlog() {
  return controlAs<TextArea>("txtHexlog");
}
TextArea& frmMain::txtLogger() {
  return controlAs<TextArea>("txtLogger");
}
TextArea& frmMain::TextArea1() {
  return controlAs<TextArea>("TextArea1");
}
Timer& frmMain::tmrBusy() {
  return controlAs<Timer>("tmrBusy");
}
PushButton& frmMain::PushButton1() {
  return controlAs<PushButton>("PushButton1");
}
Timer& frmMain::Timer1() {
  return controlAs<Timer>("Timer1");
}
TextArea& frmMain::TextArea2() {
  return controlAs<TextArea>("TextArea2");
}
PushButton& frmMain::cmdForce() {
  return controlAs<PushButton>("cmdForce");
}
TextArea& frmMain::txtOverride() {
  return controlAs<TextArea>("txtOverride");
}
CheckBox& frmMain::chkOverride() {
  return controlAs<CheckBox>("chkOverride");
}

void frmMain::txtLogger_TextChange(TextArea&) {
  TextArea& log = txtLogger();
  log.SetSelStart(log.Length());
}

void frmMain::Timer1_Action(Timer&) {
  TextArea1().SetText(ReceiveBuffer);
  TextArea2().SetText(SentBuffer);
}

MenuItem& frmMain::menuItem(const std::string& name) const {
  MenuItem* item = menuBar() ? menuBar()->_Lookup(name) : nullptr;
  if (!item) throw NilObjectException("the main window's menu bar has no item " + name);
  return *item;
}

MenuItem& frmMain::EditMenu() {
  return menuItem("EditMenu");
}
MenuItem& frmMain::EditSelectAll() {
  return menuItem("EditSelectAll");
}
MenuItem& frmMain::EditSeparator2() {
  return menuItem("EditSeparator2");
}
MenuItem& frmMain::EditClear() {
  return menuItem("EditClear");
}
MenuItem& frmMain::EditPaste() {
  return menuItem("EditPaste");
}
MenuItem& frmMain::EditCopy() {
  return menuItem("EditCopy");
}
MenuItem& frmMain::EditCut() {
  return menuItem("EditCut");
}
MenuItem& frmMain::EditSeparator1() {
  return menuItem("EditSeparator1");
}
MenuItem& frmMain::EditUndo() {
  return menuItem("EditUndo");
}
MenuItem& frmMain::FileMenu() {
  return menuItem("FileMenu");
}
QuitMenuItem& frmMain::FileQuit() {
  return dynamic_cast<QuitMenuItem&>(menuItem("FileQuit"));
}

void frmMain::Event_Open() {
  listSerialPorts();
}

void frmMain::closeEvent(QCloseEvent* event) {
  Window::closeEvent(event);
  // A closed main window answers no more calls: its port closes now, not when the window is
  // destroyed, so no data event can reach it in between.
  if (event->isAccepted() && srlMain().IsOpen()) srlMain().Close();
}

void frmMain::ShowDebugWindow() {
  frmDebug::implicitInstance().Show();
}
