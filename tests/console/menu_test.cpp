#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <string>
#include <vector>

#include "console/main_menu_bar.h"
#include "console/quit_menu_item.h"
#include "main_window_fixture.h"

namespace {

// The menus as a window shows them, one line an action: name, text or "-", keys; a menu's
// items follow it, indented.
std::vector<std::string> shown(const QWidget& menu, const std::string& indent = "") {
  std::vector<std::string> lines;
  for (const QAction* action : menu.actions()) {
    const QString keys = action->shortcut().toString();
    lines.push_back(indent + action->objectName().toStdString() + " " +
                    (action->isSeparator() ? "-" : action->text().toStdString()) +
                    (keys.isEmpty() ? "" : " " + keys.toStdString()) +
                    (action->isVisible() ? "" : " hidden"));
    if (action->menu()) {
      for (const std::string& line : shown(*action->menu(), indent + "  ")) lines.push_back(line);
    }
  }
  return lines;
}

class MenuTest : public MainWindowTest {
 protected:
  QAction* action(const char* name) { return window->menuBarView()->findChild<QAction*>(name); }
};

TEST_F(MenuTest, FileAndEditMenusInOrderOnEveryWindow) {
  const std::vector<std::string> expected = {"FileMenu &File",
                                             "  FileQuit &Quit Ctrl+Q",
                                             "EditMenu &Edit",
                                             "  EditUndo &Undo Ctrl+Z",
                                             "  EditSeparator1 -",
                                             "  EditCut Cu&t Ctrl+X",
                                             "  EditCopy &Copy Ctrl+C",
                                             "  EditPaste &Paste Ctrl+V",
                                             "  EditClear &Delete",
                                             "  EditSeparator2 -",
                                             "  EditSelectAll Select &All Ctrl+A"};
  EXPECT_EQ(shown(*window->menuBarView()), expected);
  for (const auto& menu : MainMenuBar::implicitInstance().children()) {
    EXPECT_TRUE(menu->AutoEnable()) << menu->Name();
    for (const auto& item : menu->children()) {
      EXPECT_TRUE(item->AutoEnable()) << item->Name();
      EXPECT_EQ(dynamic_cast<const QuitMenuItem*>(item.get()) != nullptr,
                item->Name() == "FileQuit");
    }
  }
  EXPECT_EQ(&window->FileQuit(), MainMenuBar::implicitInstance()._Lookup("FileQuit"));
  EXPECT_EQ(&window->EditClear(), MainMenuBar::implicitInstance()._Lookup("EditClear"));
  // A second window shows the same items, not a copy of them.
  auto* second = new TestMainWindow(std::vector<std::string>{});
  second->Constructor();
  EXPECT_EQ(second->menuBar(), window->menuBar());
  EXPECT_EQ(shown(*second->menuBarView()), expected);
  EXPECT_EQ(MainMenuBar::implicitInstance().children().size(), 2u);
}

TEST_F(MenuTest, EditItemsActOnTheFocusedTextArea) {
  QApplication::setActiveWindow(window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  TextArea& area = window->txtOverride();
  area.setFocus();
  ASSERT_TRUE(waitUntil([&] { return QApplication::focusWidget() == &area; }));
  area.SetText("0102");

  action("EditSelectAll")->trigger();
  action("EditCopy")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), "0102");
  action("EditClear")->trigger();
  EXPECT_EQ(area.Text(), "");
  action("EditPaste")->trigger();
  action("EditPaste")->trigger();
  EXPECT_EQ(area.Text(), "01020102");
  action("EditUndo")->trigger();
  EXPECT_EQ(area.Text(), "0102");
  action("EditSelectAll")->trigger();
  action("EditCut")->trigger();
  EXPECT_EQ(area.Text(), "");
  EXPECT_EQ(QApplication::clipboard()->text(), "0102");
  EXPECT_TRUE(window->txtLogger().Text().empty());  // the other areas are untouched
}

}  // namespace
