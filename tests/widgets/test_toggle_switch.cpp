#include <memory>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>

#include "WidgetTestSupport.h"
#include "widgets/ToggleSwitch.h"

namespace velmora::widgets {
namespace {

using testing::ReportRecorder;
using testing::shownHost;

class SwitchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host = shownHost();
    toggle = new ToggleSwitch(host.get());
    toggle->setGeometry(30, 30, 44, 26);
    toggle->show();
    toggle->OnSwitch = [this] { seen.push_back(toggle->isOn()); };
  }

  std::unique_ptr<QWidget> host;
  ToggleSwitch* toggle = nullptr;
  // The state each OnSwitch found stored.
  std::vector<bool> seen;
};

TEST_F(SwitchTest, StartsOffAndRaisesOnlyOnARealChange) {
  EXPECT_FALSE(toggle->isOn());
  toggle->setOn(false);
  EXPECT_TRUE(seen.empty());
  toggle->setOn(true);
  toggle->setOn(true);
  toggle->setOn(false);
  EXPECT_EQ(seen, std::vector<bool>({true, false}));
}

TEST_F(SwitchTest, EachClickTogglesOnce) {
  for (int click = 1; click <= 3; ++click) {
    SCOPED_TRACE(click);
    QTest::mouseClick(toggle, Qt::LeftButton, {}, QPoint(22, 13));
    EXPECT_EQ(toggle->isOn(), click % 2 == 1);
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(click));
  }
  EXPECT_EQ(seen, std::vector<bool>({true, false, true}));
}

TEST_F(SwitchTest, PressAloneOrReleaseElsewhereDoesNotToggle) {
  QTest::mousePress(toggle, Qt::LeftButton, {}, QPoint(22, 13));
  EXPECT_TRUE(seen.empty());
  QTest::mouseRelease(toggle, Qt::LeftButton, {}, QPoint(120, 13));
  QTest::mouseClick(toggle, Qt::RightButton, {}, QPoint(22, 13));
  EXPECT_FALSE(toggle->isOn());
  EXPECT_TRUE(seen.empty());
}

TEST_F(SwitchTest, SpaceToggles) {
  QTest::keyClick(toggle, Qt::Key_Space);
  QTest::keyClick(toggle, Qt::Key_Space);
  QTest::keyClick(toggle, Qt::Key_Space);
  EXPECT_EQ(seen, std::vector<bool>({true, false, true}));
  QTest::keyClick(toggle, Qt::Key_A);
  EXPECT_EQ(seen.size(), 3u);
}

TEST_F(SwitchTest, DisabledIgnoresClicksAndKeys) {
  toggle->setEnabled(false);
  QTest::mouseClick(toggle, Qt::LeftButton, {}, QPoint(22, 13));
  QTest::keyClick(toggle, Qt::Key_Space);
  EXPECT_FALSE(toggle->isOn());
  EXPECT_TRUE(seen.empty());
}

TEST_F(SwitchTest, HandlerExceptionIsCaughtForTheClickOnly) {
  ReportRecorder recorder;
  toggle->OnSwitch = [] { throw std::runtime_error("switch failed"); };
  QTest::mouseClick(toggle, Qt::LeftButton, {}, QPoint(22, 13));
  EXPECT_TRUE(toggle->isOn());
  EXPECT_EQ(recorder.messages(), std::vector<std::string>({"switch failed"}));
  QTest::mouseClick(toggle, Qt::LeftButton, {}, QPoint(22, 13));
  EXPECT_FALSE(toggle->isOn());
  EXPECT_EQ(recorder.messages().size(), 2u);
  EXPECT_THROW(toggle->setOn(true), std::runtime_error);
}

TEST_F(SwitchTest, ScreenReadersSeeAToggleButtonWithItsState) {
  toggle->setAccessibleName("Method");
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(toggle);
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->role(), QAccessible::Button);
  EXPECT_EQ(face->text(QAccessible::Name), "Method");
  EXPECT_TRUE(face->state().checkable);
  EXPECT_FALSE(face->state().checked);
  ASSERT_NE(face->actionInterface(), nullptr);
  face->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  EXPECT_TRUE(toggle->isOn());
  EXPECT_TRUE(face->state().checked);
  EXPECT_EQ(seen, std::vector<bool>({true}));
}

}  // namespace
}  // namespace velmora::widgets
