// A freshly started window, shown on the offscreen platform, with the driver
// recording what escapes its handlers. One at a time: the window is Form1.
#pragma once

#include <string>

#include "tools/ScriptDriver.h"
#include "ui/Unit1.h"

namespace reliability {

class FreshWindow {
 public:
  FreshWindow();
  ~FreshWindow();
  FreshWindow(const FreshWindow&) = delete;
  FreshWindow& operator=(const FreshWindow&) = delete;

  velmora::ui::TForm1& form() { return *velmora::ui::Form1; }
  velmora::script::ScriptDriver& driver() { return driver_; }
  // Runs one driver command; what it prints is dropped.
  void run(const std::string& command);

 private:
  static velmora::ui::TForm1& create();

  velmora::script::ScriptDriver driver_;
};

}  // namespace reliability
