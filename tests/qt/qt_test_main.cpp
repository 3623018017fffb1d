// The Qt backend's tests run in one QApplication on the X server run_on_xvfb.py starts.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt/qt_desktop.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  kel::qt::prepareQtEnvironment();
  QApplication app(argc, argv);
  kel::qt::configureApplication();
  return RUN_ALL_TESTS();
}
