#include "console/main_menu_bar.h"

#include <memory>
#include <optional>

#include "console/quit_menu_item.h"

namespace {

std::unique_ptr<MainMenuBar>& holder() {
  static std::unique_ptr<MainMenuBar> instance;
  return instance;
}

void setUp(MenuItem& item, const char* name, const char* text,
           std::optional<const char*> shortcut) {
  item.SetName(name);
  item.SetAutoEnable(true);
  item.SetText(text);
  item.SetVisible(true);
  if (shortcut) item.SetKeyboardShortcut(*shortcut);
}

}  // namespace

MainMenuBar& MainMenuBar::implicitInstance() {
  if (!holder()) holder().reset(new MainMenuBar());
  return *holder();
}

bool MainMenuBar::exists() {
  return holder() != nullptr;
}

void MainMenuBar::implicitInstanceInit() {}

void MainMenuBar::implicitInstanceExit() {
  holder().reset();
}

MainMenuBar::MainMenuBar() {
  Untitled0();
  Untitled1();
}

void MainMenuBar::Untitled0() {
  auto fileMenu = std::make_unique<MenuItem>();
  setUp(*fileMenu, "FileMenu", "&File", "");
  Append(std::move(fileMenu));

  auto quit = std::make_unique<QuitMenuItem>();
  setUp(*quit, "FileQuit", "&Quit", "Cmd+Q");
  Child("FileMenu")->Append(std::move(quit));
}

void MainMenuBar::Untitled1() {
  auto editMenu = std::make_unique<MenuItem>();
  setUp(*editMenu, "EditMenu", "&Edit", "");
  Append(std::move(editMenu));

  struct Row {
    const char* name;
    const char* text;
    std::optional<const char*> shortcut;  // none: the separators get no shortcut at all
  };
  static constexpr Row kRows[] = {
      {"EditUndo", "&Undo", "Cmd+Z"},        {"EditSeparator1", "-", std::nullopt},
      {"EditCut", "Cu&t", "Cmd+X"},          {"EditCopy", "&Copy", "Cmd+C"},
      {"EditPaste", "&Paste", "Cmd+V"},      {"EditClear", "&Delete", ""},
      {"EditSeparator2", "-", std::nullopt}, {"EditSelectAll", "Select &All", "Cmd+A"},
  };
  for (const Row& row : kRows) {
    auto item = std::make_unique<MenuItem>();
    setUp(*item, row.name, row.text, row.shortcut);
    Child("EditMenu")->Append(std::move(item));
  }
}
