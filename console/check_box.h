#pragma once

#include <QCheckBox>

#include "connection/controls.h"
#include "console/event.h"
#include "console/screen_control.h"

class CheckBox : public QCheckBox, public ScreenControl, public CheckControl {
 public:
  explicit CheckBox(QWidget* parent);

  // 0 clear, 1 ticked, 2 neither (mixed).
  int State() const override;

  bool applyProperty(const Property& property) override;

  // On each click, after the box has changed.
  Event<CheckBox> Action;
};
