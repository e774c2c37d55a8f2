// Seeded random user sessions on the real window: after every action the
// rules that must always hold are checked. A failure prints the seed and the
// shortest action sequence found that still fails.
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "Reference.h"
#include "WindowFixture.h"

namespace {

using velmora::chart::Series;

struct Action {
  std::string command;
  bool recordsView = false;  // a zoom, reset or Stretch change: savedRange follows the axes
  bool movesPointCount = false;
};

std::string number(double value) {
  std::ostringstream text;
  text.precision(9);
  text << value;
  return text.str();
}

class Session {
 public:
  explicit Session(velmora::script::ScriptDriver& driver) : driver_(driver) {}

  // Draws one action a user could take in the window's current state.
  Action draw(std::mt19937& random) {
    auto& form = *velmora::ui::Form1;
    auto uniform = [&](double low, double high) {
      return std::uniform_real_distribution<double>(low, high)(random);
    };
    auto pick = [&](int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); };
    const QRectF plot = form.Chart1->lastLayout() ? form.Chart1->lastLayout()->plot
                                                  : QRectF(60, 40, 700, 500);
    const bool sampleMode = !form.CheckBox1->isChecked();
    auto sliderValue = [&](double low, double high) {
      switch (pick(4)) {
        case 0: return low;
        case 1: return high;
        case 2: return std::floor(uniform(low, high + 1));
        default: return uniform(low - 5, high + 5);  // a drag past the ends
      }
    };
    for (;;) {
      switch (pick(12)) {
        case 0:
          if (!sampleMode) continue;
          return {"set TrackBar2 " + number(sliderValue(3, 100)), false, true};
        case 1:
          if (!sampleMode) continue;
          return {"set TrackBar1 " + number(sliderValue(0, 100)), true};
        case 2: return {"click TrackBar2"};
        case 3: return {"click Switch1"};
        case 4: {
          const int box = 1 + pick(3);
          return {"click CheckBox" + std::to_string(box), box == 1};
        }
        case 5: {
          // A window too small to lay out a row has nothing to press.
          const int row = pick(4);
          const auto& layout = form.Chart1->lastLayout();
          if (!layout || row >= static_cast<int>(layout->legendRows.size())) continue;
          return {"legend " + std::to_string(row) + (pick(2) ? " left" : " right")};
        }
        case 6: {
          // Around the 16-pixel threshold, or well past it, in every direction.
          const double x = uniform(plot.left(), plot.right());
          const double y = uniform(plot.top(), plot.bottom());
          const double dx = (pick(2) ? 1 : -1) * (pick(2) ? uniform(14, 19) : uniform(0, 300));
          const double dy = (pick(2) ? 1 : -1) * (pick(2) ? uniform(14, 19) : uniform(0, 300));
          const bool acts = std::fabs(dx) > 16 && std::fabs(dy) > 16 && plot.width() > 50 &&
                            plot.height() > 50;
          return {"drag left " + number(x) + " " + number(y) + " " + number(x + dx) + " " +
                      number(y + dy),
                  acts};
        }
        case 7: return {"wheel " + std::to_string(pick(2) ? 1 + pick(2) : -1 - pick(2)), true};
        case 8: {
          const double x = uniform(plot.left(), plot.right());
          const double y = uniform(plot.top(), plot.bottom());
          const double length = pick(3) == 0 ? uniform(0, 2000) : uniform(0, 200);
          const double angle = uniform(0, 6.283185307179586);
          return {"drag right " + number(x) + " " + number(y) + " " +
                  number(x + length * std::cos(angle)) + " " + number(y + length * std::sin(angle))};
        }
        case 9: {
          const int sizes[][2] = {{1, 1}, {40, 30}, {320, 240}, {1000, 600}, {1400, 900}, {7680, 4320}};
          const auto& size = sizes[pick(6)];
          return {"resize " + std::to_string(size[0]) + " " + std::to_string(size[1])};
        }
        case 10: return {"resize 1000 600"};
        default:
          if (!sampleMode) continue;
          return {"set TrackBar2 " + number(sliderValue(3, 100)), false, true};
      }
    }
  }

