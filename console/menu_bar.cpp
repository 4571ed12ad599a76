#include "console/menu_bar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <cstdint>
#include <string>
#include <string_view>

#include "console/runtime.h"

namespace {

std::string address(const void* object) {
  return std::to_string(reinterpret_cast<std::uintptr_t>(object));
}

// "Cmd+" is the platform's command key, which is Ctrl on this platform.
QKeySequence toKeySequence(const std::string& shortcut) {
  constexpr std::string_view kCommand = "Cmd+";
  if (shortcut.empty()) return {};
  std::string keys = shortcut;
  if (keys.starts_with(kCommand)) keys.replace(0, kCommand.size(), "Ctrl+");
  return QKeySequence(QString::fromStdString(keys), QKeySequence::PortableText);
}

void addItems(QWidget& menu, const MenuItem& parent) {
  for (const auto& child : parent.children()) {
    const MenuItem* item = child.get();
    QAction* action = nullptr;
    if (item->isSeparator()) {
      action = new QAction(&menu);
      action->setSeparator(true);
    } else if (!item->children().empty()) {
      auto* submenu = new QMenu(QString::fromStdString(item->Text()), &menu);
      addItems(*submenu, *item);
      action = submenu->menuAction();
    } else {
      action = new QAction(QString::fromStdString(item->Text()), &menu);
      action->setShortcut(toKeySequence(item->KeyboardShortcut()));
      QObject::connect(action, &QAction::triggered, action,
                       [item] { Runtime::runHandler([item] { item->Action(); }); });
    }
    action->setObjectName(QString::fromStdString(item->Name()));
    action->setVisible(item->Visible());
    menu.addAction(action);
  }
}

}  // namespace

MenuBar::MenuBar() {
  Runtime::trace("MenuBar.Constructor " + address(this));
}

MenuBar::~MenuBar() {
  Runtime::trace("MenuBar released " + address(this));
}

QMenuBar* MenuBar::createView(QWidget* window) const {
  auto* view = new QMenuBar(window);
  addItems(*view, *this);
  return view;
}
