#include "console/text_area.h"

#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextLayout>
#include <random>
#include <string>
#include <vector>

#include "console_test_support.h"

namespace {

std::string hexDigits(std::size_t count, unsigned seed) {
  std::minstd_rand random(seed);
  std::string digits(count, '0');
  for (char& digit : digits) digit = "0123456789ABCDEF"[random() % 16];
  return digits;
}

// What the document holds with every break taken out, rows or lines.
std::string shownWithoutBreaks(const TextArea& area) {
  return area.document()->toRawText().remove(QChar::ParagraphSeparator).toStdString();
}

// What a copy of a text puts on the clipboard: a line feed at each line break, and a plain space
// for a no-break space.
std::string asCopied(const std::string& text) {
  return QString::fromStdString(text)
      .replace(u'\r', u'\n')
      .replace(QChar::Nbsp, u' ')
      .toStdString();
}

std::string copiedWhole(TextArea& area) {
  QGuiApplication::clipboard()->clear();
  area.selectAll();
  area.copy();
  return QGuiApplication::clipboard()->text().toStdString();
}

// How many lines a block takes on the screen, laid out now if it was not yet.
int lineCount(const QTextBlock& block) {
  block.document()->documentLayout()->blockBoundingRect(block);
  return block.layout()->lineCount();
}

class TextAreaTest : public WindowTest {
 protected:
  void SetUp() override {
    parent.resize(968, 396);
    area.setGeometry(10, 44, 417, 348);  // the hex view's place
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
  }
  QWidget parent;
  TextArea area{&parent};
};

TEST_F(TextAreaTest, TextReadsBackAsSetThroughEveryKindOfChange) {
  const std::string hex = hexDigits(3000, 1);
  const std::string lines = std::string("0102\r\r").append(hex, 0, 300);
  const std::string moreLines = std::string(lines).append("\rAB");
  const std::string noBreak =
      "no\xC2\xA0"
      "break";
  struct Step {
    const char* what;
    std::string text;
    int textChanges = 1;
    std::string readBack = text;
  };
  const std::vector<Step> steps = {
      {"first text", hex.substr(0, 1000)},
      {"tail added", hex.substr(0, 1700)},
      {"front consumed", hex.substr(32, 1668)},
      {"front consumed, tail added", hex.substr(100)},
      {"the same again", hex.substr(100), 0},
      {"replaced", hexDigits(500, 2)},
      {"line breaks", lines},
      {"a line added", moreLines},
      {"the first line consumed", moreLines.substr(5)},
      {"line feeds", "01\n02\r\n03", 1, "01\r02\r03"},
      {"breaks at both ends", "\ra\r\rb\r"},
      {"a no-break space", noBreak},
      {"a tail after text that is not ASCII", noBreak + " 2"},
      {"emptied", ""},
  };
  int textChanges = 0;
  area.TextChange.addHandler([&textChanges](TextArea&) { ++textChanges; });
  for (const bool rows : {false, true}) {
    area.setRowWrap(rows);
    for (const Step& step : steps) {
      SCOPED_TRACE(std::string(step.what) + (rows ? " (rows)" : ""));
      textChanges = 0;
      area.SetText(step.text);
      EXPECT_EQ(area.Text(), step.readBack);
      EXPECT_EQ(area.Length(), QString::fromStdString(step.readBack).size());
      EXPECT_EQ(shownWithoutBreaks(area),
                QString::fromStdString(step.readBack).remove(u'\r').toStdString());
      EXPECT_EQ(textChanges, step.textChanges);
      EXPECT_EQ(copiedWhole(area), asCopied(step.readBack));
    }
  }
}

TEST_F(TextAreaTest, ChangesAtEitherEndLeaveTheRestInPlace) {
  const std::string hex = hexDigits(2000, 3);
  area.SetText(hex.substr(0, 1000));
  area.document()->firstBlock().setUserState(42);  // gone if the text were set anew
  area.SetText(hex.substr(0, 1500));
  area.SetText(hex.substr(40, 1600));
  EXPECT_EQ(area.document()->firstBlock().userState(), 42);
  area.SetText(hex.substr(41, 1000));  // neither: replaced
  EXPECT_NE(area.document()->firstBlock().userState(), 42);

  // In rows a long text keeps its rows: a cursor in the middle stays on its character.
  area.setRowWrap(true);
  const std::string longHex = hexDigits(140'000, 4);
  area.SetText(longHex);
  QTextCursor middle(area.document());
  middle.setPosition(70'000);
  const QChar marked = area.document()->characterAt(middle.position());
  area.SetText(longHex.substr(30) + "ABCD");
  EXPECT_EQ(area.Text(), longHex.substr(30) + "ABCD");
  EXPECT_EQ(area.document()->characterAt(middle.position()), marked);
  EXPECT_EQ(middle.position(), 70'000 - 30);
}

// Undo is the operator's, for the operator's typing: the log's lines are there to stay.
TEST_F(TextAreaTest, ProgramChangesLeaveNothingToUndoAndRaiseTextChange) {
  std::vector<std::string> seen;
  area.TextChange.addHandler([&seen](TextArea& sender) { seen.push_back(sender.Text()); });
  for (const bool rows : {false, true}) {
    SCOPED_TRACE(rows ? "rows" : "lines");
    const std::string before = area.Text();
    area.setRowWrap(rows);
    area.undo();
    EXPECT_EQ(area.Text(), before);
    seen.clear();
    area.SetText("\rfirst");
    area.document()->firstBlock().setUserState(42);  // gone if the text were set anew
    area.AppendText("\rsecond");
    area.AppendText(" and more");
    area.undo();
    EXPECT_EQ(area.Text(), "\rfirst\rsecond and more");
    EXPECT_EQ(area.document()->firstBlock().userState(), 42);
    EXPECT_EQ(area.blockCount(), 3);
    area.SetSelStart(area.Length());
    QTest::keyClicks(&area, "xy");
    area.undo();
    EXPECT_EQ(seen,
              (std::vector<std::string>{"\rfirst", "\rfirst\rsecond", "\rfirst\rsecond and more",
                                        "\rfirst\rsecond and morex", "\rfirst\rsecond and morexy",
                                        "\rfirst\rsecond and more"}));
  }
}

TEST_F(TextAreaTest, RowsFillTheWidthAsTheWrappedLineDid) {
  QPlainTextEdit wrapped(&parent);
  wrapped.setGeometry(area.geometry());
  wrapped.show();
  area.setRowWrap(true);
  // A text that replaces another is cut into rows afresh.
  for (const std::string& text : {hexDigits(6000, 5), hexDigits(3000, 6)}) {
    SCOPED_TRACE(text.size());
    wrapped.setPlainText(QString::fromStdString(text));
    area.SetText(text);
    QCoreApplication::processEvents();
    const int wrappedLines = lineCount(wrapped.document()->firstBlock());
    int rows = 0;
    for (QTextBlock row = area.document()->firstBlock(); row.isValid(); row = row.next(), ++rows) {
      ASSERT_EQ(lineCount(row), 1) << "row " << rows;
    }
    // A row holds as much as a wrapped line, or a character less where kerning might not fit it.
    EXPECT_GE(rows, wrappedLines);
    EXPECT_LE(rows, wrappedLines + wrappedLines / 25);
  }
}

TEST_F(TextAreaTest, OperatorEditsInRowsReadBackWithoutTheRowBreaks) {
  area.setRowWrap(true);
  const std::string hex = hexDigits(500, 6);
  area.SetText(hex);
  ASSERT_GT(area.blockCount(), 5);
  for (int i = 0; i < static_cast<int>(hex.size()); ++i) {
    area.SetSelStart(i);
    ASSERT_EQ(area.document()->characterAt(area.textCursor().position()), QChar(hex[i])) << i;
  }
  area.SetSelStart(area.Length());
  EXPECT_EQ(area.textCursor().position(), area.document()->characterCount() - 1);

  area.setFocus();
  area.SetSelStart(130);
  QTest::keyClicks(&area, "Z");
  QTest::keyClick(&area, Qt::Key_Return);
  const std::string typed = hex.substr(0, 130) + "Z\r" + hex.substr(130);
  EXPECT_EQ(area.Text(), typed);
  EXPECT_EQ(area.Length(), static_cast<int>(typed.size()));
  EXPECT_EQ(copiedWhole(area), asCopied(typed));

  area.SetText(hex.substr(0, 400));  // the typed text makes way for the program's
  EXPECT_EQ(area.Text(), hex.substr(0, 400));
  EXPECT_EQ(shownWithoutBreaks(area), hex.substr(0, 400));
}

}  // namespace
