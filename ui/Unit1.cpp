#include "ui/Unit1.h"

#include <algorithm>
#include <cmath>
#include <string>

#include <QPalette>
#include <QResizeEvent>

#include "data/ResourceLoader.h"

namespace velmora::ui {

float fastSamples[54];
float slowSamples[62];
float fastNorm[100];
float slowNorm[100];
float fastKnots[54];
float slowKnots[62];
float fastWidths[53];
float slowWidths[61];
float fastSecondDerivs[54];
float slowSecondDerivs[62];
float fastCurve[5301];
float slowCurve[6101];
double savedRange[6];

TForm1* Form1 = nullptr;

namespace {

using chart::Argb;
using chart::AxisId;
using chart::kSeriesColour;
using chart::SeriesKind;

constexpr Argb kBlue = 0xFF0000FF;
constexpr Argb kGreen = 0xFF008000;
constexpr Argb kBlack = 0xFF000000;

constexpr int kFastCount = 53;
constexpr int kSlowCount = 61;
constexpr int kNullPoints = 5;  // ahead of the slow samples, so index == x

const char* const kHint =
    "To zoom an area: drag a rectangle down+right.\n"
    "To pan: drag with right button.\n"
    "To reset: drag up+left.";

// Sets both bounds of an axis in the one order the axis cannot refuse:
// the minimum first unless it would lie above the current maximum.
void setAxisBounds(chart::Axis& axis, double minimum, double maximum) {
  if (minimum > axis.Maximum()) {
    axis.SetMaximum(maximum);
    axis.SetMinimum(minimum);
  } else {
    axis.SetMinimum(minimum);
    axis.SetMaximum(maximum);
  }
}

// p-th of n equally spaced points on 0..100, rounded to single precision so
// that the ends are exactly 0 and 100.
double percentPosition(int p, int n) {
  return static_cast<float>(static_cast<double>(p) / static_cast<double>(n - 1) * 100.0);
}

QFont pixelFont(int pixelSize) {
  QFont font;
  font.setPixelSize(pixelSize);
  return font;
}

}  // namespace

// ---------------------------------------------------------------------------
// Layout

TForm1::TForm1() {
  setWindowTitle(QStringLiteral("Velmora"));
  setWindowIcon(QIcon(QStringLiteral(":/velmora.png")));
  // The client area at its stored place on the screen.
  setGeometry(360, 180, 1000, 600);
  createChart();
  createSeries();
  createAxes();
  createPanel();
  bindEvents();
}

TForm1::~TForm1() = default;

void TForm1::resizeEvent(QResizeEvent* event) {
  Chart1->setGeometry(0, 0, event->size().width(), event->size().height());
  QWidget::resizeEvent(event);
}

void TForm1::createChart() {
  Chart1 = new chart::ChartWidget(this);
  Chart1->setObjectName(QStringLiteral("Chart1"));
  Chart1->setGeometry(0, 0, 1000, 600);
  Chart1->setAccessibleName(QStringLiteral("Gait curves chart"));
  auto& model = Chart1->model();
  model.title = "Gait curves at fast and slow speed            ";
  model.titleFontSize = 18;
  model.titleBold = true;
  model.titleColour = kBlack;
  model.legendFontSize = 15;
  model.legendVertSpacing = 10;
}

void TForm1::createSeries() {
  auto& model = Chart1->model();
  // Series order is drawing order: curves over the sample diamonds,
  // normalised points over the curves, point numbers over everything.
  Series1 = &model.addSeries("Series1", "Fast gait", SeriesKind::Point, AxisId::Bottom, kBlue);
  Series2 = &model.addSeries("Series2", "Slow gait", SeriesKind::Point, AxisId::Top, kGreen);
  Series5 = &model.addSeries("Series5", "LinearFast", SeriesKind::FastLine, AxisId::Bottom, kBlue);
  Series6 = &model.addSeries("Series6", "LinearSlow", SeriesKind::FastLine, AxisId::Top, kGreen);
  Series7 = &model.addSeries("Series7", "SplineFast", SeriesKind::Curve, AxisId::Bottom, kBlue);
  Series8 = &model.addSeries("Series8", "SplineSlow", SeriesKind::Curve, AxisId::Top, kGreen);
  Series3 = &model.addSeries("Series3", "Normalised Fast", SeriesKind::Line, AxisId::Bottom, kBlue);
  Series4 = &model.addSeries("Series4", "Normalised Slow", SeriesKind::Line, AxisId::Top, kGreen);
  Series9 = &model.addSeries("Series9", "FastLastPoint", SeriesKind::Point, AxisId::Bottom,
                             std::nullopt);
  Series10 = &model.addSeries("Series10", "SlowLastPoint", SeriesKind::Point, AxisId::Top,
                              std::nullopt);
  Series11 = &model.addSeries("Series11", "KeepBottomAxisOn", SeriesKind::Point, AxisId::Bottom,
                              std::nullopt);
  Series12 = &model.addSeries("Series12", "KeepTopAxisOn", SeriesKind::Point, AxisId::Top,
                              std::nullopt);

  for (chart::Series* raw : {Series1, Series2}) {
    raw->marker.visible = true;
    raw->marker.shape = chart::MarkerShape::Diamond;
    raw->marker.halfWidth = 5;
    raw->marker.halfHeight = 9;
    raw->marker.outlineVisible = false;
  }
  const std::pair<chart::Series*, Argb> normalised[] = {{Series3, 0xFFFFFFFF},
                                                         {Series4, 0xFFFFF50E}};
  for (const auto& [series, fill] : normalised) {
    series->line = {true, true, 2};
    series->marker.visible = true;
    series->marker.shape = chart::MarkerShape::Circle;
    series->marker.halfWidth = 4;
    series->marker.halfHeight = 4;
    series->marker.fill = fill;
    series->marker.outline = series->colour();
    series->marker.outlineWidth = 1;
  }
  for (chart::Series* curve : {Series5, Series6, Series7, Series8}) {
    curve->line = {true, false, 2};
    curve->showInLegend = false;
  }
  Series9->marker.shape = chart::MarkerShape::Triangle;
  Series10->marker.shape = chart::MarkerShape::DownTriangle;
  for (chart::Series* numbers : {Series9, Series10}) {
    numbers->marker.visible = false;
    numbers->marker.halfWidth = 10;
    numbers->marker.halfHeight = 10;
    numbers->marks.visible = true;
    numbers->marks.calloutLength = 16;
    numbers->showInLegend = false;
  }
  for (chart::Series* keeper : {Series11, Series12}) {
    keeper->marker.visible = true;
    keeper->showInLegend = false;
  }
}

void TForm1::createAxes() {
  auto& model = Chart1->model();
  chart::Axis& left = model.LeftAxis();
  left.setBoundsOrdered(-15.0, 15.0);
  left.increment = 5.0;
  left.labelsSize = 20;
  left.setTitle("Angle (degrees)");
  left.titleRotated = true;
  left.titleSize = 21;
  left.grid = false;
  left.minorGrid = false;
  left.minorTickCount = 3;

  chart::Axis& bottom = model.BottomAxis();
  bottom.setBoundsOrdered(0.0, 70.0);
  bottom.setTitle("Samples");
  bottom.titleSize = 20;
  bottom.minorGrid = true;
  bottom.minorGridColour = 0xFFD8E4E3;

  chart::Axis& top = model.TopAxis();
  top.setBoundsOrdered(0.0, 70.0);
  top.minorGrid = true;
  top.minorGridColour = 0xFFDEDEDE;

  for (chart::Axis* horizontal : {&bottom, &top}) {
    horizontal->increment = 10.0;
    horizontal->labelsSeparation = 0;
    horizontal->minorTickCount = 9;
  }
  for (chart::Axis* axis : {&left, &bottom, &top}) {
    axis->labelFontSize = 14;
    axis->titleFontSize = 15;
  }
}

void TForm1::createPanel() {
  auto label = [this](const char* name, const QString& text, QRect geometry, int pixelSize) {
    auto* result = new QLabel(text, Chart1);
    result->setObjectName(QString::fromLatin1(name));
    result->setGeometry(geometry);
    result->setFont(pixelFont(pixelSize));
    result->setWordWrap(true);
    // Labels let the mouse through to the chart under them.
    result->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette palette = result->palette();
    palette.setColor(QPalette::Active, QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, Qt::black);
    // Disabled controls are drawn at 60 % opacity.
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0, 0, 0, 153));
    result->setPalette(palette);
    return result;
  };
  auto checkBox = [this](const char* name, const QString& text, QRect geometry, int pixelSize) {
    auto* result = new widgets::CheckBox(Chart1);
    result->setObjectName(QString::fromLatin1(name));
    result->setText(text);
    result->setTextPixelSize(pixelSize);
    result->setGeometry(geometry);
    result->setAccessibleName(text);
    return result;
  };
  auto slider = [this](const char* name, Qt::Orientation orientation, QRect geometry, float minimum,
                       float maximum, float value) {
    auto* result = new widgets::FloatSlider(orientation, Chart1);
    result->setObjectName(QString::fromLatin1(name));
    result->setGeometry(geometry);
    result->setRange(minimum, maximum);
    result->setValue(value);
    return result;
  };

  Image1 = new PictureBox(Chart1);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(8, 8, 57, 57);
  Image1->setAccessibleName(QStringLiteral("Velmora logo"));

  Label7 = label("Label7", QStringLiteral("Label7"), QRect(88, 80, 120, 17), 12);
  Label7->setWordWrap(false);
  Label7->adjustSize();

  CheckBox2 = checkBox("CheckBox2", QStringLiteral("Point #"), QRect(796, 303, 78, 19), 16);
  Label1 = label("Label1", QStringLiteral("Stretch"), QRect(796, 344, 54, 20), 16);
  TrackBar1 = slider("TrackBar1", Qt::Horizontal, QRect(881, 346, 89, 19), 0.0f, 100.0f, 0.0f);
  TrackBar1->setAccessibleName(QStringLiteral("Stretch"));
  Label2 = label("Label2", QStringLiteral("Points"), QRect(796, 390, 54, 20), 16);
  Label5 = label("Label5", QStringLiteral("3"), QRect(844, 390, 33, 20), 16);
  Label5->setAlignment(Qt::AlignCenter);
  TrackBar2 = slider("TrackBar2", Qt::Horizontal, QRect(881, 392, 89, 19), 3.0f, 100.0f, 3.0f);
  TrackBar2->setAccessibleName(QStringLiteral("Points"));
  CheckBox3 = checkBox("CheckBox3", QStringLiteral("Connect"), QRect(796, 413, 94, 19), 16);
  CheckBox3->setChecked(true);
  Label3 = label("Label3", QStringLiteral("Linear"), QRect(796, 450, 54, 20), 16);
  Switch1 = new widgets::ToggleSwitch(Chart1);
  Switch1->setObjectName(QStringLiteral("Switch1"));
  Switch1->setGeometry(853, 448, 44, 26);
  Switch1->setAccessibleName(QStringLiteral("Method: Linear or Spline"));
  Label4 = label("Label4", QStringLiteral("Spline"), QRect(910, 450, 53, 20), 16);
  // Captions size themselves to their text, so no word is ever cut off.
  for (QLabel* caption : {Label1, Label2, Label3, Label4}) {
    const QSize fitted = caption->sizeHint();
    caption->resize(std::max(caption->width(), fitted.width()),
                    std::max(caption->height(), fitted.height()));
  }
  CheckBox1 = checkBox("CheckBox1", QStringLiteral("Normalise to gait cycle"),
                       QRect(796, 496, 197, 30), 15);
  Label6 = label("Label6", QStringLiteral("Velmora \u00B7 gait normalisation"),
                 QRect(760, 576, 233, 20), 15);
  Label6->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  {
    QPalette palette = Label6->palette();
    palette.setColor(QPalette::Active, QPalette::WindowText, QColor(0x2F, 0x4F, 0x4F));
    palette.setColor(QPalette::Inactive, QPalette::WindowText, QColor(0x2F, 0x4F, 0x4F));
    Label6->setPalette(palette);
  }
  TrackBar3 = slider("TrackBar3", Qt::Horizontal, QRect(56, 577, 762, 19), -50.0f, 50.0f, 0.0f);
  TrackBar4 = slider("TrackBar4", Qt::Vertical, QRect(6, 56, 19, 500), -50.0f, 50.0f, 0.0f);
  TrackBar3->setVisible(false);
  TrackBar4->setVisible(false);

  using widgets::AnchorBottom;
  using widgets::AnchorLeft;
  using widgets::AnchorRight;
  using widgets::AnchorTop;
  anchors_ = new widgets::AnchorLayout(Chart1);
  anchors_->add(Image1, AnchorLeft | AnchorTop);
  anchors_->add(Label7, AnchorLeft | AnchorTop);
  for (QWidget* control : std::initializer_list<QWidget*>{
           CheckBox2, Label1, TrackBar1, Label2, Label5, TrackBar2, CheckBox3, Label3, Switch1,
           Label4, CheckBox1})
    anchors_->add(control, AnchorRight);
  anchors_->add(Label6, AnchorRight | AnchorBottom);
  anchors_->add(TrackBar3, AnchorLeft | AnchorRight | AnchorBottom);
  anchors_->add(TrackBar4, AnchorTop | AnchorBottom);

  // Keyboard focus order through the panel; labels never take the focus.
  Chart1->setFocusPolicy(Qt::NoFocus);
  QWidget::setTabOrder(CheckBox1, TrackBar1);
  QWidget::setTabOrder(TrackBar1, Switch1);
  QWidget::setTabOrder(Switch1, TrackBar2);
  QWidget::setTabOrder(TrackBar2, CheckBox3);
  QWidget::setTabOrder(CheckBox3, CheckBox2);
  for (widgets::FloatSlider* hidden : {TrackBar3, TrackBar4}) hidden->setFocusPolicy(Qt::NoFocus);
}

