#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QMenuBar>
#include <QScrollBar>
#include <QWheelEvent>
#include <string>
#include <vector>

#include "console/framework.h"
#include "console/main_menu_bar.h"
#include "console/qt_colour.h"
#include "main_window_fixture.h"

namespace {

TEST_F(MainWindowTest, WindowSettings) {
  EXPECT_EQ(window->windowTitle(), "Korvandel");
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->interior()->size(), QSize(968, 396));
  EXPECT_EQ(window->interior()->minimumSize(), QSize(64, 64));
  EXPECT_EQ(window->interior()->maximumSize(), QSize(32000, 32000));
  EXPECT_TRUE(window->interior()->autoFillBackground());
  EXPECT_EQ(window->interior()->palette().color(QPalette::Window), QColor(Qt::black));
  ASSERT_NE(window->menuBarView(), nullptr);
  EXPECT_TRUE(window->menuBarView()->isVisible());
  EXPECT_EQ(window->menuBar(), &MainMenuBar::implicitInstance());
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
}

struct ControlRow {
  const char* name;
  QRect place;  // empty: no place on the screen
  bool visible;
  const char* caption;
  int textColour;  // -1: not set
  int backColour;
};

// The controls in creation order.
const ControlRow kControls[] = {
    {"srlMain", {}, false, nullptr, -1, -1},
    {"popCom", {10, 10, 123, 22}, true, "", -1, -1},
    {"chkAutoAnswer", {145, 11, 27, 20}, true, "", -1, -1},
    {"txtHexlog", {10, 44, 417, 348}, true, "", 0x0000FFFF, 0x00000000},
    {"txtLogger", {429, 44, 337, 349}, true, "", 0x0000FF00, 0x00000000},
    {"TextArea1", {10, 404, 407, 122}, false, "", 0x00000000, 0x00FFFFFF},
    {"tmrBusy", {}, false, nullptr, -1, -1},
    {"PushButton1", {167, 11, 114, 22}, true, "Force Patch", -1, -1},
    {"Timer1", {}, false, nullptr, -1, -1},
    {"TextArea2", {429, 404, 337, 122}, false, "", 0x00000000, 0x00FFFFFF},
    {"cmdForce", {293, 11, 124, 22}, true, "Force Reply", -1, -1},
    {"txtOverride", {769, 43, 199, 351}, true, "", 0x00FF8000, 0x00000000},
    {"chkOverride", {809, 11, 119, 20}, true, "Override SendQ", -1, -1},
};

QString captionOf(Control& control) {
  if (auto* area = dynamic_cast<TextArea*>(&control)) return QString::fromStdString(area->Text());
  if (auto* button = dynamic_cast<QAbstractButton*>(&control)) return button->text();
  if (auto* chooser = dynamic_cast<ComboBox*>(&control)) return chooser->currentText();
  return {};
}

TEST_F(MainWindowTest, ControlsSitAtTheirPlacesInCreationOrder) {
  build({});  // without ports the chooser holds no row and no text
  EXPECT_EQ(window->popCom().count(), 0);
  const std::vector<Control*>& controls = window->controls();
  ASSERT_EQ(controls.size(), std::size(kControls));
  for (std::size_t i = 0; i < std::size(kControls); ++i) {
    const ControlRow& row = kControls[i];
    SCOPED_TRACE(row.name);
    Control& control = *controls[i];
    EXPECT_EQ(control.Name(), row.name);
    auto* widget = dynamic_cast<QWidget*>(&control);
    if (row.place.isEmpty()) {
      EXPECT_EQ(widget, nullptr);
      continue;
    }
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), window->interior());
    EXPECT_EQ(widget->geometry(), row.place);
    EXPECT_EQ(widget->isVisible(), row.visible);
    EXPECT_EQ(captionOf(control), row.caption);
    EXPECT_EQ(widget->font().family(), QApplication::font().family());
    EXPECT_FALSE(widget->font().bold());
    if (row.textColour >= 0) {
      EXPECT_EQ(widget->palette().color(QPalette::Text),
                toQColor(Colour{std::uint32_t(row.textColour)}));
      EXPECT_EQ(widget->palette().color(QPalette::Base),
                toQColor(Colour{std::uint32_t(row.backColour)}));
    }
  }
  EXPECT_NE(dynamic_cast<SerialControl*>(&window->srlMain()), nullptr);
  EXPECT_EQ(window->Timer1().Period(), 1000);
  EXPECT_EQ(window->Timer1().Mode(), 2);
  EXPECT_EQ(window->tmrBusy().Period(), 6000);
  EXPECT_EQ(window->tmrBusy().Mode(), 0);
  const QtSerial::LineSettings& line = window->srlMain().lineSettings();
  EXPECT_TRUE(line.dtr && !line.cts && !line.xon);
  EXPECT_EQ(std::vector<int>({line.stop, line.parity, line.bits, line.baud}),
            std::vector<int>({0, 0, 3, 4}));
}

