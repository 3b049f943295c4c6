// The Qt tests' own entry point: the one application object lives on main's
// stack, so it is gone before the library's own objects are torn down at exit.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  // No display is needed, also when the tests are only being listed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