// Handlers are bound only once the layout's states are in place, so loading
// runs none of them.
void TForm1::bindEvents() {
  auto& model = Chart1->model();
  model.OnClickLegend = [this](chart::MouseButton button, chart::ShiftState shift, int x, int y) {
    Chart1ClickLegend(Chart1, button, shift, x, y);
  };
  model.OnZoom = [this] { Chart1Zoom(Chart1); };
  model.OnUndoZoom = [this] { Chart1UndoZoom(Chart1); };
  model.OnAfterDraw = [this] { Chart1AfterDraw(Chart1); };
  TrackBar1->OnChange = [this] { TrackBar1Change(TrackBar1); };
  TrackBar2->OnChange = [this] { TrackBar2Change(TrackBar2); };
  TrackBar2->OnClick = [this] { TrackBar2Click(TrackBar2); };
  TrackBar3->OnChange = [this] { TrackBar3Change(TrackBar3); };
  TrackBar4->OnChange = [this] { TrackBar4Change(TrackBar4); };
  Switch1->OnSwitch = [this] { Switch1Switch(Switch1); };
  CheckBox1->OnChange = [this] { CheckBox1Change(CheckBox1); };
  CheckBox2->OnChange = [this] { CheckBox2Change(CheckBox2); };
  CheckBox3->OnChange = [this] { CheckBox3Change(CheckBox3); };
}

