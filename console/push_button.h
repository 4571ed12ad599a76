#pragma once

#include <QPushButton>

#include "console/event.h"
#include "console/screen_control.h"

class PushButton : public QPushButton, public ScreenControl {
 public:
  explicit PushButton(QWidget* parent);

  bool applyProperty(const Property& property) override;

  // On each press.
  Event<PushButton> Action;
};
