#pragma once

#include <QPlainTextEdit>
#include <string>
#include <string_view>

#include "connection/controls.h"
#include "console/event.h"
#include "console/screen_control.h"

// A text area that the operator can type into. A carriage return in the text is a line break
// on the screen, and every line break reads back as a carriage return.
class TextArea : public QPlainTextEdit, public ScreenControl, public TextControl {
 public:
  explicit TextArea(QWidget* parent);

  std::string Text() const override;
  void SetText(std::string_view text) override;
  // Inserts at the end, without touching what is already there.
  void AppendText(std::string_view text) override;
  // Puts the caret before the character of that index (from 0); the length puts it after the
  // last character and brings the end into view.
  void SetSelStart(int position);
  // The length of the text in characters, without reading the text.
  int Length() const;

  bool applyProperty(const Property& property) override;

  // After every change of the text, by the program or by the operator.
  Event<TextArea> TextChange;

 private:
  void setColour(QPalette::ColorRole role, Colour colour);
};
