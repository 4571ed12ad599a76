#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "connection/connection_engine.h"

// Controls held in memory, for running the engine without a window.
class MemoryText : public TextControl {
 public:
  std::string Text() const override { return text; }
  void SetText(std::string_view t) override {
    text = t;
    if (onChange) onChange();
  }
  void AppendText(std::string_view t) override {
    text.append(t);
    if (onChange) onChange();
  }
  std::string text;
  std::function<void()> onChange;
};

class MemoryCheck : public CheckControl {
 public:
  int State() const override { return state; }
  int state = 0;
};

class MemoryChooser : public ChooserControl {
 public:
  int ListIndex() const override { return listIndex; }
  std::string Text() const override { return text; }
  void AddRow(const std::string& row) override { rows.push_back(row); }
  int listIndex = -1;
  std::string text;
  std::vector<std::string> rows;
};

// The engine with in-memory controls around a given serial port and port list: used by the
// tests, the benchmarks and the headless driver.
class HeadlessEngine : public ConnectionEngine {
 public:
  HeadlessEngine(Serial& serial, const SerialPortList& ports) : serial_(serial), ports_(ports) {
    serial_.DataAvailable = [this] { srlMain_DataAvailable(); };
    serial_.PortLost = [this](const std::string& reason) { srlMain_PortLost(reason); };
  }
  ~HeadlessEngine() override {
    serial_.DataAvailable = nullptr;
    serial_.PortLost = nullptr;
  }

  MemoryText hexlog;
  MemoryText logger;
  MemoryText overrideText;
  MemoryCheck autoAnswer;
  MemoryCheck overrideBox;
  MemoryChooser chooser;
  int debugWindowShown = 0;
  std::function<void()> onDebugWindow;

 protected:
  Serial& srlMain() override { return serial_; }
  ChooserControl& popCom() override { return chooser; }
  CheckControl& chkAutoAnswer() override { return autoAnswer; }
  CheckControl& chkOverride() override { return overrideBox; }
  TextControl& txtHexlog() override { return hexlog; }
  TextControl& txtLogger() override { return logger; }
  TextControl& txtOverride() override { return overrideText; }
  const SerialPortList& SystemSerialPorts() override { return ports_; }
  void ShowDebugWindow() override {
    ++debugWindowShown;
    if (onDebugWindow) onDebugWindow();
  }

 private:
  Serial& serial_;
  const SerialPortList& ports_;
};
