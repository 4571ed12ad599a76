#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <string>
#include <utility>
#include <vector>

#include "console/main_menu_bar.h"
#include "console/quit_menu_item.h"
#include "main_window_fixture.h"

namespace {

using MenuTest = MainWindowTest;

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

TEST_F(MenuTest, FileAndEditMenusOnEveryWindowAndEditItemsActOnTheFocusedTextArea) {
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
  ASSERT_TRUE(waitUntil([&] { return QApplication::focusWidget() == &area; }));
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