// ---------------------------------------------------------------------------
// Start-up

void TForm1::FormCreate(QObject* Sender) {
  auto& model = Chart1->model();
  model.TopAxis().setMinorGridColour(model.BottomAxis().minorGridColour);

  Chart1Zoom(Sender);

  Label7->setText(QString::fromLatin1(kHint));
  Label7->adjustSize();

  const std::vector<float> fast = data::loadSamples(QStringLiteral("Resource_1"), kFastCount);
  for (int i = 1; i <= kFastCount; ++i) {
    fastSamples[i] = fast[static_cast<std::size_t>(i - 1)];
    const std::string label = std::to_string(i);
    Series1->add(i - 1, fastSamples[i], label, kBlue);
    Series5->add(i - 1, fastSamples[i], label, kBlue);
  }
  Series5->setActive(false);

  const std::vector<float> slow = data::loadSamples(QStringLiteral("Resource_2"), kSlowCount);
  for (int k = 0; k < kNullPoints; ++k) {
    Series2->addNull();
    Series6->addNull();
  }
  for (int i = 1; i <= kSlowCount; ++i) {
    slowSamples[i] = slow[static_cast<std::size_t>(i - 1)];
    const std::string label = std::to_string(i);
    Series2->add(i + 4, slowSamples[i], label, kGreen);
    Series6->add(i + 4, slowSamples[i], label, kGreen);
  }
  Series6->setActive(false);

  Image1->loadFromData(data::readResource(QStringLiteral("PngImage_1")));

  Series9->addY(Series1->yValue(0), "#1", kSeriesColour);
  Series9->add(Series1->xValue(52), Series1->yValue(52), "#" + std::to_string(53), kSeriesColour);
  Series9->setActive(false);

  Series10->add(Series2->xValue(5), Series2->yValue(5), "#1", kSeriesColour);
  Series10->add(Series2->xValue(65), Series2->yValue(65), "#" + std::to_string(61), kSeriesColour);
  Series10->setActive(false);

  Series3->setActive(false);
  Series4->setActive(false);

  Splines();
}

