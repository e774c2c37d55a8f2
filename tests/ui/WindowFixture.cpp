#include "WindowFixture.h"

void WindowTest::SetUp() {
  velmora::ui::createMainWindow();
  velmora::ui::Form1->show();
  driver_ = std::make_unique<velmora::script::ScriptDriver>(*velmora::ui::Form1);
  velmora::script::ScriptDriver::settle();
}

void WindowTest::TearDown() {
  driver_.reset();
  delete velmora::ui::Form1;
  velmora::ui::Form1 = nullptr;
}

std::string WindowTest::run(const std::string& script) {
  std::istringstream lines(script);
  std::ostringstream out;
  for (std::string line; std::getline(lines, line);) driver_->run(line, out);
  return out.str();
}

nlohmann::json WindowTest::dump() {
  velmora::script::ScriptDriver::settle();
  return driver_->dump();
}

nlohmann::json WindowTest::points(const std::string& series) {
  return dump()["series"][series]["points"];
}

bool WindowTest::active(const std::string& series) {
  return dump()["series"][series]["active"].get<bool>();
}
