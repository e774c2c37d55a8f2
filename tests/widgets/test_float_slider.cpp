#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>
#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "WidgetTestSupport.h"
#include "widgets/FloatSlider.h"

namespace velmora::widgets {
namespace {

using testing::ReportRecorder;
using testing::shownHost;

// The Points slider's layout: 89 × 19, range 3 to 100. Its thumb is 15 px
// across, so it travels 89 − 15 = 74 px, and a thumb start s means the value
// 3 + s / 74 × 97.
constexpr float kMin = 3.0f;
constexpr float kMax = 100.0f;
constexpr double kTravel = 74.0;
double valueAt(double thumbStart) { return 3.0 + thumbStart / kTravel * 97.0; }

class SliderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host = shownHost();
    slider = new FloatSlider(Qt::Horizontal, host.get());
    slider->setGeometry(20, 40, 89, 19);
    slider->setRange(kMin, kMax);
    slider->show();
    slider->OnChange = [this] {
      changes.push_back(slider->value());
      log.push_back("change");
    };
    slider->OnClick = [this] {
      log.push_back(slider->isDragging() ? "click while held" : "click");
    };
  }

  std::unique_ptr<QWidget> host;
  FloatSlider* slider = nullptr;
  std::vector<float> changes;
  std::vector<std::string> log;
};

TEST_F(SliderTest, ThumbStandsAtTheEndsOfItsTravel) {
  EXPECT_EQ(slider->value(), kMin);
  EXPECT_EQ(slider->thumbRect(), QRectF(0, 2, 15, 15));
  slider->setValue(kMax);
  EXPECT_EQ(slider->thumbRect(), QRectF(74, 2, 15, 15));
}

TEST_F(SliderTest, SetValueClampsAndRaisesOnlyOnARealChange) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Step {
    float set;
    float held;
    bool raises;
  } steps[] = {{3.0f, 3.0f, false},     {42.25f, 42.25f, true},  {42.25f, 42.25f, false},
               {250.0f, 100.0f, true},  {100.0f, 100.0f, false}, {250.0f, 100.0f, false},
               {nan, 100.0f, false},    {-7.0f, 3.0f, true},     {2.999f, 3.0f, false},
               {3.0001f, 3.0001f, true}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.set);
    changes.clear();
    slider->setValue(step.set);
    EXPECT_EQ(slider->value(), step.held);
    ASSERT_EQ(changes.size(), step.raises ? 1u : 0u);
    // The handler already sees the stored value.
    if (step.raises) {
      EXPECT_EQ(changes[0], step.held);
    }
  }
}

TEST_F(SliderTest, SetRangeHoldsTheValueInside) {
  slider->setValue(50.0f);
  slider->setRange(60.0f, 80.0f);
  EXPECT_EQ(slider->value(), 60.0f);
  EXPECT_EQ(changes, std::vector<float>({50.0f, 60.0f}));
  // A maximum below the minimum collapses the range onto the minimum.
  slider->setRange(10.0f, 5.0f);
  EXPECT_EQ(slider->minimum(), 10.0f);
  EXPECT_EQ(slider->maximum(), 10.0f);
  EXPECT_EQ(slider->value(), 10.0f);
}

TEST_F(SliderTest, DragGivesFractionalValuesAndExactEnds) {
  // Grip the thumb 7 px into it.
  QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(7, 9));
  EXPECT_TRUE(changes.empty());
  for (int x = 8; x <= 20; ++x) {
    SCOPED_TRACE(x);
    QTest::mouseMove(slider, QPoint(x, 9));
    // One change per movement, raised at once.
    ASSERT_EQ(changes.size(), static_cast<std::size_t>(x - 7));
    EXPECT_FLOAT_EQ(slider->value(), static_cast<float>(valueAt(x - 7)));
    EXPECT_NE(slider->value(), std::trunc(slider->value()));
  }
  for (std::size_t i = 1; i < changes.size(); ++i) EXPECT_LT(changes[i - 1], changes[i]);

  QTest::mouseMove(slider, QPoint(500, 9));
  EXPECT_EQ(slider->value(), kMax);
  QTest::mouseMove(slider, QPoint(-300, 9));
  EXPECT_EQ(slider->value(), kMin);
  QTest::mouseMove(slider, QPoint(90, 9));
  EXPECT_EQ(slider->value(), kMax);
  const std::size_t raised = changes.size();
  // Further beyond the end changes nothing and raises nothing.
  QTest::mouseMove(slider, QPoint(400, 9));
  EXPECT_EQ(changes.size(), raised);
  QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(80, 9));
  EXPECT_EQ(slider->value(), kMax);
  EXPECT_EQ(log.back(), "click");
}