  // Runs one action and returns what broke, or an empty string.
  std::string apply(Action action) {
    auto& form = *velmora::ui::Form1;
    const QString labelBefore = form.Label5->text();
    const float stretchBefore = form.TrackBar1->value();
    std::ostringstream ignored;
    driver_.run(action.command, ignored);
    // Setting the value the slider already holds runs no handler.
    if (action.command.rfind("set TrackBar1", 0) == 0 && form.TrackBar1->value() == stretchBefore)
      action.recordsView = false;
    velmora::script::ScriptDriver::settle();
    if (action.movesPointCount && form.Label5->text() != labelBefore) labelChanged_ = true;
    if (!form.CheckBox1->isChecked() && returnedFromCycle_ == false && cycleSeen_) returnedFromCycle_ = true;
    if (form.CheckBox1->isChecked()) cycleSeen_ = true;
    return check(action);
  }

 private:
  std::string check(const Action& action) {
    auto& form = *velmora::ui::Form1;
    auto& model = form.Chart1->model();
    std::ostringstream fault;
    if (!driver_.errors().empty()) fault << "error shown: " << driver_.errors().front() << "; ";
    for (const auto* axis : {&model.LeftAxis(), &model.BottomAxis(), &model.TopAxis()})
      if (!(axis->Minimum() <= axis->Maximum())) fault << "an axis has min > max; ";
    const double range[] = {model.BottomAxis().Minimum(), model.BottomAxis().Maximum(),
                            model.TopAxis().Minimum(),    model.TopAxis().Maximum(),
                            model.LeftAxis().Minimum(),   model.LeftAxis().Maximum()};
    if (action.recordsView)
      for (int i = 0; i < 6; ++i)
        if (velmora::ui::savedRange[i] != range[i]) fault << "savedRange[" << i << "] differs; ";
    for (auto* pan : {form.TrackBar3, form.TrackBar4})
      if (pan->value() != 0.0f || pan->isVisible()) fault << "a pan slider moved or showed; ";
    if (form.isVisible() && form.Chart1->lastLayout() && form.width() >= 400 && form.height() >= 300) {
      const QPoint corner(model.LeftAxis().PosAxis() + 8, model.TopAxis().PosAxis() + 8);
      if (form.Label7->pos() != corner) fault << "the hint is not inside the plot corner; ";
    }

    const int n = static_cast<int>(form.TrackBar2->value());
    if (labelChanged_ && form.Label5->text() != QString::number(n)) fault << "Label5 does not show N; ";
    const bool resampled = form.Series3->count() > 0;
    const bool sampleMode = !form.CheckBox1->isChecked();
    const bool spline = form.Switch1->isOn();

    auto layoutIs = [&](const Series* series, int nulls, int points, const char* name) {
      if (series->count() != nulls + points) {
        fault << name << " holds " << series->count() << " points; ";
        return;
      }
      for (int k = 0; k < series->count(); ++k)
        if (series->point(k).isNull != (k < nulls)) {
          fault << name << " has a null point out of place; ";
          return;
        }
    };
    if (sampleMode) {
      layoutIs(form.Series1, 0, 53, "Series1");
      layoutIs(form.Series2, 5, 61, "Series2");
      layoutIs(form.Series5, 0, 53, "Series5");
      layoutIs(form.Series6, returnedFromCycle_ ? 0 : 5, 61, "Series6");
      if (resampled) {
        layoutIs(form.Series4, 5, n, "Series4");
        if (form.Series5->Active() != (!spline && form.Series3->Active()) ||
            form.Series7->Active() != (spline && form.Series3->Active()) ||
            form.Series6->Active() != (!spline && form.Series4->Active()) ||
            form.Series8->Active() != (spline && form.Series4->Active()))
          fault << "the companion rule does not hold; ";
      }
      for (int k = 0; k < 53; ++k)
        if (form.Series1->xValue(k) != k) fault << "Series1 is not in sample units; ";
    } else {
      layoutIs(form.Series1, 0, 53, "Series1");
      layoutIs(form.Series2, 0, 61, "Series2");
      if (resampled) layoutIs(form.Series4, 0, n, "Series4");
      for (const Series* curve : {form.Series5, form.Series6, form.Series7, form.Series8})
        if (curve->count() != 0) fault << "a companion curve is not empty in cycle mode; ";
      if (form.Series1->xValue(52) != 100.0 || form.Series2->xValue(60) != 100.0)
        fault << "the raw curves do not end at 100 %; ";
    }
    if (resampled) {
      static const auto fastTable = reference::splineTable(reference::fastSamples(), 5300);
      static const auto slowTable = reference::splineTable(reference::slowSamples(), 6100);
      const auto fast = spline ? reference::spline(fastTable, 52, n, 0)
                               : reference::linear(reference::fastSamples(), n, 0);
      const auto slow = spline ? reference::spline(slowTable, 60, n, 5)
                               : reference::linear(reference::slowSamples(), n, 5);
      for (int i = 0; i < n; ++i)
        if (velmora::ui::fastNorm[i] != fast[i].value || velmora::ui::slowNorm[i] != slow[i].value) {
          fault << "fastNorm/slowNorm differ from the rules at " << i << "; ";
          break;
        }
    }
    return fault.str();
  }

