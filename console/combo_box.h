#pragma once

#include <QComboBox>
#include <string>

#include "connection/controls.h"
#include "console/event.h"
#include "console/screen_control.h"

// A chooser with a list of rows that also takes typed text. Change is raised when a row is
// picked from the open list and when typed text is confirmed with Return, never for a wheel turn
// or an arrow key over the closed chooser; ListIndex is -1 while the text is typed.
class ComboBox : public QComboBox, public ScreenControl, public ChooserControl {
 public:
  explicit ComboBox(QWidget* parent);

  void AddRow(const std::string& text) override;
  // The chosen row, from 0; -1 while none is chosen or the text is typed.
  int ListIndex() const override;
  // Chooses a row without raising Change; ignored while there is no such row.
  void SetListIndex(int row);
  std::string Text() const override;

  bool applyProperty(const Property& property) override;

  Event<ComboBox> Change;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  bool typed_ = false;  // the text is the operator's, not a row's
};