TEST_F(MainWindowTest, TabOrderFollowsTabIndex) {
  const std::vector<std::string> expected = {
      "popCom",      "chkAutoAnswer", "txtHexlog", "txtLogger",   "TextArea1",
      "PushButton1", "TextArea2",     "cmdForce",  "txtOverride", "chkOverride"};
  std::vector<std::string> order;
  QWidget* widget = &window->popCom();
  do {
    if (auto* control = dynamic_cast<Control*>(widget);
        control && widget->parentWidget() == window->interior()) {
      order.push_back(control->Name());
    }
    widget = widget->nextInFocusChain();
  } while (widget != &window->popCom() && order.size() <= expected.size());
  EXPECT_EQ(order, expected);
}

TEST_F(MainWindowTest, OnlyARowPickedFromTheListOpensAPortAndItIsTheDeviceItNames) {
  ComboBox& chooser = window->popCom();
  ASSERT_EQ(chooser.count(), 3);
  EXPECT_EQ(chooser.itemText(0), "A");
  EXPECT_EQ(chooser.itemText(1), "B");
  EXPECT_EQ(chooser.itemText(2), "C");
  // Start-up chooses no row and opens no port.
  EXPECT_EQ(chooser.ListIndex(), -1);
  EXPECT_EQ(chooser.Text(), "");
  int changes = 0;
  chooser.Change.addHandler([&changes](ComboBox&) { ++changes; });

  // Stray keys and wheel turns over the closed chooser choose nothing.
  for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown}) {
    QTest::keyClick(&chooser, key);
  }
  const QPointF middle = QRectF(chooser.rect()).center();
  QWheelEvent wheel(middle, chooser.mapToGlobal(middle), {}, QPoint(0, -120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(&chooser, &wheel);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(window->txtLogger().Text(), "");

  // An adapter plugged in since the list was made comes first in the system's list now.
  window->systemPorts.names = {"X", "A", "B", "C"};
  chooser.showPopup();
  QAbstractItemView& list = *chooser.view();
  ASSERT_TRUE(waitUntil([&] { return list.isVisible(); }));
  const QPoint row = list.visualRect(list.model()->index(1, 0)).center();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, row);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(chooser.ListIndex(), 1);
  EXPECT_TRUE(window->txtLogger().Text().starts_with("\rCould not open /dev/B: "))
      << window->txtLogger().Text();
}

TEST_F(MainWindowTest, LogCaretStaysAtTheEndAfterDebugLog) {
  TextArea& log = window->txtLogger();
  window->DebugLog("one");
  window->DebugLog("two");
  EXPECT_EQ(log.Text(), "\rone\rtwo");
  EXPECT_EQ(log.textCursor().position(), log.Length());

  log.SetSelStart(0);
  for (int i = 0; i < 200; ++i) window->DebugLog("line " + std::to_string(i));
  EXPECT_EQ(log.textCursor().position(), log.Length());
  QCoreApplication::processEvents();
  EXPECT_EQ(log.verticalScrollBar()->value(), log.verticalScrollBar()->maximum());
  EXPECT_GT(log.verticalScrollBar()->maximum(), 0);
}

TEST_F(MainWindowTest, LogCaretGoesToTheEndAfterTyping) {
  TextArea& log = window->txtLogger();
  window->DebugLog("State 0 : Reserved for CID");
  log.SetSelStart(1);
  QTest::keyClicks(&log, "ab");
  // Each key is typed where the caret stands, and each change sends the caret to the end.
  EXPECT_EQ(log.Text(), "\raState 0 : Reserved for CIDb");
  EXPECT_EQ(log.textCursor().position(), log.Length());
}

