#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTest>
#include <functional>

#include "console/window.h"

// Processes events until the condition holds or the time is up; true when it held.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
  return QTest::qWaitFor(condition, timeoutMs);
}

// Destroys every window a test left behind, closed ones included.
class WindowTest : public testing::Test {
 protected:
  void TearDown() override {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Window::destroyAllWindows();
  }
};
