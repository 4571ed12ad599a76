#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "console/framework.h"
#include "console/frm_debug.h"
#include "console/main_menu_bar.h"
#include "console/quit_menu_item.h"
#include "main_window_fixture.h"

namespace {

// The controls in creation order, a line each: the name, and for a widget its place, shown or
// hidden and caption, and a text area's text on background colours. A widget in a font other than
// the application's plain one says so (one off the interior is missing from the tab order).
std::vector<std::string> shownControls(const Window& window) {
  std::vector<std::string> lines;
  for (Control* control : window.controls()) {
    QString line = QString::fromStdString(control->Name());
    if (auto* widget = dynamic_cast<QWidget*>(control)) {
      const QRect r = widget->geometry();
      line += QString(" %1,%2 %3x%4 ").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()) +
              (widget->isVisible() ? "shown '" : "hidden '");
      if (auto* button = dynamic_cast<QAbstractButton*>(widget)) line += button->text() + "'";
      if (auto* label = dynamic_cast<QLabel*>(widget)) line += label->text() + "'";
      if (auto* chooser = dynamic_cast<ComboBox*>(widget)) line += chooser->currentText() + "'";
      if (auto* area = dynamic_cast<TextArea*>(widget)) {
        line += QString::fromStdString(area->Text()) + "' " +
                area->palette().text().color().name() + " on " +
                area->palette().base().color().name();
      }
      if (widget->font().bold() || widget->font().family() != QApplication::font().family())
        line += " not in the plain font";
    }
    lines.push_back(line.toStdString());
  }
  return lines;
}

TEST_F(MainWindowTest, WindowAndControlsAsBuiltStayPutWhenResized) {
  EXPECT_EQ(window->windowTitle(), "Korvandel");
  QWidget& interior = *window->interior();
  EXPECT_EQ(std::vector<QSize>({interior.size(), interior.minimumSize(), interior.maximumSize()}),
            std::vector<QSize>({{968, 396}, {64, 64}, {32000, 32000}}));
  EXPECT_TRUE(interior.autoFillBackground());
  EXPECT_EQ(interior.palette().color(QPalette::Window), QColor(Qt::black));
  ASSERT_TRUE(window->menuBarView() && window->menuBarView()->isVisible());
  EXPECT_TRUE(window->windowFlags().testFlags(
      Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));

  const std::vector<std::string> controls = {
      "srlMain",
      "popCom 10,10 123x22 shown ''",  // rows listed, none chosen
      "chkAutoAnswer 145,11 27x20 shown ''",
      "txtHexlog 10,44 417x348 shown '' #00ffff on #000000",
      "txtLogger 429,44 337x349 shown '' #00ff00 on #000000",
      "TextArea1 10,404 407x122 hidden '' #000000 on #ffffff",
      "tmrBusy",
      "PushButton1 167,11 114x22 shown 'Force Patch'",
      "Timer1",
      "TextArea2 429,404 337x122 hidden '' #000000 on #ffffff",
      "cmdForce 293,11 124x22 shown 'Force Reply'",
      "txtOverride 769,43 199x351 shown '' #ff8000 on #000000",
      "chkOverride 809,11 119x20 shown 'Override SendQ'"};
  EXPECT_EQ(shownControls(*window), controls);
  // Timer1's period and mode, tmrBusy's; the line's DTR, CTS, XON, stop, parity, bits and baud.
  const QtSerial::LineSettings& line = window->srlMain().lineSettings();
  EXPECT_EQ(std::vector<int>({window->Timer1().Period(), window->Timer1().Mode(),
                              window->tmrBusy().Period(), window->tmrBusy().Mode(), line.dtr,
                              line.cts, line.xon, line.stop, line.parity, line.bits, line.baud}),
            std::vector<int>({1000, 2, 6000, 0, 1, 0, 0, 0, 0, 3, 4}));

  std::string tabOrder;
  QWidget* widget = &window->popCom();
  do {
    auto* control = dynamic_cast<Control*>(widget);
    if (control && widget->parentWidget() == &interior) tabOrder += control->Name() + " ";
    widget = widget->nextInFocusChain();
  } while (widget != &window->popCom() && tabOrder.size() < 200);
  EXPECT_EQ(tabOrder,
            "popCom chkAutoAnswer txtHexlog txtLogger TextArea1 PushButton1 TextArea2 "
            "cmdForce txtOverride chkOverride ");

  // The smallest window is an interior of 64 x 64 under the menu bar.
  for (const QSize size : {QSize(2000, 1200), window->minimumSize()}) {
    window->resize(size);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->size() == size; }));
    EXPECT_EQ(shownControls(*window), controls) << "at " << size.width() << "x" << size.height();
  }
  EXPECT_EQ(interior.size(), QSize(64, 64));

  EXPECT_EQ(Framework::_GetImplicitWindow("frmMain.frmMain"), window);
  EXPECT_EQ(&frmMain::implicitInstance(), window);
  window->Close();
  EXPECT_EQ(Framework::_GetImplicitWindow("frmMain.frmMain"), nullptr);
}

