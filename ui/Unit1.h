// The main window: the chart with its series, the control panel, the
// start-up sequence and every handler of the program.
#pragma once

#include <QLabel>
#include <QObject>
#include <QWidget>

#include "chart/ChartModel.h"
#include "chart/ChartWidget.h"
#include "normalise/Resample.h"
#include "normalise/Spline.h"
#include "ui/PictureBox.h"
#include "widgets/Anchors.h"
#include "widgets/CheckBox.h"
#include "widgets/FloatSlider.h"
#include "widgets/ToggleSwitch.h"

namespace velmora::ui {

// State that lives beside the window for the whole run. Sample, knot and
// second-derivative arrays are indexed from 1, like the samples; index 0 is
// unused. Everything is zero until start-up fills it.
extern float fastSamples[54];
extern float slowSamples[62];
extern float fastNorm[100];  // latest resampling, entries 0..N-1 current
extern float slowNorm[100];
extern float fastKnots[54];
extern float slowKnots[62];
extern float fastWidths[53];
extern float slowWidths[61];
extern float fastSecondDerivs[54];
extern float slowSecondDerivs[62];
extern float fastCurve[5301];  // spline at every whole position 0..5300
extern float slowCurve[6101];  // 0..6100
// Bottom min, bottom max, top min, top max, left min, left max.
extern double savedRange[6];

class TForm1 : public QWidget {
 public:
  // Builds the window from its layout; runs none of the handlers.
  TForm1();
  ~TForm1() override;

  void FormCreate(QObject* Sender);
  void TrackBar1Change(QObject* Sender);
  void Chart1ClickLegend(QObject* Sender, chart::MouseButton Button, chart::ShiftState Shift, int X,
                         int Y);
  void CheckBox1Change(QObject* Sender);
  void Switch1Switch(QObject* Sender);
  void TrackBar2Change(QObject* Sender);
  void TrackBar2Click(QObject* Sender);
  void TrackBar3Change(QObject* Sender);
  void Chart1Zoom(QObject* Sender);
  void Chart1UndoZoom(QObject* Sender);
  void TrackBar4Change(QObject* Sender);
  void CheckBox2Change(QObject* Sender);
  void CheckBox3Change(QObject* Sender);
  void Chart1AfterDraw(QObject* Sender);

  void LinInt1(QObject* Sender);
  void LinInt2(QObject* Sender);
  void setPandU1();
  void setPandU2();
  float getCurvePoint1(int i, float v);
  float getCurvePoint2(int i, float v);
  float F(float x);
  void Splines();
  void SplInt1(QObject* Sender);
  void SplInt2(QObject* Sender);

  // Visibility steps shared by the handlers.
  void hideLinearCurves();
  void hideSplineCurves();
  void showLinearCompanions();
  void showSplineCompanions();
  // Sets both companions of Series3 or Series4 by the method switch.
  void applyCompanionRule(chart::Series* normalised);

  chart::ChartWidget* Chart1 = nullptr;
  chart::Series* Series1 = nullptr;
  chart::Series* Series2 = nullptr;
  chart::Series* Series3 = nullptr;
  chart::Series* Series4 = nullptr;
  chart::Series* Series5 = nullptr;
  chart::Series* Series6 = nullptr;
  chart::Series* Series7 = nullptr;
  chart::Series* Series8 = nullptr;
  chart::Series* Series9 = nullptr;
  chart::Series* Series10 = nullptr;
  chart::Series* Series11 = nullptr;
  chart::Series* Series12 = nullptr;

  widgets::FloatSlider* TrackBar1 = nullptr;
  widgets::FloatSlider* TrackBar2 = nullptr;
  widgets::FloatSlider* TrackBar3 = nullptr;
  widgets::FloatSlider* TrackBar4 = nullptr;
  widgets::ToggleSwitch* Switch1 = nullptr;
  widgets::CheckBox* CheckBox1 = nullptr;
  widgets::CheckBox* CheckBox2 = nullptr;
  widgets::CheckBox* CheckBox3 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label7 = nullptr;
  PictureBox* Image1 = nullptr;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void createChart();
  void createSeries();
  void createAxes();
  void createPanel();
  void bindEvents();
  void recordView();
  void setStretchBounds();
  // The companions of a normalised series: linear first, then spline.
  chart::Series* linearCompanion(const chart::Series* normalised) const;
  chart::Series* splineCompanion(const chart::Series* normalised) const;

  widgets::AnchorLayout* anchors_ = nullptr;
};

// The one window, created by createMainWindow.
extern TForm1* Form1;

// Creates Form1 from its layout and runs FormCreate; throws when start-up fails.
void createMainWindow();

}  // namespace velmora::ui
