#pragma once

#include <memory>
#include <string>

#include "connection/connection_engine.h"
#include "console/check_box.h"
#include "console/combo_box.h"
#include "console/push_button.h"
#include "console/serial_control.h"
#include "console/text_area.h"
#include "console/timer.h"
#include "console/window.h"

class MenuItem;
class QuitMenuItem;

// The main window: the port chooser, the switches, the buttons and the log, hex and override
// text areas, and the connection engine with its record, whose handlers are wired to the
// controls' events. One is open at a time, found by its class name.
class frmMain : public Window, public ConnectionEngine {
 public:
  static constexpr const char* kClassName = "frmMain.frmMain";

  // Without a port list the system's own serial ports are listed.
  explicit frmMain(std::unique_ptr<SerialPortList> systemPorts = nullptr);
  ~frmMain() override;

  // The open main window, built when there is none.
  static frmMain& implicitInstance();

  SerialControl& srlMain() override;
  ComboBox& popCom() override;
  CheckBox& chkAutoAnswer() override;
  TextArea& txtHexlog() override;
  TextArea& txtLogger() override;
  TextArea& TextArea1();  // hidden copy of ReceiveBuffer, refreshed every second
  Timer& tmrBusy();
  PushButton& PushButton1();
  Timer& Timer1();
  TextArea& TextArea2();  // hidden copy of SentBuffer, refreshed every second
  PushButton& cmdForce();
  TextArea& txtOverride() override;
  CheckBox& chkOverride() override;

  // Keeps the log's caret after its last character, so the newest line is in view.
  void txtLogger_TextChange(TextArea&);
  void Timer1_Action(Timer&);

  // The items of the window's menu bar.
  MenuItem& EditMenu();
  MenuItem& EditSelectAll();
  MenuItem& EditSeparator2();
  MenuItem& EditClear();
  MenuItem& EditPaste();
  MenuItem& EditCopy();
  MenuItem& EditCut();
  MenuItem& EditSeparator1();
  MenuItem& EditUndo();
  MenuItem& FileMenu();
  QuitMenuItem& FileQuit();

  // Lists the system's serial ports in the chooser, in index order; chooses none.
  void Event_Open();

 protected:
  void Layout() override;
  void CreateControls() override;
  void Open() override { Event_Open(); }
  void closeEvent(QCloseEvent* event) override;

  const SerialPortList& SystemSerialPorts() override { return *systemPorts_; }
  void ShowDebugWindow() override;

 private:
  class _wrapper_srlMain;
  class _wrapper_tmrBusy;
  class _wrapper_Timer1;

  void _CreateControls0();
  MenuItem& menuItem(const std::string& name) const;

  std::unique_ptr<SerialPortList> systemPorts_;
};
