// velmora-script: the real window on Qt's offscreen platform, driven by
// commands on standard input, one a line.
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "app/VelmoraApplication.h"
#include "tools/ScriptDriver.h"
#include "ui/Unit1.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  velmora::prepareApplication();
  velmora::VelmoraApplication application(argc, argv);
  try {
    velmora::ui::createMainWindow();
  } catch (const std::exception& error) {
    std::cerr << "velmora-script: start-up failed: " << error.what() << '\n';
    return 1;
  }
  velmora::ui::Form1->show();
  velmora::script::ScriptDriver driver(*velmora::ui::Form1);
  velmora::script::ScriptDriver::settle();

  int status = 0;
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    try {
      driver.run(line, std::cout);
      std::cout.flush();
    } catch (const velmora::script::ScriptError& error) {
      std::cerr << "velmora-script: " << error.what() << '\n';
      status = 2;
      break;
    }
  }
  delete velmora::ui::Form1;
  velmora::ui::Form1 = nullptr;
  return status;
}
