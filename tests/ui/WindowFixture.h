// A fresh window, shown on the offscreen platform, with its driver.
#pragma once

#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tools/ScriptDriver.h"
#include "ui/Unit1.h"

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs driver commands, one a line; returns what they printed.
  std::string run(const std::string& script);
  nlohmann::json dump();
  // The series' points as the driver reports them.
  nlohmann::json points(const std::string& series);
  bool active(const std::string& series);

  velmora::ui::TForm1& form() { return *velmora::ui::Form1; }
  velmora::chart::ChartModel& model() { return form().Chart1->model(); }
  velmora::script::ScriptDriver& driver() { return *driver_; }

 private:
  std::unique_ptr<velmora::script::ScriptDriver> driver_;
};