void createMainWindow() {
  auto* form = new TForm1;
  Form1 = form;
  try {
    form->FormCreate(form);
  } catch (...) {
    Form1 = nullptr;
    delete form;
    throw;
  }
}

// ---------------------------------------------------------------------------
// Point count and method

void TForm1::TrackBar2Change(QObject* Sender) {
  const int pointCount = static_cast<int>(TrackBar2->value());
  Label5->setText(QString::number(pointCount));
  TrackBar2Click(Sender);
}

void TForm1::TrackBar2Click(QObject* Sender) {
  Series3->setActive(true);
  Series4->setActive(true);
  if (Switch1->isOn()) {
    SplInt1(Sender);
    SplInt2(Sender);
  } else {
    LinInt1(Sender);
    LinInt2(Sender);
  }
  applyCompanionRule(Series3);
  applyCompanionRule(Series4);
}

void TForm1::Switch1Switch(QObject* Sender) { TrackBar2Click(Sender); }

chart::Series* TForm1::linearCompanion(const chart::Series* normalised) const {
  return normalised == Series3 ? Series5 : Series6;
}

chart::Series* TForm1::splineCompanion(const chart::Series* normalised) const {
  return normalised == Series3 ? Series7 : Series8;
}

void TForm1::hideLinearCurves() {
  Series5->setActive(false);
  Series6->setActive(false);
}

