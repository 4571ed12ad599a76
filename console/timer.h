#pragma once

#include <QObject>
#include <QTimer>

#include "console/control.h"
#include "console/event.h"

// A timer control: Action at each tick. Mode 0 is off and never ticks, 1 ticks once after one
// period and then turns off, 2 ticks once every period.
class Timer : public QObject, public Control {
 public:
  explicit Timer(QObject* parent);

  int Mode() const { return mode_; }
  int Period() const { return period_; }
  void SetMode(int mode);
  void SetPeriod(int milliseconds);

  bool applyProperty(const Property& property) override;

  Event<Timer> Action;

 private:
  void restart();
  void tick();

  QTimer timer_;
  int mode_ = 0;
  int period_ = 1000;
};