TEST_F(MainWindowTest, OnlyARowPickedFromTheListOpensAPortAndItIsTheDeviceItNames) {
  ComboBox& chooser = window->popCom();
  QStringList rows;
  for (int i = 0; i < chooser.count(); ++i) rows << chooser.itemText(i);
  EXPECT_EQ(rows, QStringList({"A", "B", "C"}));
  int changes = 0;
  chooser.Change.addHandler([&changes](ComboBox&) { ++changes; });

  // Stray keys and wheel turns over the closed chooser choose nothing.
  for (auto key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown})
    QTest::keyClick(&chooser, key);
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
  ASSERT_TRUE(QTest::qWaitFor([&] { return list.isVisible(); }));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                    list.visualRect(list.model()->index(1, 0)).center());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(chooser.ListIndex(), 1);
  EXPECT_TRUE(window->txtLogger().Text().starts_with("\rCould not open /dev/B: "))
      << window->txtLogger().Text();

  // Confirmed text chooses the row it names, or else is the path of a device.
  const std::tuple<const char*, Qt::Key, int, std::string> confirmed[] = {
      {"A", Qt::Key_Enter, 0, "/dev/A"}, {"/dev/ttyNone", Qt::Key_Return, -1, "/dev/ttyNone"}};
  for (const auto& [typed, key, row, device] : confirmed) {
    window->txtLogger().SetText("");
    chooser.clearEditText();
    QTest::keyClicks(&chooser, typed);
    QTest::keyClick(&chooser, key);
    EXPECT_EQ(chooser.ListIndex(), row) << typed;
    EXPECT_TRUE(window->txtLogger().Text().starts_with("\rCould not open " + device + ": "))
        << typed << ": " << window->txtLogger().Text();
  }
  EXPECT_EQ(changes, 3);
}

TEST_F(MainWindowTest, HexAreasShowTheirOneLineInRowsAndTimer1MirrorsTheSentBuffer) {
  window->txtHexlog().SetText(std::string(3000, 'A'));
  EXPECT_GT(window->txtHexlog().blockCount(), 3000 / 60);  // rows of some fifty digits
  // TextArea1's mirror of the received payload is followed through two calls end to end.
  window->SentBuffer = "0A0B";
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->TextArea2().Text() == "0A0B"; }, 3000));
  window->disconnectReset();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->TextArea2().Text().empty(); }, 3000));
}

