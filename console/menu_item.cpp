#include "console/menu_item.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <utility>

void MenuItem::Append(std::unique_ptr<MenuItem> item) {
  children_.push_back(std::move(item));
}

MenuItem* MenuItem::Child(const std::string& name) const {
  for (const auto& child : children_) {
    if (child->Name() == name) return child.get();
  }
  return nullptr;
}

MenuItem* MenuItem::_Lookup(const std::string& name) const {
  for (const auto& child : children_) {
    if (child->Name() == name) return child.get();
    if (MenuItem* found = child->_Lookup(name)) return found;
  }
  return nullptr;
}

void MenuItem::Action() const {
  auto* area = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget());
  if (!area) return;
  if (name_ == "EditUndo") {
    area->undo();
  } else if (name_ == "EditCut") {
    area->cut();
  } else if (name_ == "EditCopy") {
    area->copy();
  } else if (name_ == "EditPaste") {
    area->paste();
  } else if (name_ == "EditClear") {
    QTextCursor selection = area->textCursor();
    selection.removeSelectedText();
    area->setTextCursor(selection);
  } else if (name_ == "EditSelectAll") {
    area->selectAll();
  }
}
