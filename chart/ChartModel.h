// The chart's model: series, axes, zoom state and events, with no Qt widget in
// sight, so that every rule of the chart can be tested on its own.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::chart {

// 32-bit ARGB, alpha first.
using Argb = std::uint32_t;

// Given with a point: it has no colour of its own and takes its series' colour.
constexpr Argb kSeriesColour = 0x00FFFFFF;

struct ChartPoint {
  double x = 0.0;
  double y = 0.0;
  std::string label;
  Argb colour = kSeriesColour;
  bool isNull = false;  // takes an index, never drawn, never joined
};

enum class SeriesKind {
  Point,     // markers, no line
  Line,      // a line, markers where turned on
  FastLine,  // a plain polyline
  Curve,     // a line drawn as a smooth curve through its points
};

enum class MarkerShape { Diamond, Circle, Triangle, DownTriangle, Square };

enum class AxisId { Left, Bottom, Top, Right };
constexpr int kAxisCount = 4;

struct MarkerStyle {
  bool visible = false;
  MarkerShape shape = MarkerShape::Square;
  int halfWidth = 4;
  int halfHeight = 4;
  std::optional<Argb> fill;     // unset: the point's colour
  std::optional<Argb> outline;  // unset: the point's colour
  bool outlineVisible = true;
  int outlineWidth = 1;
};

struct LineStyle {
  bool visible = false;
  bool dashed = false;
  int width = 1;
};

// Point labels ("marks"): the point's label in a framed box above the point,
// joined to it by a callout line.
struct MarksStyle {
  bool visible = false;
  int calloutLength = 16;
  Argb fill = 0xFFFFFFE1;
  Argb frame = 0xFF000000;
  Argb callout = 0xFF000000;
};

class ChartModel;

class Series {
 public:
  // The horizontal axis is Bottom or Top (std::invalid_argument otherwise);
  // every series uses the left axis vertically.
  Series(std::string name, std::string title, SeriesKind kind, AxisId horizontalAxis,
         std::optional<Argb> colour);

  const std::string& name() const { return name_; }
  const std::string& title() const { return title_; }
  SeriesKind kind() const { return kind_; }
  AxisId horizontalAxis() const { return horizontalAxis_; }
  // Series without a colour of their own report a palette colour.
  Argb colour() const;
  bool hasOwnColour() const { return colour_.has_value(); }

  // Appends a point; its index is the number of points held before.
  void add(double x, double y, std::string label = {}, Argb colour = kSeriesColour);
  // As add, with x = the number of points held before the call.
  void addY(double y, std::string label = {}, Argb colour = kSeriesColour);
  // A null point: x = the number of points held before, y = 0, no label.
  void addNull();
  void clear();

  int count() const { return static_cast<int>(points_.size()); }
  const ChartPoint& point(int index) const { return points_.at(static_cast<std::size_t>(index)); }
  double xValue(int index) const { return point(index).x; }
  double yValue(int index) const { return point(index).y; }
  const std::vector<ChartPoint>& points() const { return points_; }
  // The colour a point is drawn in: its own, or the series' colour.
  Argb pointColour(int index) const;

  bool Active() const { return active_; }
  // Setting the state a series already has changes nothing.
  void setActive(bool active);

  // Percent, 0 to 100. On a line series it applies to the line only.
  int Transparency() const { return transparency_; }
  void setTransparency(int percent);

  bool showInLegend = true;
  MarkerStyle marker;
  LineStyle line;
  MarksStyle marks;

  // Bumped on every change made through the setters above (points, Active,
  // Transparency); lets the painter reuse cached geometry.
  std::uint64_t revision() const { return revision_; }

 private:
  friend class ChartModel;
  void changed();

  std::string name_;
  std::string title_;
  SeriesKind kind_;
  AxisId horizontalAxis_;
  std::optional<Argb> colour_;
  Argb paletteColour_ = 0xFF000000;  // set by the model from its palette
  std::vector<ChartPoint> points_;
  bool active_ = true;
  int transparency_ = 0;
  std::uint64_t revision_ = 0;
  ChartModel* owner_ = nullptr;
};

// An axis bound set one at a time that would leave minimum above maximum.
class AxisRangeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kMinimumRefused = "Axis Minimum Value must be <= Maximum";
inline constexpr const char* kMaximumRefused = "Axis Maximum Value must be >= Minimum";

struct AxisBounds {
  double minimum = 0.0;
  double maximum = 0.0;
  bool operator==(const AxisBounds& other) const {
    return minimum == other.minimum && maximum == other.maximum;
  }
};

class Axis {
 public:
  explicit Axis(AxisId id) : id_(id) {}

  AxisId id() const { return id_; }
  bool horizontal() const { return id_ == AxisId::Bottom || id_ == AxisId::Top; }

  double Minimum() const { return bounds_.minimum; }
  double Maximum() const { return bounds_.maximum; }
  AxisBounds bounds() const { return bounds_; }

  // The program's door: one bound at a time, refused with AxisRangeError
  // (kMinimumRefused / kMaximumRefused) when it would cross the other one.
  // A value that is not finite is refused the same way, since no picture can
  // be drawn from it.
  void SetMinimum(double value);
  void SetMaximum(double value);
  // The chart's own door for zoom, wheel and pan: orders the pair itself and
  // is never refused. A pair that is not finite leaves the bounds as they are.
  void setBoundsOrdered(double a, double b);

