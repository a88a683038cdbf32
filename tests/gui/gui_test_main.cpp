// Entry point of every GUI test program: the calculator's own application
// object (with its error report for what escapes an event handler) on the
// offscreen platform (unless the caller chose another), then GoogleTest.
#include <gtest/gtest.h>

#include "calc/App.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  TApp app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
