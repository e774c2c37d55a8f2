// Hostile window sizes, views and display scales: nothing breaks at 1 x 1 or
// at 7680 x 4320, the picture comes back when the window grows back, the wheel
// can always leave a view it made, and at 150 % and 200 % the window is drawn
// sharp and laid out as at 100 %.
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "FreshWindow.h"
#include "Session.h"

namespace reliability {
namespace {

using velmora::script::ScriptDriver;
using velmora::ui::TForm1;

std::string text(double value) { return std::to_string(value); }

bool finite(const QRectF& rect) {
  return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width()) &&
         std::isfinite(rect.height());
}

// Every place of the last paint is a real number and the plot is no
// rectangle turned inside out.
std::string layoutProblem(const TForm1& form) {
  const auto& layout = form.Chart1->lastLayout();
  if (!layout) return "not painted";
  if (!finite(layout->plot) || layout->plot.width() < 0 || layout->plot.height() < 0)
    return "plot rectangle";
  if (!finite(layout->titleRect) || !finite(layout->legendRect)) return "title or legend box";
  for (const auto& row : layout->legendRows)
    if (!finite(row.row) || !finite(row.checkBox) || !finite(row.symbol) || !finite(row.text))
      return "legend row";
  for (const auto& axis : layout->axes) {
    const auto& map = axis.map;
    if (!std::isfinite(map.minimum) || !std::isfinite(map.maximum) ||
        !std::isfinite(map.pixelStart) || !std::isfinite(map.pixelEnd))
      return "axis map";
    for (const auto& label : axis.labels)
      if (!finite(label.rect) || !std::isfinite(label.value)) return "axis label";
    for (double minor : axis.minorValues)
      if (!std::isfinite(minor)) return "minor tick";
    if (!finite(axis.titleRect)) return "axis title";
  }
  return {};
}

std::vector<std::pair<std::string, QRect>> childPlaces(const TForm1& form) {
  std::vector<std::pair<std::string, QRect>> places;
  for (const QWidget* child : form.Chart1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    places.emplace_back(child->objectName().toStdString(), child->geometry());
  return places;
}

int differingPixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return a.width() * a.height();
  const QImage x = a.convertToFormat(QImage::Format_ARGB32);
  const QImage y = b.convertToFormat(QImage::Format_ARGB32);
  int count = 0;
  for (int row = 0; row < x.height(); ++row) {
    const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
    const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
    for (int column = 0; column < x.width(); ++column) count += p[column] != q[column];
  }
  return count;
}

const std::pair<int, int> kTrip[] = {{1, 1},    {7680, 4320}, {1, 600},   {1000, 1},
                                     {2, 2},    {7680, 1},    {1, 4320},  {7680, 4320},
                                     {1000, 600}};

TEST(HostileSizes, ThePictureComesBackAfterATripThroughExtremeSizes) {
  struct Case {
    const char* name;
    std::vector<std::string> before;
  } cases[] = {
      {"as started", {}},
      {"spline at 20 with point numbers, stretched and zoomed",
       {"set TrackBar2 20", "click Switch1", "click CheckBox2", "set TrackBar1 40", "wheel 1"}},
      {"cycle mode, panned", {"set TrackBar2 37.5", "click CheckBox1", "drag right 300 300 340 280"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FreshWindow window;
    TForm1& form = window.form();
    for (const std::string& command : c.before) window.run(command);
    const QImage before = form.grab().toImage();
    const auto placesBefore = childPlaces(form);
    const auto bounds = form.Chart1->model().currentBounds();
    for (const auto& [width, height] : kTrip) {
      SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
      window.run("resize " + std::to_string(width) + " " + std::to_string(height));
      EXPECT_EQ(form.size(), QSize(width, height));
      EXPECT_EQ(layoutProblem(form), "");
      EXPECT_EQ(form.Label7->pos(), QPoint(form.Chart1->model().LeftAxis().PosAxis() + 8,
                                           form.Chart1->model().TopAxis().PosAxis() + 8));
      // A size changes where things are drawn, never the view.
      EXPECT_EQ(form.Chart1->model().currentBounds(), bounds);
    }
    EXPECT_EQ(childPlaces(form), placesBefore);
    EXPECT_EQ(differingPixels(before, form.grab().toImage()), 0);
    EXPECT_TRUE(window.driver().errors().empty());
  }
}

// Every kind of action, at each hostile size, with all the rules of the
// random sessions checked after each one.
TEST(HostileSizes, EveryActionKeepsTheRulesAtExtremeSizes) {
  const std::pair<int, int> sizes[] = {{1, 1}, {1, 600}, {1000, 1}, {3, 3}, {40, 30}, {7680, 4320}};
  for (const auto& [width, height] : sizes) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    FreshWindow window;
    Session session(window);
    auto apply = [&](const std::string& command) {
      SCOPED_TRACE(command);
      const auto fault = session.apply({command});
      EXPECT_FALSE(fault) << fault->rule << ": " << fault->detail;
      EXPECT_EQ(layoutProblem(window.form()), "");
    };
    apply("resize " + std::to_string(width) + " " + std::to_string(height));
    auto at = [&](double dx, double dy) {
      const QPointF c = window.form().Chart1->lastLayout()->plot.center();
      return text(c.x() + dx) + " " + text(c.y() + dy);
    };
    const std::vector<std::string> actions = {
        "set TrackBar2 20", "click Switch1", "click TrackBar2", "legend 2 left",
        "drag left " + at(0, 0) + " " + at(40, 40), "drag left " + at(40, 40) + " " + at(0, 0),
        "wheel 3", "wheel -2", "drag right " + at(0, 0) + " " + at(100, -50),
        "drag left " + at(-8, -8) + " " + at(9, 9), "slide TrackBar1 0.5", "key TrackBar2 End",
        "set TrackBar1 100", "click CheckBox2", "click CheckBox3", "legend 0 right",
        "click CheckBox1", "wheel 1", "drag right " + at(0, 0) + " " + at(-30, 30),
        "drag left " + at(30, 30) + " " + at(0, 0), "slide TrackBar2 0.9", "click CheckBox1",
        "key Switch1 Space", "wheel -1", "resize 1000 600", "wheel 1", "legend 3 right",
        "drag left " + at(-60, 60) + " " + at(60, -60)};
    for (const std::string& action : actions) apply(action);
  }
}

// --- Views at the ends of the numbers ----------------------------------------

double span(const velmora::chart::Axis& axis) { return axis.Maximum() - axis.Minimum(); }

// After about 250 wheel steps forward the span is a few units in the last
// place; a further narrowing step is refused, so a step backward still widens.
TEST(HostileViews, AWheelStepBackWidensEvenAfterTheDeepestZoom) {
  FreshWindow window;
  auto& model = window.form().Chart1->model();
  window.run("wheel 250");
  const double bottomDeepest = span(model.BottomAxis());
  const double topDeepest = span(model.TopAxis());
  window.run("wheel -1");
  EXPECT_GT(span(model.BottomAxis()), bottomDeepest);
  EXPECT_GT(span(model.TopAxis()), topDeepest);
  EXPECT_TRUE(window.driver().errors().empty());
}

// Bounds whose span is no longer a number are refused like bounds that are
// not numbers, so the view is never stuck at the far end of zooming out.
TEST(HostileViews, TheWheelStillZoomsInAfterZoomingOutAsFarAsTheNumbersGo) {
  FreshWindow window;
  auto& model = window.form().Chart1->model();
  for (auto* axis : {&model.BottomAxis(), &model.TopAxis(), &model.LeftAxis()})
    axis->setBoundsOrdered(-8e307, 8e307);
  window.run("wheel -1");
  for (auto* axis : {&model.BottomAxis(), &model.TopAxis(), &model.LeftAxis()})
    EXPECT_TRUE(std::isfinite(span(*axis)));
  window.run("wheel 1");
  EXPECT_LT(span(model.BottomAxis()), 1.6e308);
  EXPECT_TRUE(window.driver().errors().empty());
}

// --- Display scales ---------------------------------------------------------

struct Rendered {
  nlohmann::json state;
  QImage image;
};

// The window as the driver program draws it at a scale factor.
Rendered renderAtScale(const QString& factor, const QString& file) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_SCALE_FACTOR"), factor);
  if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(VELMORA_SCRIPT_PROGRAM), {});
  const std::string script =
      "set TrackBar2 20\nclick Switch1\nclick CheckBox2\nset TrackBar1 30\nsnapshot " +
      file.toStdString() + "\ndump\n";
  process.write(script.c_str());
  process.closeWriteChannel();
  process.waitForFinished(-1);
  Rendered rendered;
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  rendered.state = nlohmann::json::parse(process.readAllStandardOutput().toStdString(), nullptr,
                                         false);
  rendered.image = QImage(file);
  return rendered;
}