TEST_F(MainWindowTest, TheLogKeepsItsCaretAtTheEndAndShowsButtonsAPortLossAndTheLoginLabels) {
  TextArea& log = window->txtLogger();
  window->DebugLog("one");
  log.SetSelStart(1);
  QTest::keyClicks(&log, "ab");
  // Each key is typed where the caret stands, and each change sends the caret to the end.
  EXPECT_EQ(log.Text(), "\raoneb");
  EXPECT_EQ(log.textCursor().position(), log.Length());

  log.SetSelStart(0);
  for (int i = 0; i < 200; ++i) window->DebugLog("line " + std::to_string(i));
  EXPECT_EQ(log.textCursor().position(), log.Length());
  QCoreApplication::processEvents();
  EXPECT_GT(log.verticalScrollBar()->maximum(), 0);
  EXPECT_EQ(log.verticalScrollBar()->value(), log.verticalScrollBar()->maximum());

  log.SetText("");
  EXPECT_FALSE(window->DoneReading);
  QTest::mouseClick(&window->PushButton1(), Qt::LeftButton);
  EXPECT_TRUE(window->DoneReading);  // "Force Patch" declares the box's data complete
  // "Force Reply" acknowledges at once, leaving Busy as it was.
  for (const bool busy : {true, false}) {
    window->Busy = busy;
    QTest::mouseClick(&window->cmdForce(), Qt::LeftButton);
    EXPECT_EQ(window->Busy, busy);
  }
  window->srlMain().SetSerialPort("/dev/ttyUSB3");
  window->srlMain().PortLost.raise(window->srlMain(), "device unplugged");
  EXPECT_EQ(log.Text(),
            "\rForced Reply!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!"
            "\rForced Reply!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!"
            "\rLost serial port /dev/ttyUSB3: device unplugged");

  // A system version and a version and game count; every label's trailing blank stays.
  log.SetText("");
  window->ReceiveBuffer = "0F000100000002100000000304";  // 0F 0001 00000002, 10 00000003 04
  window->BuildSendQue();
  EXPECT_TRUE(
      log.Text().starts_with("\rSystem Version Major\r0001\rSystem Version Minor \r00000002"
                             "\rNGP VERSION \r00000003\rNumber of Games??? \r04\r"))
      << log.Text();
}

// The log shows a login field's control bytes as control pictures; each must be drawn as its
// own glyph, not as the box of a glyph the fonts lack (drawn here for U+2427, which is unassigned).
TEST_F(MainWindowTest, TheLogDrawsEachControlPictureAsAGlyphOfItsOwn) {
  const auto drawing = [&](char32_t character) {
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(window->txtLogger().font());
    painter.drawText(16, 40, QString::fromUcs4(&character, 1));
    return image;
  };
  const QImage box = drawing(U'\u2427');
  ASSERT_TRUE(box != drawing(U' '));
  const char32_t pictures[] = {U'\u2400', U'\u2401', U'\u241F'};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE("U+" + QString::number(pictures[i], 16).toStdString());
    EXPECT_TRUE(drawing(pictures[i]) != box);
    EXPECT_TRUE(drawing(pictures[i]) != drawing(pictures[(i + 1) % 3]));
  }
}

frmDebug* openDebugWindow() {
  return dynamic_cast<frmDebug*>(Framework::_GetImplicitWindow("frmDebug.frmDebug"));
}

// The copy is of the mirror as the last tick left it; a disconnect while the window is open
// only brings it back to the front; after OK the next one builds a fresh copy.
TEST_F(MainWindowTest, DebugWindowSettingsControlsAndOneWindowKeepingItsFirstCopyUntilOk) {
  window->Timer1().SetMode(0);  // the mirror, TextArea1, changes only when the test says
  window->TextArea1().SetText("4000AA55");
  window->ReceiveBuffer = "00112233";  // arrived after the last tick
  window->ShowDebugWindow();
  frmDebug* debug = openDebugWindow();
  ASSERT_NE(debug, nullptr);
  EXPECT_EQ(debug->windowTitle(), "Derod Azerirez");
  EXPECT_EQ(debug->interior()->size(), QSize(372, 400));
  EXPECT_EQ(debug->menuBarView(), nullptr);
  EXPECT_FALSE(debug->interior()->autoFillBackground());  // the platform's own background
  EXPECT_EQ(
      shownControls(*debug),
      std::vector<std::string>({"lblBlah 80,11 579x20 shown 'We hope your experience wasn't shit.'",
                                "TextArea1 0,43 372x311 shown '4000AA55' #000000 on #ffffff",
                                "cmdOk 0,356 372x44 shown 'OK'"}));
  EXPECT_FALSE(debug->lblBlah().wordWrap());
  EXPECT_EQ(debug->lblBlah().palette().color(QPalette::WindowText), QColor(Qt::black));
  EXPECT_FALSE(debug->TextArea1().isReadOnly());
  EXPECT_TRUE(debug->cmdOk().isDefault());
  EXPECT_EQ(debug->lblBlah().nextInFocusChain(), &debug->TextArea1());

  window->TextArea1().SetText("0102");
  for (const Qt::WindowStates state :
       {Qt::WindowMinimized | Qt::WindowMaximized, Qt::WindowStates(Qt::WindowMinimized)}) {
    debug->setWindowState(state);
    window->ShowDebugWindow();
    EXPECT_EQ(openDebugWindow(), debug);
    EXPECT_EQ(debug->windowState(), state & ~Qt::WindowMinimized) << state.toInt();
  }
  EXPECT_EQ(debug->TextArea1().Text(), "4000AA55");

  QTest::mouseClick(&debug->cmdOk(), Qt::LeftButton);
  EXPECT_EQ(openDebugWindow(), nullptr);
  window->TextArea1().SetText("BEEF");
  window->ShowDebugWindow();
  ASSERT_NE(openDebugWindow(), nullptr);
  EXPECT_EQ(openDebugWindow()->TextArea1().Text(), "BEEF");
}