TEST_F(MainWindowTest, HexViewShowsItsOneLineInRows) {
  TextArea& hexView = window->txtHexlog();
  std::string hex;
  for (int i = 0; i < 3000; ++i) hex += "0123456789ABCDEF"[i * 7 % 16];
  hexView.SetText(hex);
  EXPECT_EQ(hexView.Text(), hex);
  EXPECT_GT(hexView.blockCount(), 3000 / 60);  // rows of some fifty digits
}

TEST_F(MainWindowTest, Timer1MirrorsTheBuffersIntoTheHiddenAreas) {
  window->ReceiveBuffer = "0102030405";
  window->SentBuffer = "0A0B";
  ASSERT_TRUE(waitUntil([&] { return window->TextArea1().Text() == "0102030405"; }, 3000));
  EXPECT_EQ(window->TextArea2().Text(), "0A0B");
  window->disconnectReset();
  ASSERT_TRUE(waitUntil([&] { return window->TextArea1().Text().empty(); }, 3000));
  EXPECT_TRUE(window->TextArea2().Text().empty());
  EXPECT_TRUE(window->TextArea1().isHidden());
  EXPECT_TRUE(window->TextArea2().isHidden());
}

TEST_F(MainWindowTest, ResizingMovesAndStretchesNothing) {
  std::vector<QRect> before;
  for (Control* control : window->controls()) {
    if (auto* widget = dynamic_cast<QWidget*>(control)) before.push_back(widget->geometry());
  }
  // The smallest window is an interior of 64 x 64 under the menu bar.
  for (const QSize size : {QSize(2000, 1200), window->minimumSize()}) {
    window->resize(size);
    ASSERT_TRUE(waitUntil([&] { return window->size() == size; }));
    std::vector<QRect> after;
    for (Control* control : window->controls()) {
      if (auto* widget = dynamic_cast<QWidget*>(control)) after.push_back(widget->geometry());
    }
    EXPECT_EQ(after, before);
    EXPECT_TRUE(window->TextArea1().isHidden());
  }
  EXPECT_EQ(window->interior()->size(), QSize(64, 64));
}

TEST_F(MainWindowTest, ButtonsReachTheEngine) {
  EXPECT_FALSE(window->DoneReading);
  QTest::mouseClick(&window->PushButton1(), Qt::LeftButton);
  EXPECT_TRUE(window->DoneReading);  // "Force Patch" declares the box's data complete

  // "Force Reply" acknowledges at once, leaving Busy as it was.
  for (const bool busy : {true, false}) {
    window->Busy = busy;
    window->txtLogger().SetText("");
    QTest::mouseClick(&window->cmdForce(), Qt::LeftButton);
    EXPECT_EQ(window->txtLogger().Text(), "\rForced Reply!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!");
    EXPECT_EQ(window->Busy, busy);
  }
}

TEST_F(MainWindowTest, TheLogShowsALostPortAndTheLoginLabelsAsTheyAre) {
  window->srlMain().SetSerialPort("/dev/ttyUSB3");
  window->srlMain().PortLost.raise(window->srlMain(), "device unplugged");
  EXPECT_EQ(window->txtLogger().Text(), "\rLost serial port /dev/ttyUSB3: device unplugged");

  // A system version and a version and game count; every label's trailing blank stays.
  window->txtLogger().SetText("");
  window->ReceiveBuffer =
      "0F"
      "0001"
      "00000002"
      "10"
      "00000003"
      "04";
  window->BuildSendQue();
  EXPECT_TRUE(window->txtLogger().Text().starts_with(
      "\rSystem Version Major\r0001\rSystem Version Minor \r00000002"
      "\rNGP VERSION \r00000003\rNumber of Games??? \r04\r"))
      << window->txtLogger().Text();
}

TEST_F(MainWindowTest, OneMainWindowFoundByItsClassName) {
  EXPECT_EQ(Framework::_GetImplicitWindow("frmMain.frmMain"), window);
  EXPECT_EQ(&frmMain::implicitInstance(), window);
  window->Close();
  EXPECT_EQ(Framework::_GetImplicitWindow("frmMain.frmMain"), nullptr);
}

}  // namespace
