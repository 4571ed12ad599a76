#pragma once

#include <QLabel>

#include "console/event.h"
#include "console/screen_control.h"

class Label : public QLabel, public ScreenControl {
 public:
  explicit Label(QWidget* parent);

  void raiseOpen() override { Open.raise(*this); }
  bool applyProperty(const Property& property) override;

  // Once, when the window has built its controls.
  Event<Label> Open;
};
