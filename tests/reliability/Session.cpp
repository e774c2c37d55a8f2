#include "Session.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <sstream>
#include <utility>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "Reference.h"
#include "Shrink.h"

namespace reliability {
namespace {

using velmora::chart::AxisId;
using velmora::chart::Series;
using velmora::script::ScriptDriver;
using velmora::ui::TForm1;

constexpr int kFastCount = 53;
constexpr int kSlowCount = 61;

std::string text(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

double halves(double value) { return std::round(value * 2.0) / 2.0; }

std::vector<std::string> split(const std::string& line) {
  std::istringstream stream(line);
  std::vector<std::string> words;
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

double parse(const std::string& word) {
  double value = 0.0;
  std::from_chars(word.data(), word.data() + word.size(), value);
  return value;
}

// p-th of n evenly spaced points on 0..100, as the chart receives it.
double percent(int p, int n) {
  return static_cast<float>(static_cast<double>(p) / static_cast<double>(n - 1) * 100.0);
}

// The sliders' ranges as laid out.
struct Range {
  float minimum, maximum;
};
constexpr Range kStretchRange{0.0f, 100.0f};
constexpr Range kPointsRange{3.0f, 100.0f};

const std::vector<float>& fastTable() {
  static const std::vector<float> table = reference::splineTable(reference::fastSamples(), 5300);
  return table;
}
const std::vector<float>& slowTable() {
  static const std::vector<float> table = reference::splineTable(reference::slowSamples(), 6100);
  return table;
}

// The resampling of both curves for N and a method, from the oracle.
const std::pair<std::vector<reference::Point>, std::vector<reference::Point>>& resampling(
    int count, bool spline) {
  static std::map<std::pair<int, bool>,
                  std::pair<std::vector<reference::Point>, std::vector<reference::Point>>>
      cache;
  const auto key = std::make_pair(count, spline);
  auto found = cache.find(key);
  if (found == cache.end()) {
    auto fast = spline ? reference::spline(fastTable(), 52, count, 0.0)
                       : reference::linear(reference::fastSamples(), count, 0.0);
    auto slow = spline ? reference::spline(slowTable(), 60, count, 5.0)
                       : reference::linear(reference::slowSamples(), count, 5.0);
    found = cache.emplace(key, std::make_pair(std::move(fast), std::move(slow))).first;
  }
  return found->second;
}

using Points = std::vector<std::pair<double, double>>;

Points asPoints(const std::vector<reference::Point>& points) {
  Points out;
  for (const auto& point : points) out.emplace_back(point.x, static_cast<double>(point.value));
  return out;
}

std::optional<Fault> comparePoints(const Series& series, int nulls, const Points& expected) {
  const std::string name = series.name();
  const int count = nulls + static_cast<int>(expected.size());
  if (series.count() != count)
    return Fault{"layout " + name, name + " holds " + std::to_string(series.count()) +
                                       " points, not " + std::to_string(count)};
  for (int k = 0; k < count; ++k) {
    const auto& point = series.point(k);
    const bool null = k < nulls;
    if (point.isNull != null)
      return Fault{"layout " + name, name + " point " + std::to_string(k) +
                                         (null ? " is not a null point" : " is a null point")};
    const double x = null ? k : expected[static_cast<std::size_t>(k - nulls)].first;
    const double y = null ? 0.0 : expected[static_cast<std::size_t>(k - nulls)].second;
    if (point.x != x || point.y != y)
      return Fault{"values " + name, name + " point " + std::to_string(k) + " is (" +
                                         text(point.x) + ", " + text(point.y) + "), not (" +
                                         text(x) + ", " + text(y) + ")"};
  }
  return std::nullopt;
}

velmora::widgets::FloatSlider* sliderNamed(TForm1& form, const std::string& name) {
  if (name == "TrackBar1") return form.TrackBar1;
  if (name == "TrackBar2") return form.TrackBar2;
  return nullptr;
}

QWidget* controlNamed(TForm1& form, const std::string& name) {
  if (auto* slider = sliderNamed(form, name)) return slider;
  if (name == "Switch1") return form.Switch1;
  if (name == "CheckBox1") return form.CheckBox1;
  if (name == "CheckBox2") return form.CheckBox2;
  if (name == "CheckBox3") return form.CheckBox3;
  return nullptr;
}

const std::pair<const char*, Qt::Key> kKeys[] = {
    {"Left", Qt::Key_Left},         {"Right", Qt::Key_Right}, {"Up", Qt::Key_Up},
    {"Down", Qt::Key_Down},         {"PageUp", Qt::Key_PageUp}, {"PageDown", Qt::Key_PageDown},
    {"Home", Qt::Key_Home},         {"End", Qt::Key_End},     {"Space", Qt::Key_Space}};

void sendMouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButton button,
               Qt::MouseButtons held) {
  QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

}  // namespace

// ---------------------------------------------------------------------------

std::uint64_t Random::next() {
  // splitmix64
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int Random::below(int count) { return static_cast<int>(next() % static_cast<std::uint64_t>(count)); }
int Random::between(int low, int high) { return low + below(high - low + 1); }
double Random::unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
double Random::between(double low, double high) { return low + unit() * (high - low); }

// ---------------------------------------------------------------------------

Session::Session(FreshWindow& window) : window_(window) {}

Action Session::draw(Random& random) const {
  TForm1& form = window_.form();
  const auto& layout = form.Chart1->lastLayout();
  const double width = form.Chart1->width();
  const double height = form.Chart1->height();
  const QRectF plot = layout ? layout->plot : QRectF(0, 0, width, height);
  auto inPlot = [&] {
    return QPointF(halves(plot.left() + random.unit() * plot.width()),
                   halves(plot.top() + random.unit() * plot.height()));
  };
  auto inChart = [&] {
    return QPointF(halves(random.unit() * width), halves(random.unit() * height));
  };
  auto pressPoint = [&] { return random.chance(0.8) ? inPlot() : inChart(); };
  auto sliderValue = [&](Range range) {
    switch (random.below(5)) {
      case 0: return range.minimum;
      case 1: return range.maximum;
      case 2: return static_cast<float>(random.between(static_cast<int>(range.minimum),
                                                       static_cast<int>(range.maximum)));
      case 3: return static_cast<float>(random.between(range.minimum, range.maximum));
      default:  // dragged past an end
        return random.chance(0.5) ? range.minimum - static_cast<float>(random.between(0.01, 20.0))
                                  : range.maximum + static_cast<float>(random.between(0.01, 20.0));
    }
  };
  // Drag lengths around the 16-pixel threshold, or anything up to 400.
  auto dragDelta = [&] {
    static const double nearThreshold[] = {0, 1, 15, 15.5, 16, 16.5, 17, 18, 30};
    const double sign = random.chance(0.5) ? 1.0 : -1.0;
    if (random.chance(0.5)) return sign * nearThreshold[random.below(9)];
    return sign * random.between(0, 400);
  };
  auto drag = [&](const char* button, QPointF from, QPointF to) {
    return Action{std::string("drag ") + button + " " + text(from.x()) + " " + text(from.y()) +
                  " " + text(to.x()) + " " + text(to.y())};
  };

  for (;;) {
    const int roll = random.below(100);
    if (roll < 12) {
      if (!sampleMode_) continue;  // a disabled slider cannot be moved
      return {"set TrackBar2 " + text(sliderValue(kPointsRange))};
    }
    if (roll < 20) {
      if (!sampleMode_) continue;
      return {"set TrackBar1 " + text(sliderValue(kStretchRange))};
    }
    if (roll < 25) return {"click TrackBar2"};
    if (roll < 31) return {"click Switch1"};
    if (roll < 35) return {"click CheckBox1"};
    if (roll < 39) return {"click CheckBox2"};
    if (roll < 43) return {"click CheckBox3"};
    if (roll < 53) {
      const int rows = layout ? static_cast<int>(layout->legendRows.size()) : 0;
      if (rows == 0) continue;
      const int row = random.below(rows);
      if (layout->legendRows[static_cast<std::size_t>(row)].row.isEmpty()) continue;
      return {"legend " + std::to_string(row) + (random.chance(0.5) ? " left" : " right")};
    }
    if (roll < 71) {
      const QPointF from = pressPoint();
      return drag("left", from, from + QPointF(dragDelta(), dragDelta()));
    }
    if (roll < 79) {
      const QPointF from = pressPoint();
      static const double lengths[][2] = {{0, 0}, {0.5, 5}, {5, 100}, {100, 2000}};
      const auto& length = lengths[random.below(4)];
      const double distance = random.between(length[0], length[1]);
      const double angle = random.between(0.0, 6.283185307179586);
      return drag("right", from,
                  QPointF(halves(from.x() + distance * std::cos(angle)),
                          halves(from.y() + distance * std::sin(angle))));
    }
    if (roll < 87) {
      const int steps = (random.chance(0.5) ? 1 : -1) * random.between(1, 3);
      if (random.chance(0.7)) return {"wheel " + std::to_string(steps)};
      const QPointF at = inChart();
      return {"wheel " + std::to_string(steps) + " " + text(at.x()) + " " + text(at.y())};
    }
    if (roll < 92) {
      static const int hostile[][2] = {{1, 1},  {1, 600},    {1000, 1}, {2, 2},   {17, 13},
                                       {80, 60}, {7680, 4320}, {7680, 1}, {1, 4320}};
      int w = 1000, h = 600;
      const int pick = random.below(20);
      if (pick < 3) {
        const auto& size = hostile[random.below(9)];
        w = size[0];
        h = size[1];
      } else if (pick < 10) {
        w = random.between(300, 1600);
        h = random.between(200, 1000);
      }
      return {"resize " + std::to_string(w) + " " + std::to_string(h)};
    }
    if (roll < 96) {
      const double fraction = random.chance(0.2) ? random.below(2)
                                                 : std::round(random.between(-0.3, 1.3) * 1000) / 1000;
      return {std::string("slide ") + (random.chance(0.5) ? "TrackBar1 " : "TrackBar2 ") +
              text(fraction)};
    }
    static const char* const targets[] = {"TrackBar1", "TrackBar2", "Switch1",
                                          "CheckBox1", "CheckBox2", "CheckBox3"};
    const std::string target = targets[random.below(6)];
    const char* key = target.rfind("TrackBar", 0) == 0 ? kKeys[random.below(8)].first : "Space";
    return {"key " + target + " " + key};
  }
}

// ---------------------------------------------------------------------------
// What the actions do to the picture, kept independently of the window.

void Session::resampled() {
  ++resamplings_;
  shown_[2] = shown_[3] = true;
  resampled_ = true;
  lastCount_ = static_cast<int>(window_.form().TrackBar2->value());
  lastSpline_ = spline_;
  if (spline_) splineCurvesFilled_ = true;
}

void Session::toggleMode() {
  sampleMode_ = !sampleMode_;
  pointNumbers_ = false;
  zoomed_ = false;
  if (!sampleMode_) {
    splineCurvesFilled_ = false;
  } else {
    returnedFromCycle_ = true;
    // The same N and method again, in sample coordinates.
    if (resampled_ && spline_) splineCurvesFilled_ = true;
  }
}

Session::Bounds Session::home() const {
  if (!sampleMode_) return {{0, 100, 0, 100, -15, 15}};
  const double v = window_.form().TrackBar1->value();
  return {{0.0, (100.0 - v) / 100.0 * 18.0 + 52.0, v / 100.0 * 5.0, (100.0 - v) / 100.0 * 5.0 + 65.0,
           -15.0, 15.0}};
}

Session::Bounds Session::current() const {
  auto& model = window_.form().Chart1->model();
  return {{model.BottomAxis().Minimum(), model.BottomAxis().Maximum(), model.TopAxis().Minimum(),
           model.TopAxis().Maximum(), model.LeftAxis().Minimum(), model.LeftAxis().Maximum()}};
}

namespace {
constexpr AxisId kAxisOrder[] = {AxisId::Bottom, AxisId::Top, AxisId::Left};
}

double Session::valueAt(int axis, double pixel, const Bounds& bounds) const {
  const auto& map = window_.form().Chart1->lastLayout()->map(kAxisOrder[axis]);
  const double minimum = bounds.value[2 * axis];
  const double maximum = bounds.value[2 * axis + 1];
  const double extent = map.pixelEnd - map.pixelStart;
  if (extent == 0.0) return minimum;
  return minimum + (pixel - map.pixelStart) / extent * (maximum - minimum);
}

double Session::pixelWorth(int axis, const Bounds& bounds) const {
  const auto& map = window_.form().Chart1->lastLayout()->map(kAxisOrder[axis]);
  const double extent = std::fabs(map.pixelEnd - map.pixelStart);
  const double span = bounds.value[2 * axis + 1] - bounds.value[2 * axis];
  return extent == 0.0 ? 0.0 : std::fabs(span) / extent;
}

bool Session::rectangleZooms() const {
  // A plot without extent has no values under the rectangle.
  const auto& layout = *window_.form().Chart1->lastLayout();
  for (AxisId id : {AxisId::Left, AxisId::Bottom, AxisId::Top, AxisId::Right})
    if (layout.map(id).pixelEnd == layout.map(id).pixelStart) return false;
  return true;
}

std::optional<int> Session::legendRowAt(double x, double y) const {
  return window_.form().Chart1->lastLayout()->legendRowAt(QPointF(x, y));
}

bool Session::runAction(const std::vector<std::string>& words, Expectation& expect) {
  TForm1& form = window_.form();
  const std::string& command = words.at(0);
  const std::string name = words.size() > 1 ? words[1] : std::string();
  const Bounds before = current();
  const bool zoomedBefore = zoomed_;
  expect.bounds = before;
  auto& layout = form.Chart1->lastLayout();
  if (!layout) return false;  // checked as a fault below, once painted or not

  auto stretched = [&] {
    expect.view = ViewChange::Stretch;
    expect.bounds = home();
    if (!zoomedBefore) {  // the left axis keeps what a pan gave it
      expect.bounds.value[4] = before.value[4];
      expect.bounds.value[5] = before.value[5];
    }
    zoomed_ = false;
    saved_ = expect.bounds;
  };
  auto reset = [&] {
    expect.view = ViewChange::Reset;
    zoomed_ = false;
    expect.bounds = home();
    saved_ = expect.bounds;
  };
  auto sliderMoved = [&](const std::string& slider, float old) {
    const float now = sliderNamed(form, slider)->value();
    if (now == old) return;
    if (slider == "TrackBar2")
      resampled();
    else
      stretched();
  };
  // A click or the space bar on a two-state control.
  auto flip = [&](const std::string& control) {
    if (control == "CheckBox1") {
      toggleMode();
      reset();
    } else if (!sampleMode_) {
      // disabled in cycle mode: ignored
    } else if (control == "Switch1") {
      spline_ = !spline_;
      resampled();
    } else if (control == "CheckBox2") {
      pointNumbers_ = !pointNumbers_;
    } else if (control == "CheckBox3") {
      connect_ = !connect_;
    }
  };

  if (command == "set") {
    // Only the two sliders a user moves, and only while they are enabled;
    // check boxes set from code are no user's action.
    auto* slider = sliderNamed(form, name);
    if (!slider || !slider->isEnabled() || words.size() != 3) return false;
    const float old = slider->value();
    window_.run(words[0] + " " + words[1] + " " + words[2]);
    const Range range = name == "TrackBar1" ? kStretchRange : kPointsRange;
    const float target =
        std::clamp(static_cast<float>(parse(words[2])), range.minimum, range.maximum);
    if (slider->value() != target) expect.sliderMismatch = name;
    sliderMoved(name, old);
    return true;
  }
  if (command == "click") {
    if (name == "TrackBar2") {
      const float old = form.TrackBar2->value();
      window_.run("click TrackBar2");
      if (form.TrackBar2->value() != old) expect.sliderMismatch = name;
      if (sampleMode_) resampled();
      return true;
    }
    window_.run("click " + name);
    flip(name);
    return true;
  }
  if (command == "legend") {
    const int row = static_cast<int>(parse(name));
    // A row the window has no room for cannot be pressed.
    if (row < 0 || row >= static_cast<int>(layout->legendRows.size()) ||
        layout->legendRows[static_cast<std::size_t>(row)].row.isEmpty())
      return false;
    window_.run(words.size() > 2 ? "legend " + name + " " + words[2] : "legend " + name);
    // Rows in series order: Fast gait, Slow gait, Normalised Fast, Normalised Slow.
    shown_[row] = !shown_[row];
    return true;
  }
  if (command == "drag") {
    const double x1 = parse(words[2]), y1 = parse(words[3]);
    const double x2 = parse(words[4]), y2 = parse(words[5]);
    const bool left = name == "left";
    std::string line = "drag";
    for (std::size_t i = 1; i < words.size(); ++i) line += " " + words[i];
    // Where the press lands decides what the drag is.
    const std::optional<int> row = legendRowAt(x1, y1);
    const bool onLegend = layout->legendRect.contains(QPointF(x1, y1));
    Expectation predicted;
    predicted.bounds = before;
    if (row) {
      shown_[*row] = !shown_[*row];
    } else if (onLegend) {
      // the rest of the legend box is dead
    } else if (left) {
      const double dx = x2 - x1, dy = y2 - y1;
      if (std::fabs(dx) > 16 && std::fabs(dy) > 16) {
        if (dx < 0) {
          window_.run(line);
          reset();
          return true;
        }
        if (rectangleZooms()) {
          predicted.view = ViewChange::Zoom;
          const double pixels[3][2] = {{x1, x2}, {x1, x2}, {y1, y2}};
          for (int axis = 0; axis < 3; ++axis) {
            const double a = valueAt(axis, pixels[axis][0], before);
            const double b = valueAt(axis, pixels[axis][1], before);
            predicted.bounds.value[2 * axis] = std::min(a, b);
            predicted.bounds.value[2 * axis + 1] = std::max(a, b);
            // Within half a pixel's worth of the values under the edges.
            const double tolerance = 0.5 * pixelWorth(axis, before);
            predicted.tolerance[2 * axis] = predicted.tolerance[2 * axis + 1] = tolerance;
          }
        }
      }
    } else {
      predicted.view = ViewChange::Pan;
      const double pixels[3][2] = {{x1, x2}, {x1, x2}, {y1, y2}};
      for (int axis = 0; axis < 3; ++axis) {
        // The curves follow the pointer.
        const double shift =
            valueAt(axis, pixels[axis][0], before) - valueAt(axis, pixels[axis][1], before);
        const double tolerance = pixelWorth(axis, before) + 1e-9 * std::fabs(shift);
        for (int end = 0; end < 2; ++end) {
          predicted.bounds.value[2 * axis + end] = before.value[2 * axis + end] + shift;
          predicted.tolerance[2 * axis + end] = tolerance;
        }
      }
    }
    window_.run(line);
    if (predicted.view == ViewChange::Zoom) {
      zoomed_ = true;
      saved_ = current();
    }
    expect.view = predicted.view;
    expect.bounds = predicted.bounds;
    std::copy(std::begin(predicted.tolerance), std::end(predicted.tolerance), expect.tolerance);
    return true;
  }
  if (command == "wheel") {
    const int steps = static_cast<int>(parse(name));
    Bounds bounds = before;
    double tolerance[6] = {0, 0, 0, 0, 0, 0};
    bool changes = false;
    for (int step = 0; step < std::abs(steps); ++step) {
      Bounds next = bounds;
      bool finite = true;
      for (int axis = 0; axis < 3; ++axis) {
        const double low = bounds.value[2 * axis], high = bounds.value[2 * axis + 1];
        const double tenth = (high - low) * 0.1 * (steps > 0 ? 1.0 : -1.0);
        next.value[2 * axis] = low + tenth;
        next.value[2 * axis + 1] = high - tenth;
        for (int end = 0; end < 2; ++end) {
          finite = finite && std::isfinite(next.value[2 * axis + end]);
          // The span is read back from the pixels: off by less than a pixel.
          tolerance[2 * axis + end] += pixelWorth(axis, bounds) + 1e-9 * std::fabs(high - low) +
                                       1e-12 * std::fabs(next.value[2 * axis + end]);
        }
      }
      if (!finite) break;  // bounds that cannot be drawn are not taken
      bounds = next;
      changes = true;
    }
    std::string line = "wheel";
    for (std::size_t i = 1; i < words.size(); ++i) line += " " + words[i];
    window_.run(line);
    if (changes) {
      expect.view = ViewChange::Wheel;
      expect.bounds = bounds;
      std::copy(std::begin(tolerance), std::end(tolerance), expect.tolerance);
      zoomed_ = true;
      saved_ = current();
    }
    return true;
  }
  if (command == "resize") {
    window_.run("resize " + words[1] + " " + words[2]);
    if (form.width() != static_cast<int>(parse(words[1])) ||
        form.height() != static_cast<int>(parse(words[2])))
      expect.sizeMismatch = true;
    return true;
  }
  if (command == "slide") {
    auto* slider = sliderNamed(form, name);
    const float old = slider->value();
    const QPointF from = slider->thumbRect().center();
    const QPointF to(parse(words[2]) * slider->width(), slider->height() / 2.0);
    sendMouse(slider, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= 5; ++step)
      sendMouse(slider, QEvent::MouseMove, from + (to - from) * (step / 5.0), Qt::NoButton,
                Qt::LeftButton);
    sendMouse(slider, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    ScriptDriver::settle();
    const float now = slider->value();
    if (!sampleMode_) {
      if (now != old) expect.sliderMismatch = name;  // disabled: takes no input
      return true;
    }
    // The thumb follows the pointer, so the value moves the same way.
    if ((to.x() > from.x() && now < old) || (to.x() < from.x() && now > old))
      expect.sliderMismatch = name;
    sliderMoved(name, old);
    // A press and release on the slider is also a click on it.
    if (name == "TrackBar2" && now == old && QRectF(slider->rect()).contains(to)) resampled();
    return true;
  }
  if (command == "key") {
    QWidget* control = controlNamed(form, name);
    Qt::Key key = Qt::Key_Space;
    for (const auto& [keyName, code] : kKeys)
      if (words[2] == keyName) key = code;
    auto* slider = sliderNamed(form, name);
    const float old = slider ? slider->value() : 0.0f;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(control, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(control, &release);
    ScriptDriver::settle();
    if (!slider) {
      if (key == Qt::Key_Space) flip(name);
      return true;
    }
    const float now = slider->value();
    const Range range = name == "TrackBar1" ? kStretchRange : kPointsRange;
    bool wrong = false;
    if (!sampleMode_) {
      wrong = now != old;
    } else if (key == Qt::Key_Home) {
      wrong = now != range.minimum;
    } else if (key == Qt::Key_End) {
      wrong = now != range.maximum;
    } else if (key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_PageUp) {
      wrong = now < old || (old < range.maximum && now == old);
    } else if (key == Qt::Key_Left || key == Qt::Key_Down || key == Qt::Key_PageDown) {
      wrong = now > old || (old > range.minimum && now == old);
    }
    if (wrong) expect.sliderMismatch = name;
    if (sampleMode_) sliderMoved(name, old);
    return true;
  }
  return false;
}

std::optional<Fault> Session::apply(const Action& action) {
  const std::vector<std::string> words = split(action.text);
  if (words.empty()) return std::nullopt;
  Expectation expect;
  if (!window_.form().Chart1->lastLayout())
    return Fault{"painted", "the chart has not been painted"};
  const bool sampleMode = sampleMode_;
  const int resamplings = resamplings_;
  if (!runAction(words, expect)) return std::nullopt;
  ScriptDriver::settle();
  const char* const mode = sampleMode ? " (sample mode)" : " (cycle mode)";
  std::string kind = words[0];
  if (kind == "set" || kind == "click" || kind == "slide" || kind == "key") kind += " " + words[1];
  if (kind == "drag") kind += " " + words[1];
  ++coverage_[kind + mode];
  static const char* const viewNames[] = {"", "zoom", "reset", "stretch", "pan", "wheel zoom"};
  if (expect.view != ViewChange::None) ++coverage_[std::string(viewNames[static_cast<int>(expect.view)]) + mode];
  if (resamplings_ != resamplings) ++coverage_["resampling"];
  const auto& layout = window_.form().Chart1->lastLayout();
  if (layout && (layout->plot.width() < 50 || layout->plot.height() < 50)) ++coverage_["tiny plot"];
  if (window_.form().width() * window_.form().height() > 20000000) ++coverage_["huge window"];
  return check(expect);
}

// ---------------------------------------------------------------------------
// The rules

std::optional<Fault> Session::check(const Expectation& expect) const {
  TForm1& form = window_.form();
  auto& model = form.Chart1->model();
  const auto& errors = window_.driver().errors();
  if (!errors.empty()) return Fault{"error shown", errors.front()};
  if (expect.sizeMismatch)
    return Fault{"window size", "the window is " + std::to_string(form.width()) + " x " +
                                    std::to_string(form.height())};
  if (!expect.sliderMismatch.empty())
    return Fault{"slider value", expect.sliderMismatch + " holds " +
                                     text(sliderNamed(form, expect.sliderMismatch)->value())};

  // The view.
  const Bounds now = current();
  static const char* const boundNames[] = {"bottom min", "bottom max", "top min",
                                           "top max",    "left min",   "left max"};
  for (int axis = 0; axis < 3; ++axis) {
    const double low = now.value[2 * axis], high = now.value[2 * axis + 1];
    if (!std::isfinite(low) || !std::isfinite(high) || !(low <= high))
      return Fault{"axis order", std::string(boundNames[2 * axis]) + " " + text(low) + ", max " +
                                     text(high)};
  }
  static const char* const viewNames[] = {"no view change", "zoom", "reset", "stretch", "pan",
                                          "wheel"};
  for (int i = 0; i < 6; ++i)
    if (!(std::fabs(now.value[i] - expect.bounds.value[i]) <= expect.tolerance[i]))
      return Fault{"view", std::string("after ") + viewNames[static_cast<int>(expect.view)] + ", " +
                               boundNames[i] + " is " + text(now.value[i]) + ", not " +
                               text(expect.bounds.value[i])};
  if (model.Zoomed() != zoomed_)
    return Fault{"zoomed", std::string("Zoomed is ") + (model.Zoomed() ? "set" : "clear")};
  for (int i = 0; i < 6; ++i)
    if (velmora::ui::savedRange[i] != saved_.value[i])
      return Fault{"savedRange", std::string("savedRange ") + boundNames[i] + " is " +
                                     text(velmora::ui::savedRange[i]) + ", not " +
                                     text(saved_.value[i])};
  for (auto* pan : {form.TrackBar3, form.TrackBar4})
    if (pan->value() != 0.0f || pan->isVisibleTo(&form))
      return Fault{"pan sliders", pan->objectName().toStdString() + " moved or showed"};

  // The hint after the last paint, and the paint itself.
  const auto& layout = form.Chart1->lastLayout();
  if (form.Chart1->size() != form.size() || !layout ||
      layout->size != QSizeF(form.Chart1->width(), form.Chart1->height()))
    return Fault{"painted", "the chart was not painted at the window's size"};
  const QPoint corner(model.LeftAxis().PosAxis() + 8, model.TopAxis().PosAxis() + 8);
  if (form.Label7->pos() != corner)
    return Fault{"Label7", "the hint stands at " + std::to_string(form.Label7->x()) + "," +
                               std::to_string(form.Label7->y()) + ", not " +
                               std::to_string(corner.x()) + "," + std::to_string(corner.y())};

  // The panel.
  const int count = static_cast<int>(form.TrackBar2->value());
  if (form.Label5->text() != QString::number(count))
    return Fault{"Label5", "Label5 reads " + form.Label5->text().toStdString() + " at N " +
                               std::to_string(count)};
  if (form.CheckBox1->isChecked() == sampleMode_ || form.Switch1->isOn() != spline_ ||
      form.CheckBox2->isChecked() != pointNumbers_ || form.CheckBox3->isChecked() != connect_)
    return Fault{"control state", std::string("CheckBox1 ") + (form.CheckBox1->isChecked() ? "1" : "0") +
                                      ", Switch1 " + (form.Switch1->isOn() ? "1" : "0") +
                                      ", CheckBox2 " + (form.CheckBox2->isChecked() ? "1" : "0") +
                                      ", CheckBox3 " + (form.CheckBox3->isChecked() ? "1" : "0")};
  for (QWidget* control : std::initializer_list<QWidget*>{
           form.TrackBar1, form.Label1, form.TrackBar2, form.Label2, form.Switch1, form.Label3,
           form.Label4, form.Label5, form.CheckBox2, form.CheckBox3})
    if (control->isEnabled() != sampleMode_)
      return Fault{"enabled", control->objectName().toStdString() +
                                  (sampleMode_ ? " is disabled in sample mode"
                                               : " is enabled in cycle mode")};
  if (!form.CheckBox1->isEnabled()) return Fault{"enabled", "CheckBox1 is disabled"};

  // What is shown.
  const Series* normalised[] = {form.Series1, form.Series2, form.Series3, form.Series4};
  for (int i = 0; i < 4; ++i)
    if (normalised[i]->Active() != shown_[i])
      return Fault{"shown", normalised[i]->name() + (shown_[i] ? " is hidden" : " is shown")};
  if (form.Series9->Active() != (pointNumbers_ && shown_[0]) ||
      form.Series10->Active() != (pointNumbers_ && shown_[1]))
    return Fault{"point numbers", "Series9/Series10 do not follow Point # and their curves"};
  if (!form.Series11->Active() || !form.Series12->Active())
    return Fault{"shown", "an axis keeper is hidden"};
  if (resampled_) {
    const bool s3 = shown_[2], s4 = shown_[3];
    if (form.Series5->Active() != (!spline_ && s3) || form.Series7->Active() != (spline_ && s3) ||
        form.Series6->Active() != (!spline_ && s4) || form.Series8->Active() != (spline_ && s4))
      return Fault{"companion rule",
                   std::string("Series5..8 shown ") + (form.Series5->Active() ? "1" : "0") +
                       (form.Series6->Active() ? "1" : "0") + (form.Series7->Active() ? "1" : "0") +
                       (form.Series8->Active() ? "1" : "0")};
  } else if (form.Series5->Active() || form.Series6->Active()) {
    return Fault{"companion rule", "a linear curve is shown before any resampling"};
  }
  const int transparency = connect_ ? 0 : 100;
  if (form.Series3->Transparency() != transparency || form.Series4->Transparency() != transparency)
    return Fault{"transparency", "Series3/Series4 transparency " +
                                     std::to_string(form.Series3->Transparency()) + "/" +
                                     std::to_string(form.Series4->Transparency())};
  return checkPoints();
}

std::optional<Fault> Session::checkPoints() const {
  TForm1& form = window_.form();
  const auto& fast = reference::fastSamples();
  const auto& slow = reference::slowSamples();

  if (resampled_) {
    const auto& [fastNorm, slowNorm] = resampling(lastCount_, lastSpline_);
    for (int i = 0; i < lastCount_; ++i)
      if (velmora::ui::fastNorm[i] != fastNorm[static_cast<std::size_t>(i)].value ||
          velmora::ui::slowNorm[i] != slowNorm[static_cast<std::size_t>(i)].value)
        return Fault{"fastNorm/slowNorm", "entry " + std::to_string(i) + " differs from the rules at N " +
                                              std::to_string(lastCount_) +
                                              (lastSpline_ ? ", spline" : ", linear")};
  }

  Points series1, series2, series3, series4, series5, series6, series7, series8;
  int nulls2 = 0, nulls4 = 0, nulls6 = 0;
  if (sampleMode_) {
    for (int i = 1; i <= kFastCount; ++i) series1.emplace_back(i - 1, fast[static_cast<std::size_t>(i - 1)]);
    for (int i = 1; i <= kSlowCount; ++i) series2.emplace_back(i + 4, slow[static_cast<std::size_t>(i - 1)]);
    nulls2 = 5;
    series5 = series1;
    series6 = series2;
    nulls6 = returnedFromCycle_ ? 0 : 5;
    if (resampled_) {
      const auto& [fastNorm, slowNorm] = resampling(lastCount_, lastSpline_);
      series3 = asPoints(fastNorm);
      series4 = asPoints(slowNorm);
      nulls4 = 5;
    }
    if (splineCurvesFilled_) {
      static const Points fastCurve = asPoints(reference::splineCurve(fastTable(), 53, 52, 0.0));
      static const Points slowCurve = asPoints(reference::splineCurve(slowTable(), 61, 60, 5.0));
      series7 = fastCurve;
      series8 = slowCurve;
    }
  } else {
    for (int i = 1; i <= kFastCount; ++i)
      series1.emplace_back(percent(i - 1, kFastCount), fast[static_cast<std::size_t>(i - 1)]);
    for (int i = 1; i <= kSlowCount; ++i)
      series2.emplace_back(percent(i - 1, kSlowCount), slow[static_cast<std::size_t>(i - 1)]);
    if (resampled_) {
      const auto& [fastNorm, slowNorm] = resampling(lastCount_, lastSpline_);
      for (int p = 0; p < lastCount_; ++p) {
        series3.emplace_back(percent(p, lastCount_), fastNorm[static_cast<std::size_t>(p)].value);
        series4.emplace_back(percent(p, lastCount_), slowNorm[static_cast<std::size_t>(p)].value);
      }
    }
  }
  const std::pair<const Series*, std::pair<int, const Points*>> expected[] = {
      {form.Series1, {0, &series1}},      {form.Series2, {nulls2, &series2}},
      {form.Series3, {0, &series3}},      {form.Series4, {nulls4, &series4}},
      {form.Series5, {0, &series5}},      {form.Series6, {nulls6, &series6}},
      {form.Series7, {0, &series7}},      {form.Series8, {0, &series8}}};
  for (const auto& [series, layout] : expected)
    if (auto fault = comparePoints(*series, layout.first, *layout.second)) return fault;

  static const Points numbersFast = {{0, fast.front()}, {52, fast.back()}};
  static const Points numbersSlow = {{5, slow.front()}, {65, slow.back()}};
  static const Points none;
  if (auto fault = comparePoints(*form.Series9, 0, numbersFast)) return fault;
  if (auto fault = comparePoints(*form.Series10, 0, numbersSlow)) return fault;
  if (auto fault = comparePoints(*form.Series11, 0, none)) return fault;
  if (auto fault = comparePoints(*form.Series12, 0, none)) return fault;
  return std::nullopt;
}

// ---------------------------------------------------------------------------

std::optional<std::pair<std::size_t, Fault>> replay(const std::vector<Action>& actions,
                                                    const Tamper& tamper) {
  FreshWindow window;
  if (tamper) tamper(window.form());
  Session session(window);
  for (std::size_t i = 0; i < actions.size(); ++i)
    if (auto fault = session.apply(actions[i])) return std::make_pair(i, *fault);
  return std::nullopt;
}

SessionResult runSession(std::uint64_t seed, int count, const Tamper& tamper, int shrinkBudget) {
  SessionResult result;
  std::vector<Action> actions;
  {
    FreshWindow window;
    if (tamper) tamper(window.form());
    Session session(window);
    Random random(seed);
    for (int step = 0; step < count; ++step) {
      actions.push_back(session.draw(random));
      ++result.actionsRun;
      if ((result.fault = session.apply(actions.back()))) break;
    }
    result.coverage = session.coverage();
  }
  if (!result.fault) return result;

  const std::string rule = result.fault->rule;
  const auto again = replay(actions, tamper);
  if (!again || again->second.rule != rule) {
    result.fault->detail += " (not reproduced on a fresh window)";
    result.shortest = actions;
    return result;
  }
  result.shortest = shrinkFailing<Action>(
      actions,
      [&](const std::vector<Action>& candidate) -> std::optional<std::size_t> {
        const auto failure = replay(candidate, tamper);
        if (failure && failure->second.rule == rule) return failure->first;
        return std::nullopt;
      },
      shrinkBudget);
  return result;
}

}  // namespace reliability