  // The pixel position of the axis line after the last paint, in the chart's
  // coordinates: the plot's left edge for the left axis, its top edge for the
  // top axis, its bottom edge for the bottom axis.
  int PosAxis() const { return posAxis_; }
  void setPosAxis(int pixel) { posAxis_ = pixel; }

  double increment = 10.0;        // label step
  int labelFontSize = 14;
  int labelsSize = 0;             // fixed room for the labels; 0: as they need
  int labelsSeparation = 10;      // percent of a label's size kept free between labels
  Argb labelColour = 0xFF000000;
  std::string title;
  int titleFontSize = 15;
  bool titleRotated = false;      // reads upwards
  int titleSize = 0;              // fixed room for the title; 0: as it needs
  bool grid = true;
  Argb gridColour = 0xFFC0C0C0;
  bool minorGrid = false;
  Argb minorGridColour = 0xFFDEDEDE;
  int minorTickCount = 3;
  Argb tickColour = 0xFFA9A9A9;
  int tickLength = 4;
  int minorTickLength = 2;

  // Called by the model when a property that changes the picture is set.
  void setOwner(ChartModel* owner) { owner_ = owner; }
  void setLabelColour(Argb colour);
  void setTitle(std::string text);
  void setMinorGridColour(Argb colour);

 private:
  void changed();

  AxisId id_;
  AxisBounds bounds_{0.0, 0.0};
  int posAxis_ = 0;
  ChartModel* owner_ = nullptr;
};

enum class MouseButton { Left, Right, Middle };

// Modifier keys at a press, as plain flags.
struct ShiftState {
  bool shift = false;
  bool control = false;
  bool alt = false;
};

using AllBounds = std::array<AxisBounds, kAxisCount>;  // indexed by AxisId

class ChartModel {
 public:
  ChartModel();
  ChartModel(const ChartModel&) = delete;
  ChartModel& operator=(const ChartModel&) = delete;

  // Series in drawing order; also the order of the legend's rows.
  Series& addSeries(std::string name, std::string title, SeriesKind kind, AxisId horizontalAxis,
                    std::optional<Argb> colour);
  int seriesCount() const { return static_cast<int>(series_.size()); }
  Series& series(int index) { return *series_.at(static_cast<std::size_t>(index)); }
  const Series& series(int index) const { return *series_.at(static_cast<std::size_t>(index)); }
  Series* findSeries(const std::string& name);

  const Series* findSeries(const std::string& name) const;

  // The rows of the legend: the series with showInLegend, in series order.
  std::vector<Series*> legendSeries();
  std::vector<const Series*> legendSeries() const;

  Axis& axis(AxisId id) { return *axes_[static_cast<std::size_t>(id)]; }
  const Axis& axis(AxisId id) const { return *axes_[static_cast<std::size_t>(id)]; }
  Axis& LeftAxis() { return axis(AxisId::Left); }
  Axis& BottomAxis() { return axis(AxisId::Bottom); }
  Axis& TopAxis() { return axis(AxisId::Top); }
  Axis& RightAxis() { return axis(AxisId::Right); }

  // Drawn when a shown series uses it, or when no series at all is shown.
  bool axisVisible(AxisId id) const;

  std::string title;
  int titleFontSize = 18;
  bool titleBold = true;
  Argb titleColour = 0xFF000000;
  Argb Color = 0xFFF0F0F0;  // background
  int legendFontSize = 15;
  int legendVertSpacing = 10;

  // --- Zoom state -----------------------------------------------------------
  bool Zoomed() const { return zoomed_; }
  bool hasRememberedBounds() const { return remembered_.has_value(); }
  AllBounds currentBounds() const;

  // Rectangle or wheel zoom: remembers the bounds if none are held, puts the
  // new ones in force (ordered, never refused), sets Zoomed, raises OnZoom.
  // Bounds that are not all finite do nothing at all.
  void zoomTo(const AllBounds& bounds);
  // Pan: remembers the bounds if none are held, shifts each axis by its
  // value offset. Zoomed and the events are left alone. A shift that would
  // leave any bound not finite does nothing at all.
  void panBy(const std::array<double, kAxisCount>& valueOffsets);
  // Reset: puts back and drops the remembered bounds, clears Zoomed, raises
  // OnUndoZoom; the handler has run to its end when this returns.
  void UndoZoom();
  // A press on legend row `row`: toggles the row's series, raises OnClickLegend.
  void pressLegendRow(int row, MouseButton button, ShiftState shift, int x, int y);

  // Raised by the chart widget at the end of every paint.
  void raiseAfterDraw();

  std::function<void()> OnZoom;
  std::function<void()> OnUndoZoom;
  std::function<void(MouseButton, ShiftState, int, int)> OnClickLegend;
  std::function<void()> OnAfterDraw;

  // Set by the widget: asks for a repaint after the running handler returns.
  std::function<void()> onChanged;
  void changed();

  // Bumped when anything that decides the layout (titles, fonts, legend
  // texts, axis bounds, which series are shown) changes; lets the painter
  // reuse a cached layout. Goes through the setters; whoever writes the
  // plain fields above after the first paint calls layoutChanged() itself.
  // Also asks for a repaint.
  std::uint64_t layoutRevision() const { return layoutRevision_; }
  void layoutChanged();

 private:
  std::vector<std::unique_ptr<Series>> series_;
  std::array<std::unique_ptr<Axis>, kAxisCount> axes_;
  bool zoomed_ = false;
  std::optional<AllBounds> remembered_;
  std::uint64_t layoutRevision_ = 0;
};

}  // namespace velmora::chart
