#pragma once

#include <QPlainTextEdit>
#include <array>
#include <string>
#include <string_view>

#include "connection/controls.h"
#include "console/event.h"
#include "console/screen_control.h"

class QTextBlock;

// A text area that the operator can type into. A carriage return in the text is a line break
// on the screen, and every line break reads back as a carriage return. What the program sets or
// appends leaves nothing to undo; the operator's typing can be undone as far as that.
class TextArea : public QPlainTextEdit, public ScreenControl, public TextControl {
 public:
  explicit TextArea(QWidget* parent);

  std::string Text() const override;
  // A text that continues the current one, maybe less a front part, is set by removing that
  // part and adding the rest, so a growing text costs what changed rather than its length.
  // Setting the text that the area holds changes nothing and raises no TextChange.
  void SetText(std::string_view text) override;
  // Inserts at the end, without touching what is already there.
  void AppendText(std::string_view text) override;
  // Puts the caret before the character of that index (from 0); the length puts it after the
  // last character and brings the end into view.
  void SetSelStart(int position);
  // The length of the text in characters.
  int Length() const;

  // Cuts lines longer than the area's width into rows, each a line of the document of its own,
  // where the area would otherwise wrap them: the editor lays out a whole line anew at every
  // change, at a cost that grows with the square of its length. Text(), Length(), SetSelStart
  // and the clipboard see the lines uncut. Rows are cut in text that the program sets (ASCII
  // text; other text shows as it is) to the width that the area has when its whole text is set.
  void setRowWrap(bool on);

  bool applyProperty(const Property& property) override;

  // After every change of the text, by the program or by the operator.
  Event<TextArea> TextChange;

 protected:
  QMimeData* createMimeDataFromSelection() const override;

 private:
  // Makes one change of the program's, which leaves nothing to undo.
  template <typename Change>
  void programChange(Change change);
  // The same, raising TextChange once, when it is complete.
  template <typename Change>
  void changeText(Change change);
  bool editInPlace(std::string_view text);
  void replaceText(std::string_view text);
  void insertAtEnd(QTextCursor& end, std::string_view text);
  void measureRows();
  qreal rowWidth(const QTextBlock& block) const;
  // The document position of a character of the text, and the text between two positions, with
  // the row breaks left out and ParagraphSeparator at every other break.
  int documentPosition(int index) const;
  QString uncutText(int from, int to) const;
  void setColour(QPalette::ColorRole role, Colour colour);

  // The text as the program set it, while no other change came after; each character of it
  // reads back from the document as itself.
  std::string text_;
  bool textKnown_ = true;
  bool changing_ = false;
  bool rowWrap_ = false;
  // How wide each ASCII character is, and how wide a row may be, as they were when the rows
  // were last cut afresh.
  std::array<qreal, 128> advances_{};
  qreal rowSpace_ = 0;
};