// The menus as a window shows them, one line an action: name, text or "-", keys; a menu's
// items follow it, indented.
std::string shown(const QWidget& menu, const std::string& indent = "") {
  std::string lines;
  for (const QAction* action : menu.actions()) {
    const QString keys = action->shortcut().toString();
    lines += indent + action->objectName().toStdString() + " " +
             (action->isSeparator() ? "-" : action->text().toStdString()) +
             (keys.isEmpty() ? "" : " " + keys.toStdString()) +
             (action->isVisible() ? "\n" : " hidden\n");
    if (action->menu()) lines += shown(*action->menu(), indent + "  ");
  }
  return lines;
}

TEST_F(MainWindowTest, MenusFileAndEditMenusOnEveryWindowAndEditItemsActOnTheFocusedTextArea) {
  const std::string expected =
      "FileMenu &File\n  FileQuit &Quit Ctrl+Q\nEditMenu &Edit\n  EditUndo &Undo Ctrl+Z\n"
      "  EditSeparator1 -\n  EditCut Cu&t Ctrl+X\n  EditCopy &Copy Ctrl+C\n"
      "  EditPaste &Paste Ctrl+V\n  EditClear &Delete\n  EditSeparator2 -\n"
      "  EditSelectAll Select &All Ctrl+A\n";
  EXPECT_EQ(shown(*window->menuBarView()), expected);
  for (const auto& menu : MainMenuBar::implicitInstance().children()) {
    EXPECT_TRUE(menu->AutoEnable()) << menu->Name();
    for (const auto& item : menu->children()) EXPECT_TRUE(item->AutoEnable()) << item->Name();
  }
  EXPECT_EQ(&window->FileQuit(), MainMenuBar::implicitInstance()._Lookup("FileQuit"));
  EXPECT_EQ(&window->EditClear(), MainMenuBar::implicitInstance()._Lookup("EditClear"));
  auto* second = new TestMainWindow(std::vector<std::string>{});
  second->Constructor();
  EXPECT_EQ(second->menuBar(), window->menuBar());  // the same items, not a copy of them
  EXPECT_EQ(shown(*second->menuBarView()), expected);

  QApplication::setActiveWindow(window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  TextArea& area = window->txtOverride();
  area.setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == &area; }));
  area.SetText("0102");
  // Each item in turn, and the text it leaves.
  const std::pair<const char*, const char*> steps[] = {
      {"EditSelectAll", "0102"}, {"EditCopy", "0102"},      {"EditClear", ""},
      {"EditPaste", "0102"},     {"EditPaste", "01020102"}, {"EditSelectAll", "01020102"},
      {"EditCut", ""},           {"EditUndo", "01020102"}};
  for (const auto& [item, text] : steps) {
    window->menuBarView()->findChild<QAction*>(item)->trigger();
    EXPECT_EQ(area.Text(), text) << "after " << item;
  }
  EXPECT_EQ(QApplication::clipboard()->text(), "01020102");
  EXPECT_TRUE(window->txtLogger().Text().empty());  // the other areas are untouched
}

}  // namespace