TEST_F(SliderTest, ClickOnTheThumbKeepsTheValueAndClicksOnce) {
  slider->setValue(47.3f);
  changes.clear();
  log.clear();
  const QPoint centre = slider->thumbRect().center().toPoint();
  QTest::mouseClick(slider, Qt::LeftButton, {}, centre);
  EXPECT_EQ(slider->value(), 47.3f);
  EXPECT_TRUE(changes.empty());
  EXPECT_EQ(log, std::vector<std::string>({"click"}));

  // Holding the thumb and moving back onto the grip also keeps every bit.
  QTest::mousePress(slider, Qt::LeftButton, {}, centre);
  QTest::mouseMove(slider, centre + QPoint(5, 0));
  QTest::mouseMove(slider, centre);
  EXPECT_EQ(slider->value(), 47.3f);
  QTest::mouseRelease(slider, Qt::LeftButton, {}, centre);
}

TEST_F(SliderTest, PressOnTheTrackMovesTheThumbThereThenDrags) {
  QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(60, 9));
  // The thumb's centre comes to x = 60: its start to 52.5.
  ASSERT_EQ(log, std::vector<std::string>({"change"}));
  EXPECT_FLOAT_EQ(slider->value(), static_cast<float>(valueAt(52.5)));
  QTest::mouseMove(slider, QPoint(50, 9));
  EXPECT_FLOAT_EQ(slider->value(), static_cast<float>(valueAt(42.5)));
  QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(50, 9));
  // The click comes after the release.
  EXPECT_EQ(log, std::vector<std::string>({"change", "change", "click"}));
}

TEST_F(SliderTest, ReleaseAwayFromTheSliderIsNoClick) {
  QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(7, 9));
  QTest::mouseMove(slider, QPoint(30, 60));
  QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(30, 60));
  EXPECT_EQ(log, std::vector<std::string>({"change"}));
  EXPECT_FALSE(slider->isDragging());
}

TEST_F(SliderTest, OtherButtonsNeitherMoveNorClick) {
  QTest::mouseClick(slider, Qt::RightButton, {}, QPoint(60, 9));
  QTest::mouseClick(slider, Qt::MiddleButton, {}, QPoint(60, 9));
  EXPECT_EQ(slider->value(), kMin);
  EXPECT_TRUE(log.empty());
}

TEST_F(SliderTest, KeysStepThroughSetValue) {
  slider->setValue(50.0f);
  changes.clear();
  struct Press {
    Qt::Key key;
    float held;
  } presses[] = {{Qt::Key_Left, 49.0f},   {Qt::Key_Down, 48.0f},   {Qt::Key_Right, 49.0f},
                 {Qt::Key_Up, 50.0f},     {Qt::Key_PageUp, 60.0f}, {Qt::Key_PageDown, 50.0f},
                 {Qt::Key_Home, 3.0f},    {Qt::Key_Left, 3.0f},    {Qt::Key_End, 100.0f},
                 {Qt::Key_PageUp, 100.0f}};
  float before = slider->value();
  for (const Press& press : presses) {
    SCOPED_TRACE(press.held);
    const std::size_t raised = changes.size();
    QTest::keyClick(slider, press.key);
    EXPECT_EQ(slider->value(), press.held);
    EXPECT_EQ(changes.size(), raised + (press.held != before ? 1 : 0));
    before = press.held;
  }
}

TEST_F(SliderTest, DisabledTakesNoInputAndRaisesNothing) {
  slider->setValue(50.0f);
  changes.clear();
  log.clear();
  slider->setEnabled(false);
  QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(80, 9));
  QTest::mouseClick(slider, Qt::LeftButton, {}, slider->thumbRect().center().toPoint());
  QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(7, 9));
  QTest::mouseMove(slider, QPoint(70, 9));
  QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(70, 9));
  for (Qt::Key key : {Qt::Key_Right, Qt::Key_End, Qt::Key_Home, Qt::Key_PageDown})
    QTest::keyClick(slider, key);
  EXPECT_EQ(slider->value(), 50.0f);
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(slider->isDragging());
}

TEST_F(SliderTest, DisablingMidDragLetsGo) {
  QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(7, 9));
  QTest::mouseMove(slider, QPoint(17, 9));
  slider->setEnabled(false);
  slider->setEnabled(true);
  const float held = slider->value();
  QTest::mouseMove(slider, QPoint(40, 9));
  EXPECT_EQ(slider->value(), held);
  EXPECT_FALSE(slider->isDragging());
}

