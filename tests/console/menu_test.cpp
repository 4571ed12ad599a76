#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <string>
#include <vector>

#include "console/main_menu_bar.h"
#include "console/quit_menu_item.h"
#include "main_window_fixture.h"

namespace {

struct MenuRow {
  const char* name;
  const char* text;
  const char* shortcut;  // as set on the item
  QKeySequence keys;     // as Qt shows it
  bool quits;
};

const MenuRow kFileMenu[] = {
    {"FileQuit", "&Quit", "Cmd+Q", QKeySequence(Qt::CTRL | Qt::Key_Q), true},
};

const MenuRow kEditMenu[] = {
    {"EditUndo", "&Undo", "Cmd+Z", QKeySequence(Qt::CTRL | Qt::Key_Z), false},
    {"EditSeparator1", "-", "", {}, false},
    {"EditCut", "Cu&t", "Cmd+X", QKeySequence(Qt::CTRL | Qt::Key_X), false},
    {"EditCopy", "&Copy", "Cmd+C", QKeySequence(Qt::CTRL | Qt::Key_C), false},
    {"EditPaste", "&Paste", "Cmd+V", QKeySequence(Qt::CTRL | Qt::Key_V), false},
    {"EditClear", "&Delete", "", {}, false},
    {"EditSeparator2", "-", "", {}, false},
    {"EditSelectAll", "Select &All", "Cmd+A", QKeySequence(Qt::CTRL | Qt::Key_A), false},
};

template <std::size_t N>
void expectMenu(const MenuItem& menu, const MenuRow (&rows)[N], const QMenu& view) {
  ASSERT_EQ(menu.children().size(), N);
  const QList<QAction*> actions = view.actions();
  ASSERT_EQ(actions.size(), static_cast<qsizetype>(N));
  for (std::size_t i = 0; i < N; ++i) {
    const MenuRow& row = rows[i];
    SCOPED_TRACE(row.name);
    const MenuItem& item = *menu.children()[i];
    EXPECT_EQ(item.Name(), row.name);
    EXPECT_EQ(item.Text(), row.text);
    EXPECT_EQ(item.KeyboardShortcut(), row.shortcut);
    EXPECT_TRUE(item.AutoEnable());
    EXPECT_TRUE(item.Visible());
    EXPECT_EQ(dynamic_cast<const QuitMenuItem*>(&item) != nullptr, row.quits);

    const QAction& action = *actions[static_cast<qsizetype>(i)];
    EXPECT_EQ(action.objectName().toStdString(), row.name);
    EXPECT_EQ(action.isSeparator(), std::string(row.text) == "-");
    if (!action.isSeparator()) {
      EXPECT_EQ(action.text(), row.text);
    }
    EXPECT_EQ(action.shortcut(), row.keys);
  }
}

class MenuTest : public MainWindowTest {
 protected:
  QAction* action(const char* name) { return window->menuBarView()->findChild<QAction*>(name); }
};

TEST_F(MenuTest, FileAndEditMenusInOrder) {
  const MainMenuBar& bar = MainMenuBar::implicitInstance();
  ASSERT_EQ(bar.children().size(), 2u);
  const MenuItem& file = *bar.children()[0];
  const MenuItem& edit = *bar.children()[1];
  EXPECT_EQ(file.Name(), "FileMenu");
  EXPECT_EQ(file.Text(), "&File");
  EXPECT_EQ(edit.Name(), "EditMenu");
  EXPECT_EQ(edit.Text(), "&Edit");

  const QList<QAction*> menus = window->menuBarView()->actions();
  ASSERT_EQ(menus.size(), 2);
  EXPECT_EQ(menus[0]->text(), "&File");
  EXPECT_EQ(menus[1]->text(), "&Edit");
  expectMenu(file, kFileMenu, *menus[0]->menu());
  expectMenu(edit, kEditMenu, *menus[1]->menu());
}

TEST_F(MenuTest, TheWindowSharesTheOneMenuBar) {
  EXPECT_EQ(window->menuBar(), &MainMenuBar::implicitInstance());
  EXPECT_EQ(&window->FileQuit(), MainMenuBar::implicitInstance()._Lookup("FileQuit"));
  EXPECT_EQ(&window->EditClear(), MainMenuBar::implicitInstance()._Lookup("EditClear"));
  // A second window shows the same items, not a copy of them.
  auto* second = new TestMainWindow({});
  second->Constructor();
  EXPECT_EQ(second->menuBar(), window->menuBar());
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

TEST_F(MenuTest, QuitEndsTheEventLoop) {
  bool quitChosen = false;
  QTimer::singleShot(0, [&] {
    quitChosen = true;
    action("FileQuit")->trigger();
  });
  // Should Quit fail, the loop still ends, later, and the test fails.
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
  guard.start(10000);
  EXPECT_EQ(QCoreApplication::exec(), 0);
  EXPECT_TRUE(quitChosen);
}

}  // namespace
