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

#include "main_window_fixture.h"

namespace {

std::string hexDigits(std::size_t count, unsigned seed) {
  std::minstd_rand random(seed);
  std::string digits(count, '0');
  for (char& digit : digits) digit = "0123456789ABCDEF"[random() % 16];
  return digits;
}

// Text() and Length() give the text back, and a copy of the whole puts it on the clipboard with
// a line feed at each line break and a plain space for a no-break space.
void expectReadsBack(TextArea& area, const std::string& text) {
  EXPECT_EQ(area.Text(), text);
  EXPECT_EQ(area.Length(), QString::fromStdString(text).size());
  QGuiApplication::clipboard()->clear();
  area.selectAll();
  area.copy();
  EXPECT_EQ(
      QGuiApplication::clipboard()->text().toStdString(),
      QString::fromStdString(text).replace(u'\r', u'\n').replace(QChar::Nbsp, u' ').toStdString());
}

// Whether a block still holds a mark set before a change: the text was not set anew.
bool marked(const TextArea& area) {
  for (QTextBlock block = area.document()->begin(); block.isValid(); block = block.next()) {
    if (block.userData()) return true;
  }
  return false;
}

// How many lines a block takes on the screen, laid out now if it was not yet.
int lineCount(const QTextBlock& block) {
  block.document()->documentLayout()->blockBoundingRect(block);
  return block.layout()->lineCount();
}

class TextAreaTest : public WindowTest {
 protected:
  void SetUp() override {
    area.setGeometry(10, 44, 417, 348);  // the hex view's place
    parent.show();
  }
  QWidget parent;
  TextArea area{&parent};
};

// Undo is the operator's, for the operator's typing: the log's lines are there to stay.
TEST_F(TextAreaTest, ProgramChangesReadBackAsSetRaiseTextChangeOnceAndLeaveNothingToUndo) {
  const std::string hex = hexDigits(3000, 1);
  const std::string lines = "0102\r\r" + hex.substr(0, 300);
  const std::string moreLines = lines + "\rAB";
  const std::string noBreak = "no\u00A0break";
  struct Step {
    const char* what;
    std::string text;
    bool inPlace = false;  // changed at its ends, not set anew
    std::size_t textChanges = 1;
    std::string readBack = text;
  };
  const std::vector<Step> steps = {
      {"first text", hex.substr(0, 1000)},
      {"tail added", hex.substr(0, 1700), true},
      {"front consumed", hex.substr(32, 1668), true},
      {"front consumed, tail added", hex.substr(100), true},
      {"the same again", hex.substr(100), true, 0},
      {"replaced", hexDigits(500, 2)},
      {"line breaks", lines},
      {"a line added", moreLines, true},
      {"the first line consumed", moreLines.substr(5), true},
      {"line feeds", "01\n02\r\n03", false, 1, "01\r02\r03"},
      {"breaks at both ends", "\ra\r\rb\r"},
      {"a no-break space", noBreak},
      {"a tail after text that is not ASCII", noBreak + " 2"},
      {"emptied", ""},
      {"a break in front", "\rone"},
  };
  std::vector<std::string> seen;
  area.TextChange.addHandler([&seen](TextArea& sender) { seen.push_back(sender.Text()); });
  for (const bool rows : {false, true}) {
    seen.clear();
    area.setRowWrap(rows);  // the text laid out afresh, unchanged, and nothing to undo
    area.undo();
    EXPECT_EQ(seen, std::vector<std::string>{}) << "row wrap " << rows;
    for (const Step& step : steps) {
      SCOPED_TRACE(std::string(step.what) + (rows ? " (rows)" : ""));
      seen.clear();
      area.document()->lastBlock().setUserData(new QTextBlockUserData);  // gone if set anew
      area.SetText(step.text);
      area.undo();
      expectReadsBack(area, step.readBack);
      EXPECT_EQ(seen.size(), step.textChanges);
      EXPECT_EQ(marked(area), step.inPlace);
    }
    SCOPED_TRACE(rows ? "appended in rows" : "appended");
    seen.clear();
    area.AppendText("\rtwo");
    area.AppendText(" \u00F6");
    area.undo();
    expectReadsBack(area, "\rone\rtwo \u00F6");
    area.SetSelStart(area.Length());
    QTest::keyClicks(&area, "xy");
    area.undo();
    EXPECT_EQ(seen,
              (std::vector<std::string>{"\rone\rtwo", "\rone\rtwo \u00F6", "\rone\rtwo \u00F6x",
                                        "\rone\rtwo \u00F6xy", "\rone\rtwo \u00F6"}));
  }
}

// Rows hold what the area's wrapped line would: a text set anew is cut afresh, and a tail added
// goes on filling the last row. The operator's edits in rows read back without the row breaks.
TEST_F(TextAreaTest, RowsFillTheWidthAndReadBackWithoutTheirBreaks) {
  QPlainTextEdit wrapped(&parent);
  wrapped.setGeometry(area.geometry());
  wrapped.show();
  area.setRowWrap(true);
  const std::string hex = hexDigits(3500, 6);
  for (const std::string& text : {hex.substr(0, 3000), hex}) {
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
  for (int i = 0; i < 500; ++i) {
    area.SetSelStart(i);
    ASSERT_EQ(area.document()->characterAt(area.textCursor().position()), QChar(hex[i])) << i;
  }
  area.SetSelStart(130);
  QTest::keyClicks(&area, "Z\r");
  expectReadsBack(area, hex.substr(0, 130) + "Z\r" + hex.substr(130));
  area.SetText(hex.substr(0, 400));  // the typed text makes way for the program's
  expectReadsBack(area, hex.substr(0, 400));
}

}  // namespace