TEST_F(SliderTest, SetValueFromAnotherSlidersHandler) {
  FloatSlider follower(Qt::Horizontal, host.get());
  follower.setRange(kMin, kMax);
  int followerChanges = 0;
  float followerSaw = 0.0f;
  slider->OnChange = [&] { follower.setValue(slider->value()); };
  // The follower writes back the value the leader holds: no change, no loop.
  follower.OnChange = [&] {
    ++followerChanges;
    followerSaw = follower.value();
    slider->setValue(follower.value());
  };
  slider->setValue(20.5f);
  EXPECT_EQ(follower.value(), 20.5f);
  EXPECT_EQ(followerChanges, 1);
  EXPECT_EQ(followerSaw, 20.5f);

  // A handler that sets its own slider again runs for the new value too.
  int runs = 0;
  slider->OnChange = [&] {
    ++runs;
    if (slider->value() < 25.0f) slider->setValue(30.0f);
  };
  slider->setValue(21.0f);
  EXPECT_EQ(slider->value(), 30.0f);
  EXPECT_EQ(runs, 2);
}

TEST_F(SliderTest, HandlerExceptionReachesTheCodeThatSetTheValue) {
  ReportRecorder recorder;
  slider->OnChange = [] { throw std::runtime_error("from the handler"); };
  EXPECT_THROW(slider->setValue(10.0f), std::runtime_error);
  // Stored before the handler ran.
  EXPECT_EQ(slider->value(), 10.0f);
  EXPECT_TRUE(recorder.messages().empty());
}

TEST_F(SliderTest, HandlerExceptionDuringADragEndsOnlyThatEvent) {
  ReportRecorder recorder;
  int calls = 0;
  slider->OnChange = [&] {
    if (++calls == 1) throw std::runtime_error("first change failed");
  };
  QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(7, 9));
  QTest::mouseMove(slider, QPoint(17, 9));
  EXPECT_EQ(recorder.messages(), std::vector<std::string>({"first change failed"}));
  EXPECT_FLOAT_EQ(slider->value(), static_cast<float>(valueAt(10)));
  // The drag goes on: the next movement changes the value and runs the handler.
  QTest::mouseMove(slider, QPoint(27, 9));
  EXPECT_EQ(calls, 2);
  EXPECT_FLOAT_EQ(slider->value(), static_cast<float>(valueAt(20)));
  QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(27, 9));
  EXPECT_EQ(log, std::vector<std::string>({"click"}));
  EXPECT_EQ(recorder.messages().size(), 1u);

  slider->OnClick = [] { throw std::runtime_error("click failed"); };
  QTest::mouseClick(slider, Qt::LeftButton, {}, slider->thumbRect().center().toPoint());
  EXPECT_EQ(recorder.messages().back(), "click failed");
  QTest::keyClick(slider, Qt::Key_Right);
  EXPECT_EQ(calls, 3);
}

TEST(VerticalSlider, MinimumAtTheBottomMaximumAtTheTop) {
  auto host = shownHost();
  FloatSlider slider(Qt::Vertical, host.get());
  slider.setGeometry(10, 10, 19, 89);
  slider.setRange(-50.0f, 50.0f);
  slider.setValue(-50.0f);
  slider.show();
  EXPECT_EQ(slider.thumbRect(), QRectF(2, 74, 15, 15));
  int changes = 0;
  slider.OnChange = [&] { ++changes; };
  // Grip the thumb 7 px above its lower edge (y = 89 − 7) and drag it up 37 px:
  // half of its 74 px travel.
  QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(9, 82));
  QTest::mouseMove(&slider, QPoint(9, 45));
  EXPECT_EQ(slider.value(), 0.0f);
  QTest::mouseMove(&slider, QPoint(9, -100));
  EXPECT_EQ(slider.value(), 50.0f);
  QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(9, 5));
  QTest::keyClick(&slider, Qt::Key_Down);
  EXPECT_EQ(slider.value(), 49.0f);
  EXPECT_EQ(changes, 3);
}

TEST_F(SliderTest, ScreenReadersSeeASliderWithItsValue) {
  slider->setAccessibleName("Points");
  slider->setValue(12.5f);
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(slider);
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->role(), QAccessible::Slider);
  EXPECT_EQ(face->text(QAccessible::Name), "Points");
  QAccessibleValueInterface* value = face->valueInterface();
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->currentValue().toDouble(), 12.5);
  EXPECT_EQ(value->minimumValue().toDouble(), 3.0);
  EXPECT_EQ(value->maximumValue().toDouble(), 100.0);
  changes.clear();
  value->setCurrentValue(40.0);
  EXPECT_EQ(slider->value(), 40.0f);
  EXPECT_EQ(changes.size(), 1u);
}

}  // namespace
}  // namespace velmora::widgets