void TForm1::hideSplineCurves() {
  Series7->setActive(false);
  Series8->setActive(false);
}

void TForm1::showLinearCompanions() {
  if (Series3->Active()) Series5->setActive(true);
  if (Series4->Active()) Series6->setActive(true);
}

void TForm1::showSplineCompanions() {
  if (Series3->Active()) Series7->setActive(true);
  if (Series4->Active()) Series8->setActive(true);
}

void TForm1::applyCompanionRule(chart::Series* normalised) {
  chart::Series* linear = linearCompanion(normalised);
  chart::Series* spline = splineCompanion(normalised);
  if (Switch1->isOn()) {
    linear->setActive(false);
    spline->setActive(normalised->Active());
  } else {
    linear->setActive(normalised->Active());
    spline->setActive(false);
  }
}

// ---------------------------------------------------------------------------
// Resampling

void TForm1::LinInt1(QObject*) {
  Series3->clear();
  const int count = normalise::countFromSlider(TrackBar2->value());
  normalise::linearResample(
      normalise::kFastAxis, count, [this](int index) { return Series1->yValue(index); }, fastNorm,
      [this](double x, float value) { Series3->add(x, value); });
  Series5->setActive(true);
}

void TForm1::LinInt2(QObject*) {
  Series4->clear();
  for (int k = 0; k < kNullPoints; ++k) Series4->addNull();
  const int count = normalise::countFromSlider(TrackBar2->value());
  normalise::linearResample(
      normalise::kSlowAxis, count, [this](int index) { return Series2->yValue(index); }, slowNorm,
      [this](double x, float value) { Series4->add(x, value); });
  Series6->setActive(true);
}

void TForm1::SplInt1(QObject*) {
  Series7->clear();
  normalise::splineCurve(normalise::kFastAxis, fastCurve,
                         [this](double x, float value) { Series7->add(x, value); });
  Series7->setActive(Series3->Active());
  Series3->clear();
  const int count = normalise::countFromSlider(TrackBar2->value());
  normalise::splineResample(normalise::kFastAxis, count, fastCurve, fastNorm,
                            [this](double x, float value) { Series3->add(x, value); });
}

void TForm1::SplInt2(QObject*) {
  Series8->clear();
  normalise::splineCurve(normalise::kSlowAxis, slowCurve,
                         [this](double x, float value) { Series8->add(x, value); });
  Series8->setActive(Series4->Active());
  Series4->clear();
  for (int k = 0; k < kNullPoints; ++k) Series4->addNull();
  const int count = normalise::countFromSlider(TrackBar2->value());
  normalise::splineResample(normalise::kSlowAxis, count, slowCurve, slowNorm,
                            [this](double x, float value) { Series4->add(x, value); });
}

// ---------------------------------------------------------------------------
// Spline tables

