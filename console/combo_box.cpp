#include "console/combo_box.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

ComboBox::ComboBox(QWidget* parent) : QComboBox(parent), ScreenControl(this) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  connect(this, &QComboBox::activated, this, [this] {
    typed_ = false;
    Change.raise(*this);
  });
  connect(lineEdit(), &QLineEdit::textEdited, this, [this] { typed_ = true; });
}

void ComboBox::AddRow(const std::string& text) {
  const bool first = count() == 0;
  addItem(QString::fromStdString(text));
  // Qt shows the first row added as chosen; here a row is chosen only by the operator, so the
  // chooser shows none until then.
  if (first && !typed_) setCurrentIndex(-1);
}

int ComboBox::ListIndex() const {
  return typed_ ? -1 : currentIndex();
}

void ComboBox::SetListIndex(int row) {
  if (row < 0 || row >= count()) return;
  typed_ = false;
  setCurrentIndex(row);
}

std::string ComboBox::Text() const {
  return currentText().toStdString();
}

void ComboBox::keyPressEvent(QKeyEvent* event) {
  // Over the closed chooser Qt would step to the next row and report it as chosen: a stray key
  // would then close the open port in the middle of a call. Alt+Down still opens the list.
  const int key = event->key();
  const bool alt = event->modifiers().testFlag(Qt::AltModifier);
  if (key == Qt::Key_Up || key == Qt::Key_PageUp || key == Qt::Key_PageDown ||
      (key == Qt::Key_Down && !alt)) {
    event->ignore();
    return;
  }
  if (key != Qt::Key_Return && key != Qt::Key_Enter) {
    QComboBox::keyPressEvent(event);
    return;
  }
  // Return confirms the text as it stands. Qt's own handling would pick a row that merely
  // resembles the text and raise nothing for any other text, so it is not passed on.
  const int row = findText(currentText(), Qt::MatchFixedString | Qt::MatchCaseSensitive);
  if (row >= 0) {
    SetListIndex(row);
  } else {
    typed_ = true;
  }
  event->accept();
  Change.raise(*this);
}

void ComboBox::wheelEvent(QWheelEvent* event) {
  // Qt would take a wheel notch as a choice of the next row; it scrolls whatever lies below.
  event->ignore();
}

bool ComboBox::applyProperty(const Property& property) {
  const std::string& name = property.name;
  if (name == "ListIndex") {
    // Takes effect only when the row is there: set while the list is still empty, it chooses
    // nothing, and the system's own code chooses no row later.
    SetListIndex(property.asInt32());
  } else if (name == "InitialValue") {
    // The initial rows, one per line.
    QString rows = QString::fromStdString(property.asString());
    rows.replace(u'\n', u'\r');
    for (const QString& row : rows.split(u'\r', Qt::SkipEmptyParts)) addItem(row);
  } else if (name == "AutoComplete") {
    // Without it typed text is left as typed, not completed from the rows.
    if (!property.asBoolean()) setCompleter(nullptr);
  } else {
    return ScreenControl::applyProperty(property);
  }
  return true;
}