  velmora::script::ScriptDriver& driver_;
  bool labelChanged_ = false;
  bool cycleSeen_ = false;
  bool returnedFromCycle_ = false;
};

int envOr(const char* name, int fallback) {
  const char* text = std::getenv(name);
  return text ? std::atoi(text) : fallback;
}

class RandomSessionTest : public WindowTest {
 protected:
  // Replays a sequence on a fresh window; returns the first fault.
  std::string replay(const std::vector<Action>& actions) {
    TearDown();
    SetUp();
    Session session(driver());
    try {
      for (const Action& action : actions) {
        const std::string fault = session.apply(action);
        if (!fault.empty()) return fault;
      }
    } catch (const velmora::script::ScriptError&) {
      // A shortened sequence can make a later action impossible (a legend
      // row that is not laid out): it does not count as failing.
    }
    return {};
  }

  // Drops actions one at a time while the sequence still fails.
  std::vector<Action> shrink(std::vector<Action> actions) {
    for (bool dropped = true; dropped;) {
      dropped = false;
      for (std::size_t i = actions.size(); i-- > 0;) {
        std::vector<Action> shorter = actions;
        shorter.erase(shorter.begin() + static_cast<long>(i));
        if (!replay(shorter).empty()) {
          actions = shorter;
          dropped = true;
        }
      }
    }
    return actions;
  }
};

}  // namespace

TEST_F(RandomSessionTest, RulesHoldAfterEveryAction) {
  const int seeds = envOr("VELMORA_SOAK_SEEDS", 4);
  const int perSeed = envOr("VELMORA_SOAK_ACTIONS", 400);
  long actionsRun = 0;
  int failures = 0;
  for (int seed = 1; seed <= seeds; ++seed) {
    TearDown();
    SetUp();
    std::mt19937 random(static_cast<std::mt19937::result_type>(seed));
    Session session(driver());
    std::vector<Action> actions;
    for (int step = 0; step < perSeed; ++step) {
      actions.push_back(session.draw(random));
      ++actionsRun;
      const std::string fault = session.apply(actions.back());
      if (fault.empty()) continue;
      ++failures;
      const std::vector<Action> shortest = shrink(actions);
      std::ostringstream report;
      report << "seed " << seed << " failed after " << actions.size() << " actions: " << fault
             << "\nshortest failing sequence (" << shortest.size() << " actions):\n";
      for (const Action& action : shortest) report << "  " << action.command << '\n';
      ADD_FAILURE() << report.str();
      break;
    }
  }
  std::cout << actionsRun << " actions, " << failures << " failures\n";
}
