#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "connection/memory_serial.h"
#include "console/frm_main.h"

// Destroys every window a test left behind, closed ones included.
class WindowTest : public testing::Test {
 protected:
  void TearDown() override {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Window::destroyAllWindows();
  }
};

// The main window built as start-up builds it, over a port list of the test's choosing.
class TestMainWindow : public frmMain {
 public:
  explicit TestMainWindow(std::vector<std::string> ports)
      : TestMainWindow(new MemoryPortList(std::move(ports)), 0) {}
  using frmMain::ShowDebugWindow;

  MemoryPortList& systemPorts;  // the list as the system would change it

 private:
  TestMainWindow(MemoryPortList* ports, int)
      : frmMain(std::unique_ptr<SerialPortList>(ports)), systemPorts(*ports) {}
};

class MainWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    window = new TestMainWindow({"A", "B", "C"});
    window->Constructor();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  }

  TestMainWindow* window = nullptr;
};
