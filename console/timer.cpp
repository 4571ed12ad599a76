#include "console/timer.h"

Timer::Timer(QObject* parent) : QObject(parent) {
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
}

void Timer::SetMode(int mode) {
  mode_ = mode;
  restart();
}

void Timer::SetPeriod(int milliseconds) {
  period_ = milliseconds;
  restart();
}

void Timer::restart() {
  timer_.stop();
  if (mode_ != 1 && mode_ != 2) return;
  timer_.setSingleShot(mode_ == 1);
  timer_.start(period_);
}

void Timer::tick() {
  if (mode_ == 1) mode_ = 0;
  Action.raise(*this);
}

bool Timer::applyProperty(const Property& property) {
  if (property.name == "Period") {
    SetPeriod(property.asInt32());
  } else if (property.name == "Mode") {
    SetMode(property.asInt32());
  } else {
    return Control::applyProperty(property);
  }
  return true;
}
