// How long the random sessions run: a short run by default, as CI wants it;
// `--seeds N --actions M` (or VELMORA_SOAK_SEEDS and VELMORA_SOAK_ACTIONS)
// for a soak.
#pragma once

namespace reliability {

struct SoakSettings {
  int seeds = 4;
  int actions = 500;
  int firstSeed = 1;
};

SoakSettings& soakSettings();

}  // namespace reliability
