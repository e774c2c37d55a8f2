#include "FreshWindow.h"

#include <sstream>

namespace reliability {

velmora::ui::TForm1& FreshWindow::create() {
  velmora::ui::createMainWindow();
  velmora::ui::Form1->show();
  return *velmora::ui::Form1;
}

FreshWindow::FreshWindow() : driver_(create()) { velmora::script::ScriptDriver::settle(); }

FreshWindow::~FreshWindow() {
  delete velmora::ui::Form1;
  velmora::ui::Form1 = nullptr;
}

void FreshWindow::run(const std::string& command) {
  std::ostringstream ignored;
  driver_.run(command, ignored);
}

}  // namespace reliability
