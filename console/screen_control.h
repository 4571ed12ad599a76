#pragma once

#include <QRect>
#include <cstdint>

#include "console/control.h"

class QWidget;

// A control with a place in the window's interior. Handles the settings that every such control
// carries: place and size, visibility, focus, font and the codes that mean nothing on Qt.
class ScreenControl : public Control {
 public:
  explicit ScreenControl(QWidget* widget) : widget_(*widget) {}

  QWidget& widget() const { return widget_; }
  std::int32_t TabIndex() const { return tabIndex_; }

  bool applyProperty(const Property& property) override;

 private:
  QWidget& widget_;
  QRect place_;
  std::int32_t tabIndex_ = 0;
};
