#include <gtest/gtest.h>

#include <QTest>
#include <memory>
#include <vector>

#include "WidgetTestSupport.h"
#include "widgets/Anchors.h"

namespace velmora::widgets {
namespace {

using testing::shownHost;

// "Normalise to gait cycle" as laid out: 796, 496, 197 × 30 in 1000 × 600.
// Its centre is (894.5, 511).
const QRect kDesigned(796, 496, 197, 30);
const QSize kLayout(1000, 600);

struct Case {
  const char* name;
  int anchors;
  QSize now;
  QRect expected;
};

// Expected places worked by hand. Centre rule: x = round(894.5 × W / 1000 − 98.5),
// y = round(511 × H / 600 − 15).
const Case kCases[] = {
    // Widened by 200.
    {"right", AnchorRight, {1200, 600}, {996, 496, 197, 30}},
    {"left top", AnchorLeft | AnchorTop, {1200, 600}, {796, 496, 197, 30}},
    {"right bottom", AnchorRight | AnchorBottom, {1200, 600}, {996, 496, 197, 30}},
    {"left right", AnchorLeft | AnchorRight, {1200, 600}, {796, 496, 397, 30}},
    {"left right bottom",
     AnchorLeft | AnchorRight | AnchorBottom,
     {1200, 600},
     {796, 496, 397, 30}},
    // 894.5 × 1.2 − 98.5 = 974.9
    {"top bottom", AnchorTop | AnchorBottom, {1200, 600}, {975, 496, 197, 30}},
    {"none", 0, {1200, 600}, {975, 496, 197, 30}},
    {"all", AnchorLeft | AnchorTop | AnchorRight | AnchorBottom, {1200, 600}, {796, 496, 397, 30}},
    // Made taller by 200: 511 × 800 / 600 − 15 = 666.33
    {"right, taller", AnchorRight, {1000, 800}, {796, 666, 197, 30}},
    {"right bottom, taller", AnchorRight | AnchorBottom, {1000, 800}, {796, 696, 197, 30}},
    {"top bottom, taller", AnchorTop | AnchorBottom, {1000, 800}, {796, 496, 197, 230}},
    {"left top, taller", AnchorLeft | AnchorTop, {1000, 800}, {796, 496, 197, 30}},
    // Narrower: 894.5 × 0.8 − 98.5 = 617.1, 511 × 0.5 − 15 = 240.5 → 241
    {"none, smaller", 0, {800, 300}, {617, 241, 197, 30}},
    {"left right, smaller", AnchorLeft | AnchorRight, {800, 300}, {796, 241, 0, 30}},
    // Down to a single pixel: stretched sizes stop at 0.
    {"all, 1 x 1", AnchorLeft | AnchorTop | AnchorRight | AnchorBottom, {1, 1}, {796, 496, 0, 0}},
    {"right bottom, 1 x 1", AnchorRight | AnchorBottom, {1, 1}, {-203, -103, 197, 30}},
    // 894.5 × 0.001 − 98.5 = −97.6, 511 / 600 − 15 = −14.15
    {"none, 1 x 1", 0, {1, 1}, {-98, -14, 197, 30}},
    {"none, 0 x 0", 0, {0, 0}, {-99, -15, 197, 30}},
    // 8K: 894.5 × 7.68 − 98.5 = 6771.26, 511 × 7.2 − 15 = 3664.2
    {"right, 8K", AnchorRight, {7680, 4320}, {7476, 3664, 197, 30}},
    {"none, 8K", 0, {7680, 4320}, {6771, 3664, 197, 30}},
    {"all, 8K",
     AnchorLeft | AnchorTop | AnchorRight | AnchorBottom,
     {7680, 4320},
     {796, 496, 6877, 3750}},
};

TEST(AnchorPlace, EachCombinationFollowsItsRule) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AnchorLayout::place(kDesigned, kLayout, c.now, c.anchors), c.expected);
  }
}

TEST(AnchorPlace, ParentDesignedAtZeroSizeMovesTheCentreByHalfTheGrowth) {
  EXPECT_EQ(AnchorLayout::place(QRect(10, 20, 30, 40), QSize(0, 0), QSize(100, 50), 0),
            QRect(60, 45, 30, 40));
}

class AnchorLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host = shownHost(kLayout.width(), kLayout.height());
    anchors = new AnchorLayout(host.get());
    for (const Case& c : kCases) {
      auto* child = new QWidget(host.get());
      child->setGeometry(kDesigned);
      child->show();
      anchors->add(child, c.anchors);
      children.push_back(child);
    }
  }
  void expectPlacesFor(const QSize& size) {
    for (std::size_t i = 0; i < std::size(kCases); ++i) {
      SCOPED_TRACE(kCases[i].name);
      EXPECT_EQ(children[i]->geometry(),
                AnchorLayout::place(kDesigned, kLayout, size, kCases[i].anchors));
    }
  }

  std::unique_ptr<QWidget> host;
  AnchorLayout* anchors = nullptr;
  std::vector<QWidget*> children;
};

TEST_F(AnchorLayoutTest, ParentResizeMovesEveryChild) {
  host->resize(1200, 600);
  ASSERT_EQ(host->size(), QSize(1200, 600));
  EXPECT_EQ(children[0]->geometry(), QRect(996, 496, 197, 30));
  EXPECT_EQ(children[1]->geometry(), QRect(796, 496, 197, 30));
  expectPlacesFor(QSize(1200, 600));
}

TEST_F(AnchorLayoutTest, ManyResizesLeaveNoDrift) {
  const QSize sizes[] = {{1013, 617}, {1, 1}, {7680, 4320}, {0, 0}, {999, 601}, {333, 777}};
  for (int round = 0; round < 20; ++round)
    for (const QSize& size : sizes) host->resize(size);
  host->resize(1200, 600);
  expectPlacesFor(QSize(1200, 600));
  host->resize(kLayout);
  for (QWidget* child : children) EXPECT_EQ(child->geometry(), kDesigned);
}

TEST_F(AnchorLayoutTest, ExtremeSizesKeepSizesNonNegative) {
  for (const QSize& size : {QSize(1, 1), QSize(0, 0), QSize(7680, 4320), QSize(1, 4320)}) {
    SCOPED_TRACE(size.width());
    host->resize(size);
    for (QWidget* child : children) {
      EXPECT_GE(child->width(), 0);
      EXPECT_GE(child->height(), 0);
    }
  }
}

TEST_F(AnchorLayoutTest, ChildrenThatPlaceThemselvesKeepTheirPlace) {
  // A left-top label placed and sized by its owner (after each paint, say).
  QWidget* label = children[1];
  label->setGeometry(88, 80, 300, 51);
  host->resize(1200, 700);
  EXPECT_EQ(label->geometry(), QRect(88, 80, 300, 51));

  // A right-anchored control moved by code at 1200 wide keeps its new
  // distance to the right edge from then on.
  QWidget* control = children[0];
  control->move(1000, 300);
  host->resize(1100, 700);
  EXPECT_EQ(control->pos(), QPoint(900, 300));
}

TEST(AnchorLayoutHidden, PlacesChildrenWhenTheParentIsShown) {
  QWidget parent;
  parent.resize(kLayout);
  auto* child = new QWidget(&parent);
  child->setGeometry(kDesigned);
  AnchorLayout anchors(&parent);
  anchors.add(child, AnchorRight | AnchorBottom);
  parent.resize(1200, 700);
  parent.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
  EXPECT_EQ(child->geometry(), QRect(996, 596, 197, 30));
  parent.resize(kLayout);
  EXPECT_EQ(child->geometry(), kDesigned);
}

TEST(AnchorLayoutChild, ADeletedChildIsPassedOver) {
  auto host = shownHost(kLayout.width(), kLayout.height());
  AnchorLayout anchors(host.get());
  auto* gone = new QWidget(host.get());
  auto* kept = new QWidget(host.get());
  for (QWidget* child : {gone, kept}) {
    child->setGeometry(kDesigned);
    anchors.add(child, AnchorRight);
  }
  delete gone;
  host->resize(1200, 600);
  EXPECT_EQ(kept->geometry(), QRect(996, 496, 197, 30));
  anchors.remove(kept);
  host->resize(kLayout);
  EXPECT_EQ(kept->geometry(), QRect(996, 496, 197, 30));
}

}  // namespace
}  // namespace velmora::widgets
