#include "console/text_area.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QMimeData>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

#include "console/qt_colour.h"

namespace {

// The user state of a block that continues the row before it: the break before it is a row
// break, which the text does not hold. Qt keeps a block's user state with the characters before
// a break that splits it, so the operator's line break in a row starts a block without it. The
// operator's joining of lines or undo can leave a break marked amiss, until the program next sets
// the text.
constexpr int kContinuedRow = 1;

bool continuesRow(const QTextBlock& block) {
  return block.userState() == kContinuedRow;
}

// ASCII without line feeds reads back from the document character for character: a line feed
// becomes a line break, and so does a carriage return together with the line feed after it.
bool isPlain(std::string_view text) {
  unsigned char high = 0;
  bool lineFeed = false;
  for (const char c : text) {  // without an early exit, so that the loop is vectorised
    high |= static_cast<unsigned char>(c);
    lineFeed |= c == '\n';
  }
  return high < 0x80 && !lineFeed;
}

QString fromPlain(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Where `text` picks `old` up: the least k for which `old` less its first k characters begins
// `text`, such that something of `old` is kept.
std::optional<std::size_t> keptFrom(std::string_view old, std::string_view text) {
  if (old.empty()) return std::nullopt;
  if (text.starts_with(old)) return 0;
  // Junk repeats itself and matches at many places; a few tries find a front that was consumed.
  constexpr int kTries = 4;
  constexpr std::size_t kProbe = 64;
  const std::string_view probe = text.substr(0, kProbe);
  std::size_t from = old.size() > text.size() ? old.size() - text.size() : 1;
  for (int i = 0; i < kTries && from < old.size(); ++i, ++from) {
    from = old.find(probe, from);
    if (from == std::string_view::npos) break;
    if (text.starts_with(old.substr(from))) return from;
  }
  return std::nullopt;
}

}  // namespace

TextArea::TextArea(QWidget* parent) : QPlainTextEdit(parent), ScreenControl(this) {
  // The frame and the scroll bar take the platform's colours, not the window's background,
  // against which a dark window would hide them.
  QPalette colours = palette();
  colours.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
  setPalette(colours);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  connect(this, &QPlainTextEdit::textChanged, this, [this] {
    if (changing_) return;
    // The operator's change: from now on only the document knows the text.
    textKnown_ = false;
    text_ = {};
    TextChange.raise(*this);
  });
}

template <typename Change>
void TextArea::programChange(Change change) {
  changing_ = true;
  // Undo is the operator's, for the operator's typing: it must not take the log's lines away.
  // Turning it off also clears what there was to undo, as setPlainText does.
  document()->setUndoRedoEnabled(false);
  change();
  document()->setUndoRedoEnabled(true);
  changing_ = false;
}

template <typename Change>
void TextArea::changeText(Change change) {
  programChange(change);
  TextChange.raise(*this);
}

std::string TextArea::Text() const {
  if (textKnown_) return text_;
  // The raw text keeps every character as it is (no-break spaces too) and holds a paragraph
  // separator at each line break.
  QString text =
      rowWrap_ ? uncutText(0, document()->characterCount() - 1) : document()->toRawText();
  text.replace(QChar::ParagraphSeparator, u'\r');
  text.replace(QChar::LineSeparator, u'\r');
  return text.toStdString();
}

void TextArea::SetText(std::string_view text) {
  if (textKnown_ && text == text_) return;
  changeText([&] {
    if (!textKnown_ || !editInPlace(text)) replaceText(text);
  });
}

void TextArea::AppendText(std::string_view text) {
  if (text.empty()) return;
  changeText([&] {
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    if (isPlain(text)) {
      insertAtEnd(end, text);
      if (textKnown_) text_.append(text);
    } else {
      end.insertText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
      textKnown_ = false;
      text_ = {};
    }
  });
}

bool TextArea::editInPlace(std::string_view text) {
  const std::optional<std::size_t> kept = keptFrom(text_, text);
  if (!kept) return false;
  const std::string_view tail = text.substr(text_.size() - *kept);
  if (!isPlain(tail)) return false;
  // A cut within a row leaves that row short rather than moving every row after it.
  const int cut = documentPosition(static_cast<int>(*kept));
  // Two edits rather than one edit block: the editor then lays out the blocks at either end
  // instead of every block from the first to the last.
  QTextCursor cursor(document());
  cursor.setPosition(cut, QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
  cursor.movePosition(QTextCursor::End);
  insertAtEnd(cursor, tail);
  text_ = text;
  return true;
}

void TextArea::replaceText(std::string_view text) {
  textKnown_ = isPlain(text);
  text_ = textKnown_ ? std::string(text) : std::string();
  if (!rowWrap_ || !textKnown_) {
    // QTextDocument breaks the line at a carriage return, a line feed or the pair of them.
    setPlainText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    return;
  }
  setPlainText(QString());
  measureRows();
  QTextCursor end(document());
  insertAtEnd(end, text);
  // The caret and the view at the start, where setPlainText leaves them.
  setTextCursor(QTextCursor(document()));
}

void TextArea::insertAtEnd(QTextCursor& end, std::string_view text) {
  if (!rowWrap_) {
    end.insertText(fromPlain(text));
    return;
  }
  // All rows in one insertion, their breaks marked after it: quicker than a row at a time.
  QString rows;
  rows.reserve(static_cast<qsizetype>(text.size() + text.size() / 32));
  std::vector<bool> continued;  // one for each break, in order
  qreal filled = rowWidth(end.block());
  for (const char c : text) {
    if (c == '\r') {
      rows += QChar::ParagraphSeparator;
      continued.push_back(false);
      filled = 0;
      continue;
    }
    const qreal advance = advances_[static_cast<unsigned char>(c)];
    if (filled > 0 && filled + advance > rowSpace_) {
      rows += QChar::ParagraphSeparator;
      continued.push_back(true);
      filled = 0;
    }
    rows += QLatin1Char(c);
    filled += advance;
  }
  end.beginEditBlock();
  QTextBlock block = end.block();
  end.insertText(rows);
  for (const bool row : continued) {
    block = block.next();
    if (row) block.setUserState(kContinuedRow);
  }
  end.endEditBlock();
}

void TextArea::measureRows() {
  const QFontMetricsF metrics(document()->defaultFont());
  for (std::size_t c = 0; c < advances_.size(); ++c) {
    advances_[c] = metrics.horizontalAdvance(QChar(static_cast<char16_t>(c)));
  }
  if (lineWrapMode() == QPlainTextEdit::NoWrap) {
    rowSpace_ = std::numeric_limits<qreal>::infinity();
    return;
  }
  // The vertical bar is counted in whether it shows or not, so that all rows keep one width.
  const int bar = verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff
                      ? 0
                      : style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  // Kerning and glyphs that overhang their advance make a row up to a pixel or two wider than
  // its advances add up to; a third of a digit to spare keeps each row on one screen line.
  rowSpace_ = contentsRect().width() - bar - 2 * document()->documentMargin() - advances_['0'] / 3;
}

qreal TextArea::rowWidth(const QTextBlock& block) const {
  qreal width = 0;
  for (const QChar c : block.text()) {
    // A character of unknown width, which only the operator can have put there, fills the row.
    width += c.unicode() < advances_.size() ? advances_[c.unicode()] : rowSpace_;
  }
  return width;
}

int TextArea::documentPosition(int index) const {
  if (!rowWrap_) return index;
  int start = 0;  // the index of the block's first character
  QTextBlock block = document()->begin();
  for (QTextBlock next = block.next(); next.isValid(); block = next, next = next.next()) {
    const int end = start + block.length() - 1;
    // At a row break the position goes to the start of the next row.
    if (index < end || (index == end && !continuesRow(next))) break;
    start = continuesRow(next) ? end : end + 1;
  }
  return block.position() + std::min(index - start, block.length() - 1);
}

QString TextArea::uncutText(int from, int to) const {
  QString text;
  for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
       block = block.next()) {
    if (block.position() > from && !continuesRow(block)) text += QChar::ParagraphSeparator;
    const int start = std::max(from - block.position(), 0);
    const int end = std::min(to - block.position(), block.length() - 1);
    text += block.text().mid(start, end - start);
  }
  return text;
}

QMimeData* TextArea::createMimeDataFromSelection() const {
  if (!rowWrap_) return QPlainTextEdit::createMimeDataFromSelection();
  const QTextCursor selection = textCursor();
  QString text = uncutText(selection.selectionStart(), selection.selectionEnd());
  // As the editor's own copy has it.
  text.replace(QChar::ParagraphSeparator, u'\n');
  text.replace(QChar::LineSeparator, u'\n');
  text.replace(QChar::Nbsp, u' ');
  auto* mime = new QMimeData;
  mime->setText(text);
  return mime;
}

void TextArea::SetSelStart(int position) {
  QTextCursor caret = textCursor();
  caret.setPosition(documentPosition(std::clamp(position, 0, Length())));
  setTextCursor(caret);
  ensureCursorVisible();
}

int TextArea::Length() const {
  if (textKnown_) return static_cast<int>(text_.size());
  const int count = document()->characterCount() - 1;
  return rowWrap_ ? static_cast<int>(uncutText(0, count).size()) : count;
}

void TextArea::setRowWrap(bool on) {
  if (on == rowWrap_) return;
  const std::string text = Text();
  rowWrap_ = on;
  // Laid out afresh, the text stays as it was: no TextChange.
  programChange([&] { replaceText(text); });
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
