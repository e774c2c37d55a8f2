// A user session on the real window: actions of every kind the window
// takes, drawn at random from a seed, each followed by a check of the rules
// that must hold after it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "FreshWindow.h"

namespace reliability {

// A small generator whose sequence is the same with every compiler and
// library (the standard distributions are not).
class Random {
 public:
  // Neighbouring seeds give unrelated sequences, not shifted copies.
  explicit Random(std::uint64_t seed) : state_(seed) { state_ = next() ^ 0x5851F42D4C957F2Dull; }
  std::uint64_t next();
  int below(int count);                       // 0 .. count-1
  int between(int low, int high);             // low .. high
  double unit();                              // [0, 1)
  double between(double low, double high);    // [low, high)
  bool chance(double probability) { return unit() < probability; }

 private:
  std::uint64_t state_;
};

// One action, written as a command line: the scenario driver's commands,
// and two more sent straight to a control, as a user's hand would:
//   slide TrackBarN F      drag the thumb to fraction F of the slider's width
//   key NAME KEY           a key press on the control (Left, Right, Up, Down,
//                          PageUp, PageDown, Home, End, Space)
struct Action {
  std::string text;
};

struct Fault {
  std::string rule;    // which rule broke; a shrink keeps to the same rule
  std::string detail;
};

class Session {
 public:
  explicit Session(FreshWindow& window);

  // An action a user could take in the window as it is now.
  Action draw(Random& random) const;

  // Runs the action and checks every rule. An action that cannot be taken
  // now (a slider set while it is disabled, a legend row the window is too
  // small to show) is skipped, so that any sub-sequence can be replayed.
  std::optional<Fault> apply(const Action& action);

  // How often each kind of action and each outcome came up, so that a run
  // can show that it went everywhere it should.
  const std::map<std::string, long>& coverage() const { return coverage_; }

 private:
  struct Bounds {
    double value[6];  // bottom min, max, top min, max, left min, max
  };
  enum class ViewChange { None, Zoom, Reset, Stretch, Pan, Wheel };
  struct Expectation {
    ViewChange view = ViewChange::None;
    Bounds bounds{};     // the bounds the view change leads to
    double tolerance[6] = {0, 0, 0, 0, 0, 0};
    std::string sliderMismatch;  // a slider that did not take the value it should
    bool sizeMismatch = false;   // the window did not take the size asked for
  };

  bool runAction(const std::vector<std::string>& words, Expectation& expect);
  void resampled();
  void toggleMode();
  Bounds home() const;
  Bounds current() const;
  // The value under a pixel of an axis (0 bottom, 1 top, 2 left) as laid out.
  double valueAt(int axis, double pixel, const Bounds& bounds) const;
  double pixelWorth(int axis, const Bounds& bounds) const;
  bool rectangleZooms() const;
  std::optional<int> legendRowAt(double x, double y) const;
  std::optional<Fault> check(const Expectation& expect) const;
  std::optional<Fault> checkPoints() const;

  FreshWindow& window_;
  // What the window must show, kept from the actions alone.
  bool sampleMode_ = true;
  bool spline_ = false;
  bool pointNumbers_ = false;
  bool connect_ = true;
  bool shown_[4] = {true, true, false, false};  // Series1..Series4
  bool resampled_ = false;
  int lastCount_ = 3;         // N of the last resampling
  bool lastSpline_ = false;   // its method
  bool splineCurvesFilled_ = false;
  bool returnedFromCycle_ = false;
  bool zoomed_ = false;
  int resamplings_ = 0;
  Bounds saved_{{0, 70, 0, 70, -15, 15}};
  std::map<std::string, long> coverage_;
};

// Runs `actions` on a fresh window; returns the index and fault of the first
// step that breaks a rule. `tamper` may alter the window first.
using Tamper = std::function<void(velmora::ui::TForm1&)>;
std::optional<std::pair<std::size_t, Fault>> replay(const std::vector<Action>& actions,
                                                    const Tamper& tamper = {});

struct SessionResult {
  long actionsRun = 0;
  std::optional<Fault> fault;
  std::vector<Action> shortest;  // the shortest failing sequence found
  std::map<std::string, long> coverage;
};

// `count` actions from `seed`, stopping at the first fault, which is then
// shrunk within `shrinkBudget` replays.
SessionResult runSession(std::uint64_t seed, int count, const Tamper& tamper = {},
                         int shrinkBudget = 400);

}  // namespace reliability