void TForm1::setPandU1() {
  normalise::solveSecondDerivatives(normalise::kFastShape, fastKnots, fastSamples, fastWidths,
                                    fastSecondDerivs);
}

void TForm1::setPandU2() {
  normalise::solveSecondDerivatives(normalise::kSlowShape, slowKnots, slowSamples, slowWidths,
                                    slowSecondDerivs);
}

float TForm1::getCurvePoint1(int i, float v) {
  return normalise::evaluatePiece(i, v, fastKnots, fastSamples, fastWidths, fastSecondDerivs);
}

float TForm1::getCurvePoint2(int i, float v) {
  return normalise::evaluatePiece(i, v, slowKnots, slowSamples, slowWidths, slowSecondDerivs);
}

float TForm1::F(float x) { return normalise::F(x); }

void TForm1::Splines() {
  normalise::placeKnots(normalise::kFastShape, fastKnots);
  setPandU1();
  normalise::fillTable(normalise::kFastShape, fastKnots, fastSamples, fastWidths, fastSecondDerivs,
                       fastCurve);
  normalise::placeKnots(normalise::kSlowShape, slowKnots);
  setPandU2();
  normalise::fillTable(normalise::kSlowShape, slowKnots, slowSamples, slowWidths, slowSecondDerivs,
                       slowCurve);
}

// ---------------------------------------------------------------------------
// Gait-cycle mode

void TForm1::CheckBox1Change(QObject*) {
  auto& model = Chart1->model();
  model.UndoZoom();
  CheckBox2->setChecked(false);

  if (CheckBox1->isChecked()) {
    Series1->clear();
    for (int i = 1; i <= kFastCount; ++i)
      Series1->add(percentPosition(i - 1, kFastCount), fastSamples[i]);
    Series2->clear();
    for (int i = 1; i <= kSlowCount; ++i)
      Series2->add(percentPosition(i - 1, kSlowCount), slowSamples[i]);
    const bool resampled = Series3->count() > 0;
    if (resampled) {
      const int pointCount = static_cast<int>(TrackBar2->value());
      Series3->clear();
      for (int p = 0; p < pointCount; ++p)
        Series3->add(percentPosition(p, pointCount), fastNorm[p]);
      Series4->clear();
      for (int p = 0; p < pointCount; ++p)
        Series4->add(percentPosition(p, pointCount), slowNorm[p]);
    }
    for (chart::Series* curve : {Series5, Series6, Series7, Series8}) curve->clear();
    if (resampled) {
      if (Switch1->isOn()) {
        hideLinearCurves();
        showSplineCompanions();
      } else {
        showLinearCompanions();
        hideSplineCurves();
      }
    } else {
      hideLinearCurves();
      hideSplineCurves();
    }
    model.BottomAxis().SetMaximum(100.0);
    model.TopAxis().SetMaximum(100.0);
    model.TopAxis().setLabelColour(model.Color);
    model.BottomAxis().setTitle("% Gait cycle");
    for (QWidget* control : std::initializer_list<QWidget*>{
             TrackBar1, Label1, TrackBar2, Label2, Switch1, Label3, Label4, Label5, CheckBox2,
             CheckBox3})
      control->setEnabled(false);
  } else {
    Series1->clear();
    for (int i = 1; i <= kFastCount; ++i) Series1->add(i - 1, fastSamples[i]);
    Series2->clear();
    for (int k = 0; k < kNullPoints; ++k) Series2->addNull();
    for (int i = 1; i <= kSlowCount; ++i) Series2->add(i + 4, slowSamples[i]);
    Series5->clear();
    for (int i = 1; i <= kFastCount; ++i) Series5->add(i - 1, fastSamples[i]);
    Series6->clear();
    for (int i = 1; i <= kSlowCount; ++i) Series6->add(i + 4, slowSamples[i]);
    setStretchBounds();
    model.TopAxis().setLabelColour(kBlack);
    model.BottomAxis().setTitle("Samples");
    for (QWidget* control : std::initializer_list<QWidget*>{
             TrackBar1, Label1, TrackBar2, Label2, Switch1, Label3, Label4, Label5, CheckBox2,
             CheckBox3})
      control->setEnabled(true);
    if (Series3->count() > 0) {
      if (Switch1->isOn()) {
        SplInt1(CheckBox1);
        SplInt2(CheckBox1);
      } else {
        LinInt1(CheckBox1);
        LinInt2(CheckBox1);
      }
      applyCompanionRule(Series3);
      applyCompanionRule(Series4);
    } else {
      hideLinearCurves();
      hideSplineCurves();
    }
  }
}

