#include <gtest/gtest.h>

#include "app/VelmoraApplication.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // The window tests run headless, test discovery included.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  velmora::prepareApplication();
  velmora::VelmoraApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