// Where everything stands, in logical pixels.
nlohmann::json placesOf(const nlohmann::json& state) {
  nlohmann::json places = nlohmann::json::object();
  for (const auto& [name, control] : state["controls"].items())
    places[name] = {control["x"], control["y"], control["width"], control["height"],
                    control["visible"]};
  places["plot"] = state["chart"]["plot"];
  for (const char* axis : {"left", "bottom", "top"}) places[axis] = state["axes"][axis]["pos"];
  places["window"] = {state["window"]["width"], state["window"]["height"]};
  return places;
}

double luminance(QRgb pixel) { return 0.299 * qRed(pixel) + 0.587 * qGreen(pixel) + 0.114 * qBlue(pixel); }

// Neighbouring pixels with a hard step between them: many where edges are
// drawn at full resolution, few where a smaller picture was blown up.
long hardEdges(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  long count = 0;
  for (int y = 0; y + 1 < rgb.height(); ++y)
    for (int x = 0; x + 1 < rgb.width(); ++x) {
      const double here = luminance(rgb.pixel(x, y));
      count += std::fabs(here - luminance(rgb.pixel(x + 1, y))) > 100;
      count += std::fabs(here - luminance(rgb.pixel(x, y + 1))) > 100;
    }
  return count;
}

// Share of aligned 2 x 2 blocks that are not one colour: none in a picture
// whose every pixel was doubled.
double detailedBlocks(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  long detailed = 0, blocks = 0;
  for (int y = 0; y + 1 < rgb.height(); y += 2)
    for (int x = 0; x + 1 < rgb.width(); x += 2) {
      const QRgb p = rgb.pixel(x, y);
      detailed += p != rgb.pixel(x + 1, y) || p != rgb.pixel(x, y + 1) || p != rgb.pixel(x + 1, y + 1);
      ++blocks;
    }
  return static_cast<double>(detailed) / static_cast<double>(blocks);
}

