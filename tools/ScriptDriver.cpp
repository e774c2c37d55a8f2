#include "tools/ScriptDriver.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QImage>
#include <QMouseEvent>
#include <QWheelEvent>

#include "app/EventGuard.h"

namespace velmora::script {
namespace {

using nlohmann::json;

std::string hexColour(chart::Argb colour) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(colour));
  return text;
}

std::vector<std::string> splitWords(const std::string& line) {
  std::istringstream stream(line);
  std::vector<std::string> words;
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

double number(const std::string& text) {
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value))
    throw ScriptError("not a number: " + text);
  return value;
}

int whole(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  if (result.ec != std::errc() || result.ptr != end) throw ScriptError("not a whole number: " + text);
  return value;
}

void expectArguments(const std::vector<std::string>& words, std::size_t least, std::size_t most,
                     const char* usage) {
  if (words.size() < least + 1 || words.size() > most + 1)
    throw ScriptError(std::string("usage: ") + usage);
}

Qt::MouseButton buttonNamed(const std::string& name) {
  if (name == "left") return Qt::LeftButton;
  if (name == "right") return Qt::RightButton;
  throw ScriptError("not a mouse button (left or right): " + name);
}

void sendMouse(QWidget* widget, QEvent::Type type, QPointF position, Qt::MouseButton button,
               Qt::MouseButtons held) {
  QMouseEvent event(type, position, widget->mapToGlobal(position), button, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

json geometry(const QWidget* widget, json entry) {
  entry["enabled"] = widget->isEnabled();
  entry["visible"] = widget->isVisibleTo(widget->window());
  entry["x"] = widget->x();
  entry["y"] = widget->y();
  entry["width"] = widget->width();
  entry["height"] = widget->height();
  return entry;
}

json axisJson(const chart::Axis& axis) {
  return {{"min", axis.Minimum()},
          {"max", axis.Maximum()},
          {"title", axis.title},
          {"labelColor", hexColour(axis.labelColour)},
          {"minorGridColor", hexColour(axis.minorGridColour)},
          {"pos", axis.PosAxis()}};
}

json floats(const float* values, int count) {
  json list = json::array();
  for (int i = 0; i < count; ++i) list.push_back(static_cast<double>(values[i]));
  return list;
}

}  // namespace

ScriptDriver::ScriptDriver(ui::TForm1& form) : form_(form) {
  setExceptionReporter([this](const std::string& message) { errors_.push_back(message); });
}

ScriptDriver::~ScriptDriver() { setExceptionReporter(nullptr); }

void ScriptDriver::settle() {
  // A paint can move the hint label, which asks for one more paint.
  for (int round = 0; round < 4; ++round) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
}

void ScriptDriver::run(const std::string& line, std::ostream& out) {
  const std::vector<std::string> words = splitWords(line);
  if (words.empty() || words.front().front() == '#') return;
  const std::string& command = words.front();
  if (command == "set") set(words);
  else if (command == "click") click(words);
  else if (command == "resize") resize(words);
  else if (command == "snapshot") snapshot(words);
  else if (command == "legend") legend(words);
  else if (command == "drag") drag(words);
  else if (command == "wheel") wheel(words);
  else if (command == "press") press(words);
  else if (command == "move") move(words);
  else if (command == "release") release(words);
  else if (command == "dump") {
    expectArguments(words, 0, 0, "dump");
    settle();
    out << dump().dump() << '\n';
  } else if (command == "tables") {
    expectArguments(words, 0, 0, "tables");
    out << tables().dump() << '\n';
  } else {
    throw ScriptError("unknown command: " + command);
  }
  settle();
}

void ScriptDriver::set(const std::vector<std::string>& words) {
  expectArguments(words, 2, 2, "set NAME VALUE");
  const std::string& name = words[1];
  widgets::FloatSlider* sliders[] = {form_.TrackBar1, form_.TrackBar2, form_.TrackBar3,
                                     form_.TrackBar4};
  for (int n = 1; n <= 4; ++n)
    if (name == "TrackBar" + std::to_string(n)) {
      const float value = static_cast<float>(number(words[2]));
      runGuarded([&] { sliders[n - 1]->setValue(value); });
      return;
    }
  widgets::CheckBox* boxes[] = {form_.CheckBox1, form_.CheckBox2, form_.CheckBox3};
  for (int n = 1; n <= 3; ++n)
    if (name == "CheckBox" + std::to_string(n)) {
      if (words[2] != "0" && words[2] != "1") throw ScriptError("a check box takes 0 or 1");
      const bool checked = words[2] == "1";
      runGuarded([&] { boxes[n - 1]->setChecked(checked); });
      return;
    }
  throw ScriptError("cannot set " + name);
}

void ScriptDriver::click(const std::vector<std::string>& words) {
  expectArguments(words, 1, 1, "click TrackBar2|Switch1|CheckBoxN");
  const std::string& name = words[1];
  QWidget* target = nullptr;
  QPointF point;
  if (name == "TrackBar2") {
    target = form_.TrackBar2;
    point = form_.TrackBar2->thumbRect().center();
  } else if (name == "Switch1") {
    target = form_.Switch1;
  } else if (name == "CheckBox1") {
    target = form_.CheckBox1;
  } else if (name == "CheckBox2") {
    target = form_.CheckBox2;
  } else if (name == "CheckBox3") {
    target = form_.CheckBox3;
  } else {
    throw ScriptError("cannot click " + name);
  }
  if (name != "TrackBar2") point = QRectF(target->rect()).center();
  // A disabled control takes no mouse input; Qt does not deliver it either.
  if (!target->isEnabled()) return;
  sendMouse(target, QEvent::MouseButtonPress, point, Qt::LeftButton, Qt::LeftButton);
  sendMouse(target, QEvent::MouseButtonRelease, point, Qt::LeftButton, Qt::NoButton);
}

void ScriptDriver::resize(const std::vector<std::string>& words) {
  expectArguments(words, 2, 2, "resize W H");
  const int width = whole(words[1]);
  const int height = whole(words[2]);
  if (width < 1 || height < 1 || width > 16384 || height > 16384)
    throw ScriptError("window size out of range 1..16384");
  form_.resize(width, height);
}

void ScriptDriver::snapshot(const std::vector<std::string>& words) {
  expectArguments(words, 1, 1, "snapshot FILE");
  settle();
  const QImage image = form_.grab().toImage();
  if (!image.save(QString::fromStdString(words[1]), "PNG"))
    throw ScriptError("cannot write " + words[1]);
}

void ScriptDriver::legend(const std::vector<std::string>& words) {
  expectArguments(words, 1, 2, "legend ROW [left|right]");
  const int row = whole(words[1]);
  const Qt::MouseButton button = words.size() > 2 ? buttonNamed(words[2]) : Qt::LeftButton;
  settle();
  const auto& layout = form_.Chart1->lastLayout();
  if (!layout || row < 0 || row >= static_cast<int>(layout->legendRows.size()))
    throw ScriptError("no legend row " + words[1]);
  const QRectF& rect = layout->legendRows[static_cast<std::size_t>(row)].row;
  // A window too narrow leaves the row no room: a press there would be no
  // press on the legend at all.
  if (rect.isEmpty()) throw ScriptError("legend row " + words[1] + " has no room at this size");
  const QPointF centre = rect.center();
  sendMouse(form_.Chart1, QEvent::MouseButtonPress, centre, button, button);
  sendMouse(form_.Chart1, QEvent::MouseButtonRelease, centre, button, Qt::NoButton);
}

void ScriptDriver::drag(const std::vector<std::string>& words) {
  expectArguments(words, 5, 5, "drag left|right X1 Y1 X2 Y2");
  const Qt::MouseButton button = buttonNamed(words[1]);
  const QPointF from(number(words[2]), number(words[3]));
  const QPointF to(number(words[4]), number(words[5]));
  settle();
  QWidget* chart = form_.Chart1;
  sendMouse(chart, QEvent::MouseButtonPress, from, button, button);
  constexpr int kMoves = 10;
  for (int step = 1; step <= kMoves; ++step) {
    const QPointF at = from + (to - from) * (static_cast<double>(step) / kMoves);
    sendMouse(chart, QEvent::MouseMove, at, Qt::NoButton, button);
  }
  sendMouse(chart, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

void ScriptDriver::press(const std::vector<std::string>& words) {
  expectArguments(words, 3, 3, "press left|right X Y");
  const Qt::MouseButton button = buttonNamed(words[1]);
  settle();
  sendMouse(form_.Chart1, QEvent::MouseButtonPress, QPointF(number(words[2]), number(words[3])),
            button, button);
}

void ScriptDriver::move(const std::vector<std::string>& words) {
  expectArguments(words, 3, 3, "move left|right X Y");
  const Qt::MouseButton button = buttonNamed(words[1]);
  sendMouse(form_.Chart1, QEvent::MouseMove, QPointF(number(words[2]), number(words[3])),
            Qt::NoButton, button);
}

void ScriptDriver::release(const std::vector<std::string>& words) {
  expectArguments(words, 3, 3, "release left|right X Y");
  const Qt::MouseButton button = buttonNamed(words[1]);
  sendMouse(form_.Chart1, QEvent::MouseButtonRelease, QPointF(number(words[2]), number(words[3])),
            button, Qt::NoButton);
}

void ScriptDriver::wheel(const std::vector<std::string>& words) {
  expectArguments(words, 1, 3, "wheel STEPS [X Y]");
  if (words.size() == 3) throw ScriptError("usage: wheel STEPS [X Y]");
  const int steps = whole(words[1]);
  if (steps < -1000 || steps > 1000) throw ScriptError("wheel steps out of range -1000..1000");
  settle();
  QPointF at;
  if (words.size() == 4) {
    at = QPointF(number(words[2]), number(words[3]));
  } else {
    const auto& layout = form_.Chart1->lastLayout();
    at = layout ? layout->plot.center() : QRectF(form_.Chart1->rect()).center();
  }
  QWidget* chart = form_.Chart1;
  for (int i = 0; i < std::abs(steps); ++i) {
    const QPoint delta(0, steps > 0 ? 120 : -120);
    QWheelEvent event(at, chart->mapToGlobal(at), QPoint(), delta, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(chart, &event);
    settle();
  }
}

json ScriptDriver::dump() const {
  json series = json::object();
  auto& model = form_.Chart1->model();
  for (int s = 0; s < model.seriesCount(); ++s) {
    const chart::Series& one = model.series(s);
    json points = json::array();
    for (int i = 0; i < one.count(); ++i) {
      const chart::ChartPoint& point = one.point(i);
      points.push_back({{"x", point.x},
                        {"y", point.y},
                        {"label", point.label},
                        {"color", hexColour(point.colour)},
                        {"null", point.isNull}});
    }
    series[one.name()] = {
        {"active", one.Active()}, {"transparency", one.Transparency()}, {"points", points}};
  }

  json controls = json::object();
  const std::pair<const char*, widgets::FloatSlider*> sliders[] = {{"TrackBar1", form_.TrackBar1},
                                                                   {"TrackBar2", form_.TrackBar2},
                                                                   {"TrackBar3", form_.TrackBar3},
                                                                   {"TrackBar4", form_.TrackBar4}};
  for (const auto& [name, slider] : sliders)
    controls[name] = geometry(slider, {{"value", static_cast<double>(slider->value())}});
  controls["Switch1"] = geometry(form_.Switch1, {{"on", form_.Switch1->isOn()}});
  const std::pair<const char*, widgets::CheckBox*> boxes[] = {
      {"CheckBox1", form_.CheckBox1}, {"CheckBox2", form_.CheckBox2}, {"CheckBox3", form_.CheckBox3}};
  for (const auto& [name, box] : boxes)
    controls[name] = geometry(box, {{"checked", box->isChecked()},
                                    {"text", box->text().toStdString()}});
  const std::pair<const char*, QLabel*> labels[] = {
      {"Label1", form_.Label1}, {"Label2", form_.Label2}, {"Label3", form_.Label3},
      {"Label4", form_.Label4}, {"Label5", form_.Label5}, {"Label6", form_.Label6},
      {"Label7", form_.Label7}};
  for (const auto& [name, label] : labels)
    controls[name] = geometry(label, {{"text", label->text().toStdString()}});
  controls["Image1"] = geometry(form_.Image1, {{"pictureWidth", form_.Image1->picture().width()},
                                               {"pictureHeight", form_.Image1->picture().height()}});

  // The plot rectangle of the last paint, for placing mouse gestures.
  json plot = json::object();
  if (const auto& layout = form_.Chart1->lastLayout())
    plot = {{"x", layout->plot.x()},
            {"y", layout->plot.y()},
            {"width", layout->plot.width()},
            {"height", layout->plot.height()}};

  json saved = json::array();
  for (double bound : ui::savedRange) saved.push_back(bound);

  return {{"series", series},
          {"axes",
           {{"left", axisJson(model.LeftAxis())},
            {"bottom", axisJson(model.BottomAxis())},
            {"top", axisJson(model.TopAxis())}}},
          {"chart", {{"title", model.title}, {"color", hexColour(model.Color)}, {"plot", plot}}},
          {"savedRange", saved},
          {"zoomed", model.Zoomed()},
          {"controls", controls},
          {"fastNorm", floats(ui::fastNorm, 100)},
          {"slowNorm", floats(ui::slowNorm, 100)},
          {"window",
           {{"title", form_.windowTitle().toStdString()},
            {"width", form_.width()},
            {"height", form_.height()}}},
          {"errors", errors_}};
}

json ScriptDriver::tables() const {
  return {{"fastCurve", floats(ui::fastCurve, 5301)}, {"slowCurve", floats(ui::slowCurve, 6101)}};
}

}  // namespace velmora::script
