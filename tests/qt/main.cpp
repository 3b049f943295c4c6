// The Qt tests' own entry point: the one application object lives on main's
// stack, so it is gone before the library's own objects are torn down at exit.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstring>

// An editor process for the end-signal tests to send signals to.
int RunEndSignalChild(int argc, char** argv);

int main(int argc, char** argv) {
  // No display is needed, also when the tests are only being listed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], "--end-signal-child") == 0) return RunEndSignalChild(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
