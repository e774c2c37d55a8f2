#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include <gtest/gtest.h>

#include "SoakSettings.h"
#include "app/VelmoraApplication.h"

namespace reliability {

SoakSettings& soakSettings() {
  static SoakSettings settings;
  return settings;
}

}  // namespace reliability

namespace {

bool positive(const char* text, int& into) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < 1 || value > 1000000) return false;
  into = static_cast<int>(value);
  return true;
}

// Reads --seeds, --actions and --first-seed (also as environment variables);
// returns false on a bad value.
bool readSoakSettings(int argc, char** argv) {
  auto& settings = reliability::soakSettings();
  const struct {
    const char* flag;
    const char* variable;
    int* into;
  } options[] = {{"--seeds", "VELMORA_SOAK_SEEDS", &settings.seeds},
                 {"--actions", "VELMORA_SOAK_ACTIONS", &settings.actions},
                 {"--first-seed", "VELMORA_SOAK_FIRST_SEED", &settings.firstSeed}};
  for (const auto& option : options)
    if (const char* text = std::getenv(option.variable); text && !positive(text, *option.into)) {
      std::cerr << option.variable << ": not a positive whole number: " << text << '\n';
      return false;
    }
  for (int i = 1; i < argc; ++i) {
    bool known = false;
    for (const auto& option : options) {
      if (std::strcmp(argv[i], option.flag) != 0) continue;
      known = true;
      if (i + 1 >= argc || !positive(argv[i + 1], *option.into)) {
        std::cerr << option.flag << " takes a positive whole number\n";
        return false;
      }
      ++i;
    }
    if (!known) {
      std::cerr << "unknown argument: " << argv[i] << '\n';
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (!readSoakSettings(argc, argv)) return 2;
  // Headless, test discovery included.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  velmora::prepareApplication();
  int qtArgc = 1;
  velmora::VelmoraApplication application(qtArgc, argv);
  return RUN_ALL_TESTS();
}
