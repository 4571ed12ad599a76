#include "console/screen_control.h"

#include <QApplication>
#include <QWidget>

namespace {

bool isFontProperty(const std::string& name) {
  return name == "TextFont" || name == "TextSize" || name == "TextUnit" || name == "Bold" ||
         name == "Italic" || name == "Underline";
}

void applyFontProperty(QWidget& widget, const Property& property) {
  QFont font = widget.font();
  if (property.name == "TextFont") {
    // "System" is the platform's own font for controls.
    const std::string& family = property.asString();
    if (family == "System") {
      font.setFamilies(QApplication::font().families());
    } else {
      font.setFamily(QString::fromStdString(family));
    }
  } else if (property.name == "TextSize") {
    // 0 keeps the platform's size; anything else is in the unit of TextUnit, points here.
    const float size = property.asSingle();
    font.setPointSizeF(size > 0 ? size : QApplication::font().pointSizeF());
  } else if (property.name == "TextUnit") {
    // 0 is the default unit, points; the other units are not used here.
  } else if (property.name == "Bold") {
    font.setBold(property.asBoolean());
  } else if (property.name == "Italic") {
    font.setItalic(property.asBoolean());
  } else {
    font.setUnderline(property.asBoolean());
  }
  widget.setFont(font);
}

}  // namespace

bool ScreenControl::applyProperty(const Property& property) {
  const std::string& name = property.name;
  if (name == "Left") {
    place_.moveLeft(property.asInt32());
    widget_.setGeometry(place_);
  } else if (name == "Top") {
    place_.moveTop(property.asInt32());
    widget_.setGeometry(place_);
  } else if (name == "Width") {
    place_.setWidth(property.asInt32());
    widget_.setGeometry(place_);
  } else if (name == "Height") {
    place_.setHeight(property.asInt32());
    widget_.setGeometry(place_);
  } else if (name == "Visible") {
    widget_.setVisible(property.asBoolean());
  } else if (name == "Enabled") {
    widget_.setEnabled(property.asBoolean());
  } else if (name == "TabIndex") {
    tabIndex_ = property.asInt32();  // the window orders the focus chain by it
  } else if (name == "TabStop") {
    if (!property.asBoolean()) widget_.setFocusPolicy(Qt::ClickFocus);
  } else if (name == "HelpTag") {
    widget_.setToolTip(QString::fromStdString(property.asString()));
  } else if (isFontProperty(name)) {
    applyFontProperty(widget_, property);
  } else if (name == "LockLeft" || name == "LockTop" || name == "LockRight" ||
             name == "LockBottom") {
    // Controls sit at fixed places in the interior, which is anchoring to the left and top
    // edges; no control here is anchored to the right or bottom edge.
  } else if (name == "TabPanelIndex" || name == "InitialParent") {
    // No control sits on a tab panel or inside another control: 0 means the window itself.
  } else if (name == "AutoDeactivate" || name == "UseFocusRing") {
    // Greying out while the application is in the background, and the platform's focus ring
    // around the focused control: Qt's style draws focus its own way and has no such greying.
  } else if (name == "DataField" || name == "DataSource") {
    // Binding to a database column; nothing is bound here.
  } else {
    if (name == "Name") widget_.setObjectName(QString::fromStdString(property.asString()));
    return Control::applyProperty(property);
  }
  return true;
}
