// The console tests run on one QApplication; `console_tests --start-up SCENARIO` instead runs
// the program's whole start-up and shut-down in this fresh process (see start_up_test.cpp).
#include <gtest/gtest.h>

#include <QApplication>
#include <cstring>

int runStartUpScenario(const char* scenario);  // in start_up_test.cpp

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (argc == 3 && std::strcmp(argv[1], "--start-up") == 0) return runStartUpScenario(argv[2]);

  testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
