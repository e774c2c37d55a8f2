// Seeded random sessions on the real window. Each action is followed by a
// check of every rule that must hold after it; a failing seed is reported
// with the shortest sequence of actions found that still fails.
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Session.h"
#include "Shrink.h"
#include "SoakSettings.h"

namespace reliability {
namespace {

std::string describe(std::uint64_t seed, const SessionResult& result) {
  std::ostringstream report;
  report << "seed " << seed << " failed after " << result.actionsRun << " actions: ["
         << result.fault->rule << "] " << result.fault->detail << "\nshortest failing sequence ("
         << result.shortest.size() << " actions, from a fresh window):\n";
  for (const Action& action : result.shortest) report << "  " << action.text << '\n';
  return report.str();
}

TEST(RandomSession, RulesHoldAfterEveryAction) {
  const SoakSettings& settings = soakSettings();
  long actions = 0;
  int failures = 0;
  std::map<std::string, long> coverage;
  for (int seed = settings.firstSeed; seed < settings.firstSeed + settings.seeds; ++seed) {
    const SessionResult result = runSession(static_cast<std::uint64_t>(seed), settings.actions);
    actions += result.actionsRun;
    for (const auto& [kind, times] : result.coverage) coverage[kind] += times;
    if (!result.fault) continue;
    ++failures;
    ADD_FAILURE() << describe(static_cast<std::uint64_t>(seed), result);
  }
  std::cout << actions << " actions, " << failures << " failures\n";
  EXPECT_EQ(failures, 0);
  // Every kind of action ran in both modes, and the outcomes that the rules
  // are about all came up.
  std::vector<std::string> wanted;
  for (const char* mode : {" (sample mode)", " (cycle mode)"}) {
    for (const char* kind :
         {"click TrackBar2", "click Switch1", "click CheckBox1", "click CheckBox2",
          "click CheckBox3", "legend", "drag left", "drag right", "wheel", "resize",
          "slide TrackBar1", "slide TrackBar2", "key TrackBar1", "key TrackBar2", "key Switch1",
          "key CheckBox1", "key CheckBox2", "key CheckBox3", "zoom", "reset", "pan", "wheel zoom"})
      wanted.push_back(std::string(kind) + mode);
  }
  for (const char* kind : {"set TrackBar1 (sample mode)", "set TrackBar2 (sample mode)",
                           "stretch (sample mode)", "resampling", "tiny plot", "huge window"})
    wanted.emplace_back(kind);
  if (settings.seeds * settings.actions >= 2000) {
    for (const std::string& kind : wanted) EXPECT_GT(coverage[kind], 0) << kind;
  }
  for (const auto& [kind, times] : coverage) std::cout << "  " << kind << ": " << times << '\n';
  EXPECT_EQ(actions, static_cast<long>(settings.seeds) * settings.actions);
}

TEST(RandomSession, ASeedAlwaysDrawsTheSameActions) {
  auto drawn = [] {
    FreshWindow window;
    Session session(window);
    Random random(7);
    std::vector<std::string> texts;
    for (int i = 0; i < 60; ++i) {
      const Action action = session.draw(random);
      texts.push_back(action.text);
      EXPECT_FALSE(session.apply(action)) << action.text;
    }
    return texts;
  };
  const std::vector<std::string> first = drawn();
  EXPECT_EQ(first, drawn());
}

// The checks catch a window that breaks a rule, and the shrink finds the
// few actions that show it.
TEST(RandomSession, ABrokenHandlerIsCaughtAndShrunkToTheActionsThatShowIt) {
  using velmora::ui::TForm1;
  struct Case {
    const char* name;
    Tamper tamper;
    const char* rule;
    std::size_t shortest;
  } cases[] = {
      {"Connect forgets the slow curve",
       [](TForm1& form) {
         form.CheckBox3->OnChange = [&form] {
           form.Series3->setTransparency(form.CheckBox3->isChecked() ? 0 : 100);
         };
       },
       "transparency", 1},
      {"a legend click leaves the companion curves alone",
       [](TForm1& form) {
         form.Chart1->model().OnClickLegend = [&form](auto, auto, int, int) {
           form.CheckBox2Change(form.Chart1);
         };
       },
       "companion rule", 2},
      {"a zoom does not record the view",
       [](TForm1& form) { form.Chart1->model().OnZoom = [] {}; }, "savedRange", 1},
      {"the hint lands a pixel low",
       [](TForm1& form) {
         form.Chart1->model().OnAfterDraw = [&form] {
           auto& model = form.Chart1->model();
           const QPoint corner(model.LeftAxis().PosAxis() + 8, model.TopAxis().PosAxis() + 9);
           if (form.Label7->pos() != corner) form.Label7->move(corner);
         };
       },
       "Label7", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SessionResult result = runSession(1, 400, c.tamper);
    ASSERT_TRUE(result.fault);
    EXPECT_EQ(result.fault->rule, c.rule) << result.fault->detail;
    EXPECT_EQ(result.shortest.size(), c.shortest) << describe(1, result);
    // The shortest sequence fails by itself, and without any one of its
    // actions it passes.
    const auto failure = replay(result.shortest, c.tamper);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->second.rule, c.rule);
    for (std::size_t drop = 0; drop < result.shortest.size(); ++drop) {
      std::vector<Action> fewer = result.shortest;
      fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(drop));
      const auto without = replay(fewer, c.tamper);
      EXPECT_FALSE(without && without->second.rule == c.rule) << "still fails without step " << drop;
    }
  }
}

// A sequence of numbers fails when it holds a 3 and, later, a 7.
std::optional<std::size_t> threeThenSeven(const std::vector<int>& steps) {
  bool three = false;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    if (steps[i] == 3) three = true;
    if (three && steps[i] == 7) return i;
  }
  return std::nullopt;
}

TEST(Shrink, KeepsOnlyTheStepsThatFailTogether) {
  struct Case {
    std::vector<int> steps;
    std::vector<int> shortest;
  } cases[] = {
      {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {3, 7}},
      {{7, 3, 1, 1, 1, 7, 3, 7}, {3, 7}},
      {{3, 7}, {3, 7}},
      {{5, 5, 5, 5, 3, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 7, 5, 5}, {3, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.steps));
    int replays = 0;
    const auto counted = [&](const std::vector<int>& steps) {
      ++replays;
      return threeThenSeven(steps);
    };
    EXPECT_EQ(shrinkFailing<int>(c.steps, counted, 1000), c.shortest);
    EXPECT_LE(replays, 60);
  }
}

TEST(Shrink, StopsAtItsBudgetWithTheBestSoFar) {
  std::vector<int> steps(64, 5);
  steps[40] = 3;
  steps[63] = 7;
  int replays = 0;
  const std::vector<int> shrunk = shrinkFailing<int>(
      steps,
      [&](const std::vector<int>& candidate) {
        ++replays;
        return threeThenSeven(candidate);
      },
      3);
  EXPECT_EQ(replays, 3);
  EXPECT_TRUE(threeThenSeven(shrunk));
  EXPECT_LT(shrunk.size(), steps.size());
}

}  // namespace
}  // namespace reliability
