#include "console/check_box.h"

CheckBox::CheckBox(QWidget* parent) : QCheckBox(parent), ScreenControl(this) {
  connect(this, &QCheckBox::clicked, this, [this] { Action.raise(*this); });
}

int CheckBox::State() const {
  switch (checkState()) {
    case Qt::Checked:
      return 1;
    case Qt::PartiallyChecked:
      return 2;
    default:
      return 0;
  }
}

bool CheckBox::applyProperty(const Property& property) {
  const std::string& name = property.name;
  if (name == "Caption") {
    setText(QString::fromStdString(property.asString()));
  } else if (name == "State") {
    const int state = property.asInt32();
    setTristate(state == 2);
    setCheckState(state == 1 ? Qt::Checked : state == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
  } else if (name == "Value") {
    setChecked(property.asBoolean());
  } else {
    return ScreenControl::applyProperty(property);
  }
  return true;
}
