#include <memory>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QTest>

#include "WidgetTestSupport.h"
#include "widgets/CheckBox.h"

namespace velmora::widgets {
namespace {

using Glyph = CheckBox::Glyph;
using testing::ReportRecorder;
using testing::shownHost;

class CheckBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host = shownHost();
    box = new CheckBox(QStringLiteral("Point #"), host.get());
    box->setGeometry(40, 40, 78, 19);
    box->show();
    box->OnChange = [this] { seen.push_back(box->isChecked()); };
  }

  std::unique_ptr<QWidget> host;
  CheckBox* box = nullptr;
  // The state each OnChange found stored.
  std::vector<bool> seen;
};

TEST_F(CheckBoxTest, SetCheckedRaisesOnlyOnARealChangeAfterStoring) {
  struct Step {
    bool set;
    bool raises;
  } steps[] = {{false, false}, {true, true}, {true, false}, {false, true}, {false, false}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.set);
    seen.clear();
    box->setChecked(step.set);
    EXPECT_EQ(box->isChecked(), step.set);
    if (step.raises)
      EXPECT_EQ(seen, std::vector<bool>({step.set}));
    else
      EXPECT_TRUE(seen.empty());
  }
}

TEST_F(CheckBoxTest, TextAndTextSize) {
  EXPECT_EQ(box->text(), "Point #");
  EXPECT_EQ(CheckBox().textPixelSize(), 16);
  box->setTextPixelSize(15);
  EXPECT_EQ(box->textPixelSize(), 15);
  EXPECT_EQ(box->font().pixelSize(), 15);
}

TEST_F(CheckBoxTest, ClickAndSpaceToggle) {
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, 9));
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(60, 9));
  QTest::keyClick(box, Qt::Key_Space);
  EXPECT_TRUE(box->isChecked());
  EXPECT_EQ(seen, std::vector<bool>({true, false, true}));
}

TEST_F(CheckBoxTest, IncompleteClicksDoNotToggle) {
  QTest::mousePress(box, Qt::LeftButton, {}, QPoint(8, 9));
  QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(8, 90));
  QTest::mouseClick(box, Qt::RightButton, {}, QPoint(8, 9));
  QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(8, 9));
  EXPECT_FALSE(box->isChecked());
  EXPECT_TRUE(seen.empty());
}

TEST_F(CheckBoxTest, DisabledIgnoresClicksAndKeys) {
  box->setEnabled(false);
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, 9));
  QTest::keyClick(box, Qt::Key_Space);
  EXPECT_FALSE(box->isChecked());
  EXPECT_TRUE(seen.empty());
  // Code may still set it.
  box->setChecked(true);
  EXPECT_EQ(seen, std::vector<bool>({true}));
}

TEST_F(CheckBoxTest, GlyphFollowsStateAndPointer) {
  EXPECT_EQ(box->glyph(), Glyph::Unchecked);
  EXPECT_FALSE(box->hoverGlyph());

  // The pointer comes over the box through the platform's own enter events.
  QTest::mouseMove(box, QPoint(30, 9));
  EXPECT_TRUE(box->underMouse());
  EXPECT_TRUE(box->hoverGlyph());
  EXPECT_EQ(box->glyph(), Glyph::UncheckedHover);
  box->setChecked(true);
  EXPECT_EQ(box->glyph(), Glyph::CheckedHover);

  QTest::mouseMove(host.get(), QPoint(300, 150));
  EXPECT_FALSE(box->underMouse());
  EXPECT_FALSE(box->hoverGlyph());
  EXPECT_EQ(box->glyph(), Glyph::Checked);

  box->setEnabled(false);
  QTest::mouseMove(box, QPoint(30, 9));
  EXPECT_FALSE(box->hoverGlyph());
  EXPECT_EQ(box->glyph(), Glyph::Checked);
}

TEST_F(CheckBoxTest, FocusShowsTheHoverGlyph) {
  ASSERT_TRUE(QTest::qWaitForWindowActive(host.get()));
  box->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(box->hasFocus());
  EXPECT_TRUE(box->hoverGlyph());
  EXPECT_EQ(box->glyph(), Glyph::UncheckedHover);
  box->setChecked(true);
  EXPECT_EQ(box->glyph(), Glyph::CheckedHover);
  box->clearFocus();
  EXPECT_EQ(box->glyph(), Glyph::Checked);
}

TEST_F(CheckBoxTest, GlyphAndCaptionPlaces) {
  EXPECT_EQ(box->glyphRect(), QRect(2, 3, 13, 13));
  EXPECT_EQ(box->captionRect(), QRectF(21, 0, 57, 19));
  box->setGeometry(796, 496, 197, 30);
  EXPECT_EQ(box->glyphRect(), QRect(2, 8, 13, 13));
  EXPECT_EQ(box->captionRect(), QRectF(21, 0, 176, 30));
}

TEST_F(CheckBoxTest, HandlerExceptionIsCaughtForTheClickOnly) {
  ReportRecorder recorder;
  box->OnChange = [] { throw std::runtime_error("change failed"); };
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, 9));
  EXPECT_TRUE(box->isChecked());
  EXPECT_EQ(recorder.messages(), std::vector<std::string>({"change failed"}));
  QTest::keyClick(box, Qt::Key_Space);
  EXPECT_FALSE(box->isChecked());
  EXPECT_EQ(recorder.messages().size(), 2u);
  EXPECT_THROW(box->setChecked(true), std::runtime_error);
  EXPECT_TRUE(box->isChecked());
}

TEST_F(CheckBoxTest, ScreenReadersSeeACheckBox) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(box);
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->role(), QAccessible::CheckBox);
  EXPECT_EQ(face->text(QAccessible::Name), "Point #");
  box->setAccessibleName("Point numbers");
  EXPECT_EQ(face->text(QAccessible::Name), "Point numbers");
  EXPECT_TRUE(face->state().checkable);
  EXPECT_FALSE(face->state().checked);
  box->setChecked(true);
  EXPECT_TRUE(face->state().checked);
}

}  // namespace
}  // namespace velmora::widgets
