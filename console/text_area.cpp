#include "console/text_area.h"

#include <QApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "console/qt_colour.h"

TextArea::TextArea(QWidget* parent) : QPlainTextEdit(parent), ScreenControl(this) {
  // The frame and the scroll bar take the platform's colours, not the window's background,
  // against which a dark window would hide them.
  QPalette colours = palette();
  colours.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
  setPalette(colours);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  connect(this, &QPlainTextEdit::textChanged, this, [this] { TextChange.raise(*this); });
}

std::string TextArea::Text() const {
  // The raw text keeps every character as it is (no-break spaces too) and holds a paragraph
  // separator at each line break.
  QString text = document()->toRawText();
  text.replace(QChar::ParagraphSeparator, u'\r');
  text.replace(QChar::LineSeparator, u'\r');
  return text.toStdString();
}

void TextArea::SetText(std::string_view text) {
  // QTextDocument breaks the line at a carriage return, a line feed or the pair of them.
  setPlainText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void TextArea::AppendText(std::string_view text) {
  QTextCursor end(document());
  end.movePosition(QTextCursor::End);
  end.insertText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void TextArea::SetSelStart(int position) {
  QTextCursor caret = textCursor();
  caret.setPosition(std::clamp(position, 0, Length()));
  setTextCursor(caret);
  ensureCursorVisible();
}

int TextArea::Length() const {
  return document()->characterCount() - 1;
}

void TextArea::setColour(QPalette::ColorRole role, Colour colour) {
  QPalette colours = palette();
  colours.setColor(role, toQColor(colour));
  setPalette(colours);
}

bool TextArea::applyProperty(const Property& property) {
  const std::string& name = property.name;
  if (name == "Text") {
    SetText(property.asString());
  } else if (name == "TextColor") {
    setColour(QPalette::Text, property.asColour());
  } else if (name == "BackColor") {
    setColour(QPalette::Base, property.asColour());
  } else if (name == "ReadOnly") {
    setReadOnly(property.asBoolean());
  } else if (name == "AcceptTabs") {
    setTabChangesFocus(!property.asBoolean());
  } else if (name == "Border") {
    setFrameShape(property.asBoolean() ? QFrame::StyledPanel : QFrame::NoFrame);
  } else if (name == "ScrollbarVertical") {
    setVerticalScrollBarPolicy(property.asBoolean() ? Qt::ScrollBarAsNeeded
                                                    : Qt::ScrollBarAlwaysOff);
  } else if (name == "ScrollbarHorizontal") {
    // Without a horizontal bar long lines wrap at the area's width.
    const bool bar = property.asBoolean();
    setHorizontalScrollBarPolicy(bar ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setLineWrapMode(bar ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
  } else if (name == "Multiline") {
    // Every text area here is multi-line, which a QPlainTextEdit always is.
  } else if (name == "Styled") {
    // Styled text would keep runs of fonts and colours; the texts here are plain, one colour.
  } else if (name == "Alignment") {
    // 0 is the default alignment: left.
  } else if (name == "LimitText") {
    // 0: no limit on the length.
  } else if (name == "Mask" || name == "Format") {
    // An input mask and a display format; empty is free text.
  } else if (name == "AutomaticallyCheckSpelling") {
    // Qt Widgets has no spelling checker.
  } else if (name == "HideSelection") {
    // Qt shows the selection of an unfocused area in its inactive colours.
  } else if (name == "LineSpacing" || name == "LineHeight") {
    // 1.0 and 0.0: single spacing, each line as high as the font makes it.
  } else {
    return ScreenControl::applyProperty(property);
  }
  return true;
}
