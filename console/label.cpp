#include "console/label.h"

#include "console/qt_colour.h"

Label::Label(QWidget* parent) : QLabel(parent), ScreenControl(this) {
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

bool Label::applyProperty(const Property& property) {
  const std::string& name = property.name;
  if (name == "Text") {
    setText(QString::fromStdString(property.asString()));
  } else if (name == "TextColor") {
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, toQColor(property.asColour()));
    setPalette(colours);
  } else if (name == "Multiline") {
    setWordWrap(property.asBoolean());
  } else if (name == "TextAlign") {
    // 0 is the default: left; 1 centre, 2 right.
    const int align = property.asInt32();
    const Qt::Alignment horizontal = align == 1   ? Qt::AlignHCenter
                                     : align == 2 ? Qt::AlignRight
                                                  : Qt::AlignLeft;
    setAlignment(horizontal | Qt::AlignTop);
  } else if (name == "Selectable") {
    setTextInteractionFlags(property.asBoolean() ? Qt::TextSelectableByMouse
                                                 : Qt::NoTextInteraction);
  } else if (name == "Transparent") {
    // A transparent label lets the window's background show through; Qt labels fill nothing
    // unless asked to.
    setAutoFillBackground(!property.asBoolean());
  } else {
    return ScreenControl::applyProperty(property);
  }
  return true;
}
