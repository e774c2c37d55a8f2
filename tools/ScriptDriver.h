// The scenario driver: runs commands against the real window, so that tests
// and people can check it headless.
#pragma once

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "ui/Unit1.h"

namespace velmora::script {

// An unknown command or a bad argument.
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ScriptDriver {
 public:
  // Records exceptions that escape handlers instead of showing them.
  explicit ScriptDriver(ui::TForm1& form);
  ~ScriptDriver();

  // Runs one command line (blank lines and # comments do nothing), then lets
  // all pending events run. Output goes to `out`.
  void run(const std::string& line, std::ostream& out);

  nlohmann::json dump() const;
  nlohmann::json tables() const;
  const std::vector<std::string>& errors() const { return errors_; }

  // Lets every pending event run, paints included.
  static void settle();

 private:
  void set(const std::vector<std::string>& words);
  void click(const std::vector<std::string>& words);
  void resize(const std::vector<std::string>& words);
  void snapshot(const std::vector<std::string>& words);
  void legend(const std::vector<std::string>& words);
  void drag(const std::vector<std::string>& words);
  void wheel(const std::vector<std::string>& words);
  void press(const std::vector<std::string>& words);
  void move(const std::vector<std::string>& words);
  void release(const std::vector<std::string>& words);

  ui::TForm1& form_;
  std::vector<std::string> errors_;
};

}  // namespace velmora::script