// ---------------------------------------------------------------------------
// Legend and display options

void TForm1::Chart1ClickLegend(QObject*, chart::MouseButton, chart::ShiftState, int, int) {
  if (Series3->count() > 0) applyCompanionRule(Series3);
  if (Series4->count() > 0) applyCompanionRule(Series4);
  CheckBox2Change(Chart1);
}

void TForm1::CheckBox2Change(QObject*) {
  if (CheckBox2->isChecked()) {
    if (Series1->Active()) Series9->setActive(true);
    if (Series2->Active()) Series10->setActive(true);
    if (!Series1->Active()) Series9->setActive(false);
    if (!Series2->Active()) Series10->setActive(false);
  } else {
    Series9->setActive(false);
    Series10->setActive(false);
  }
}

void TForm1::CheckBox3Change(QObject*) {
  const int transparency = CheckBox3->isChecked() ? 0 : 100;
  Series3->setTransparency(transparency);
  Series4->setTransparency(transparency);
}

// ---------------------------------------------------------------------------
// View control

// The bottom and top axes at the stretch bounds of the Stretch slider's value.
void TForm1::setStretchBounds() {
  auto& model = Chart1->model();
  const double v = TrackBar1->value();
  setAxisBounds(model.BottomAxis(), 0.0, (100.0 - v) / 100.0 * 18.0 + 52.0);
  setAxisBounds(model.TopAxis(), v / 100.0 * 5.0, (100.0 - v) / 100.0 * 5.0 + 65.0);
}

void TForm1::recordView() {
  auto& model = Chart1->model();
  savedRange[0] = model.BottomAxis().Minimum();
  savedRange[1] = model.BottomAxis().Maximum();
  savedRange[2] = model.TopAxis().Minimum();
  savedRange[3] = model.TopAxis().Maximum();
  savedRange[4] = model.LeftAxis().Minimum();
  savedRange[5] = model.LeftAxis().Maximum();
}

void TForm1::TrackBar1Change(QObject*) {
  auto& model = Chart1->model();
  if (model.Zoomed()) model.UndoZoom();
  setStretchBounds();
  TrackBar3->setValue(0.0f);
  recordView();
}

void TForm1::Chart1Zoom(QObject*) {
  recordView();
  TrackBar3->setValue(0.0f);
  TrackBar4->setValue(0.0f);
}

void TForm1::Chart1UndoZoom(QObject*) {
  auto& model = Chart1->model();
  TrackBar3->setValue(0.0f);
  TrackBar4->setValue(0.0f);
  setAxisBounds(model.LeftAxis(), -15.0, 15.0);
  if (CheckBox1->isChecked()) {
    setAxisBounds(model.BottomAxis(), 0.0, 100.0);
    setAxisBounds(model.TopAxis(), 0.0, 100.0);
  } else {
    setStretchBounds();
  }
  recordView();
}

void TForm1::TrackBar3Change(QObject*) {
  auto& model = Chart1->model();
  const double p = TrackBar3->value();
  const double bottomSpan = savedRange[1] - savedRange[0];
  const double topSpan = savedRange[3] - savedRange[2];
  setAxisBounds(model.BottomAxis(), savedRange[0] - p / 100.0 * bottomSpan,
                savedRange[1] - p / 100.0 * bottomSpan);
  setAxisBounds(model.TopAxis(), savedRange[2] - p / 100.0 * topSpan,
                savedRange[3] - p / 100.0 * topSpan);
}

void TForm1::TrackBar4Change(QObject*) {
  auto& model = Chart1->model();
  const double q = TrackBar4->value();
  const double leftSpan = savedRange[5] - savedRange[4];
  setAxisBounds(model.LeftAxis(), savedRange[4] + q / 100.0 * leftSpan,
                savedRange[5] + q / 100.0 * leftSpan);
}

void TForm1::Chart1AfterDraw(QObject*) {
  auto& model = Chart1->model();
  const QPoint corner(model.LeftAxis().PosAxis() + 8, model.TopAxis().PosAxis() + 8);
  // Moving to the place it already has is no change and asks for no paint.
  if (Label7->pos() != corner) Label7->move(corner);
}

}  // namespace velmora::ui