// Mean luminance difference per pixel of two pictures of one size.
double meanDifference(const QImage& a, const QImage& b) {
  const QImage x = a.convertToFormat(QImage::Format_RGB32);
  const QImage y = b.convertToFormat(QImage::Format_RGB32);
  double sum = 0;
  for (int row = 0; row < x.height(); ++row)
    for (int column = 0; column < x.width(); ++column)
      sum += std::fabs(luminance(x.pixel(column, row)) - luminance(y.pixel(column, row)));
  return sum / (static_cast<double>(x.width()) * x.height());
}

TEST(DisplayScales, TheWindowIsDrawnSharpAndLaidOutAsAtOneHundredPercent) {
  QTemporaryDir directory;
  ASSERT_TRUE(directory.isValid());
  const Rendered plain = renderAtScale(QStringLiteral("1"), directory.filePath("scale-1.png"));
  ASSERT_FALSE(plain.state.is_discarded());
  ASSERT_EQ(plain.image.size(), QSize(1000, 600));
  ASSERT_TRUE(plain.state["errors"].empty());

  struct Case {
    const char* factor;
    double scale;
  } cases[] = {{"1.5", 1.5}, {"2", 2.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.factor);
    const Rendered scaled = renderAtScale(QString::fromLatin1(c.factor),
                                          directory.filePath(QStringLiteral("scale-%1.png").arg(c.factor)));
    ASSERT_FALSE(scaled.state.is_discarded());
    EXPECT_TRUE(scaled.state["errors"].empty());
    EXPECT_EQ(placesOf(scaled.state), placesOf(plain.state));
    // The state behind the picture does not depend on the scale either.
    EXPECT_EQ(scaled.state["axes"], plain.state["axes"]);
    EXPECT_EQ(scaled.state["series"], plain.state["series"]);
    const QSize physical(static_cast<int>(std::lround(1000 * c.scale)),
                         static_cast<int>(std::lround(600 * c.scale)));
    ASSERT_EQ(scaled.image.size(), physical);

    // Brought down to 100 %, it is the same picture as drawn at 100 %...
    const QImage reduced =
        scaled.image.scaled(1000, 600, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage shifted = plain.image.copy(2, 2, 1000, 600);  // two pixels out of place
    EXPECT_LT(meanDifference(reduced, plain.image), 0.5 * meanDifference(shifted, plain.image));
    // ...and it is sharper than the picture at 100 % blown up.
    const QImage blownUp = plain.image.scaled(physical, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_GT(hardEdges(scaled.image), 2 * hardEdges(blownUp));
    if (c.scale == 2.0) {
      const QImage doubled = plain.image.scaled(physical, Qt::IgnoreAspectRatio, Qt::FastTransformation);
      EXPECT_EQ(detailedBlocks(doubled), 0.0);
      EXPECT_GT(detailedBlocks(scaled.image), 0.05);
    }
  }
}

}  // namespace
}  // namespace reliability
