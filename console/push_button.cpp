#include "console/push_button.h"

PushButton::PushButton(QWidget* parent) : QPushButton(parent), ScreenControl(this) {
  connect(this, &QPushButton::clicked, this, [this] { Action.raise(*this); });
}

bool PushButton::applyProperty(const Property& property) {
  const std::string& name = property.name;
  if (name == "Caption") {
    setText(QString::fromStdString(property.asString()));
  } else if (name == "Default") {
    // Drawn as the default button; Qt lets Return press it only in dialogs, and these windows
    // are not dialogs, so Return presses neither of the main window's two default buttons.
    setDefault(property.asBoolean());
  } else if (name == "Cancel") {
    // Escape would press it; no button here is one.
  } else if (name == "ButtonStyle") {
    // 0 is the platform's ordinary push button.
  } else {
    return ScreenControl::applyProperty(property);
  }
  return true;
}
