#pragma once

#include <memory>
#include <string>
#include <vector>

// An item of a menu tree: a menu when it has children, a separator when its text is "-". The
// tree is a model; each window that shows it builds its own Qt view of it.
class MenuItem {
 public:
  MenuItem() = default;
  virtual ~MenuItem() = default;
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  // "&" marks the letter after it as the access key.
  const std::string& Text() const { return text_; }
  void SetText(std::string text) { text_ = std::move(text); }
  // "Cmd+" and a letter, the platform's command key with that letter, or empty for none.
  const std::string& KeyboardShortcut() const { return keyboardShortcut_; }
  void SetKeyboardShortcut(std::string shortcut) { keyboardShortcut_ = std::move(shortcut); }
  // True leaves enabling the item to the platform.
  bool AutoEnable() const { return autoEnable_; }
  void SetAutoEnable(bool on) { autoEnable_ = on; }
  bool Visible() const { return visible_; }
  void SetVisible(bool on) { visible_ = on; }

  bool isSeparator() const { return text_ == "-"; }

  // Adds a child after the existing ones.
  void Append(std::unique_ptr<MenuItem> item);
  // The direct child of that name, or none.
  MenuItem* Child(const std::string& name) const;
  // The item of that name anywhere below this one, or none.
  MenuItem* _Lookup(const std::string& name) const;
  const std::vector<std::unique_ptr<MenuItem>>& children() const { return children_; }

  // What choosing the item does. The standard editing items (EditUndo, EditCut, EditCopy,
  // EditPaste, EditClear, EditSelectAll) act on the focused text area; other items do nothing.
  virtual void Action() const;

 private:
  std::string name_;
  std::string text_;
  std::string keyboardShortcut_;
  bool autoEnable_ = false;
  bool visible_ = true;
  std::vector<std::unique_ptr<MenuItem>> children_;
};
