#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "WidgetTestSupport.h"
#include "widgets/CheckBox.h"
#include "widgets/FloatSlider.h"
#include "widgets/ToggleSwitch.h"

namespace velmora::widgets {
namespace {

using Glyph = CheckBox::Glyph;
using testing::keepForViewing;
using testing::renderAt;
using testing::shownHost;

const QColor kBackground(0xF0, 0xF0, 0xF0);

int lightness(QRgb pixel) { return (qRed(pixel) + qGreen(pixel) + qBlue(pixel)) / 3; }
bool bluish(QRgb pixel) { return qBlue(pixel) > qRed(pixel) + 40; }
bool greyish(QRgb pixel) {
  return std::abs(qRed(pixel) - qGreen(pixel)) < 8 && std::abs(qGreen(pixel) - qBlue(pixel)) < 8;
}

// The smallest device-pixel rectangle holding every pixel of `area` that
// differs from the background.
QRect drawnWithin(const QImage& image, const QRect& area) {
  QRect found;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.pixel(x, y) != kBackground.rgb()) found |= QRect(x, y, 1, 1);
  return found;
}

std::string ratioName(qreal ratio) { return std::to_string(static_cast<int>(ratio * 100)); }

TEST(GlyphPicture, SizesFollowTheDisplayScale) {
  const struct {
    qreal ratio;
    int size;
  } scales[] = {{1.0, 13}, {1.25, 16}, {1.5, 19}, {2.0, 26}, {3.0, 39}};
  for (const auto& scale : scales) {
    SCOPED_TRACE(scale.ratio);
    const QImage picture = CheckBox::glyphImage(Glyph::Checked, scale.ratio);
    EXPECT_EQ(picture.size(), QSize(scale.size, scale.size));
    EXPECT_EQ(picture.devicePixelRatio(), scale.ratio);
  }
}

TEST(GlyphPicture, FourCrispPictures) {
  const struct {
    Glyph glyph;
    const char* name;
    bool hover;
    bool checked;
  } glyphs[] = {{Glyph::Unchecked, "unchecked", false, false},
                {Glyph::Checked, "checked", false, true},
                {Glyph::UncheckedHover, "unchecked-hover", true, false},
                {Glyph::CheckedHover, "checked-hover", true, true}};
  for (qreal ratio : {1.0, 1.5, 2.0}) {
    for (const auto& g : glyphs) {
      SCOPED_TRACE(std::string(g.name) + " at " + ratioName(ratio));
      const QImage picture = CheckBox::glyphImage(g.glyph, ratio);
      keepForViewing(picture, std::string("glyph-") + g.name + "-" + ratioName(ratio));
      const int last = picture.width() - 1;
      // The border is whole device pixels: one colour, fully opaque, all round.
      const QRgb border = picture.pixel(0, 0);
      EXPECT_EQ(qAlpha(border), 255);
      for (int i = 0; i <= last; ++i)
        for (QPoint at : {QPoint(i, 0), QPoint(i, last), QPoint(0, i), QPoint(last, i)})
          ASSERT_EQ(picture.pixel(at), border);
      EXPECT_EQ(g.hover, bluish(border));
      EXPECT_EQ(!g.hover, greyish(border));
      // Inside: white, or light blue under the pointer; a dark mark when checked.
      const QRgb corner = picture.pixel(2, 2);
      EXPECT_GT(lightness(corner), 220);
      EXPECT_EQ(g.hover, qBlue(corner) > qRed(corner));
      int darkest = 255;
      for (int y = 2; y < last - 1; ++y)
        for (int x = 2; x < last - 1; ++x)
          darkest = std::min(darkest, lightness(picture.pixel(x, y)));
      if (g.checked)
        EXPECT_LT(darkest, 60);
      else
        EXPECT_GT(darkest, 220);
    }
  }
}

class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override { host = shownHost(1000, 600); }
  std::unique_ptr<QWidget> host;
};

TEST_F(RenderTest, CheckBoxGlyphLandsOnWholeDevicePixels) {
  auto* box = new CheckBox(QStringLiteral("Connect"), host.get());
  box->setGeometry(796, 413, 94, 19);
  box->setChecked(true);
  box->show();
  // Glyph places worked by hand: left = floor((18r − s) / 2), top = floor((19r − s) / 2).
  const struct {
    qreal ratio;
    QRect glyph;
  } scales[] = {{1.0, {2, 3, 13, 13}}, {1.5, {4, 4, 19, 19}}, {2.0, {5, 6, 26, 26}}};
  for (const auto& scale : scales) {
    SCOPED_TRACE(scale.ratio);
    const QImage image = renderAt(*box, scale.ratio, kBackground);
    keepForViewing(image, "checkbox-connect-" + ratioName(scale.ratio));
    const int column = static_cast<int>(18 * scale.ratio);
    EXPECT_EQ(drawnWithin(image, QRect(0, 0, column, image.height())), scale.glyph);
    // Copied one to one: the drawn pixels are the picture's.
    const QImage picture = CheckBox::glyphImage(Glyph::Checked, scale.ratio);
    const QImage drawn = image.copy(scale.glyph).convertToFormat(picture.format());
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x) ASSERT_EQ(drawn.pixel(x, y), picture.pixel(x, y));
  }
}

TEST_F(RenderTest, CheckBoxCaptionIsBlackBesideTheColumnAndCentred) {
  auto* box = new CheckBox(QStringLiteral("Normalise to gait cycle"), host.get());
  box->setTextPixelSize(15);
  box->setGeometry(796, 496, 197, 30);
  box->show();
  for (qreal ratio : {1.0, 2.0}) {
    SCOPED_TRACE(ratio);
    const QImage image = renderAt(*box, ratio, kBackground);
    keepForViewing(image, "checkbox-normalise-" + ratioName(ratio));
    const int r = static_cast<int>(ratio);
    // Nothing between the glyph's column and the caption's start at 21.
    EXPECT_TRUE(drawnWithin(image, QRect(16 * r, 0, 5 * r, image.height())).isNull());
    const QRect text = drawnWithin(image, QRect(21 * r, 0, 176 * r, image.height()));
    ASSERT_FALSE(text.isNull());
    EXPECT_LE(text.left(), 23 * r);
    EXPECT_LT(text.right(), 197 * r);
    EXPECT_NEAR(text.center().y() / ratio, 15.0, 3.0);
    int darkest = 255;
    for (int y = text.top(); y <= text.bottom(); ++y)
      for (int x = text.left(); x <= text.right(); ++x)
        darkest = std::min(darkest, lightness(image.pixel(x, y)));
    EXPECT_LT(darkest, 30);
  }
}

TEST_F(RenderTest, CaptionWrapsOnlyWhereItsLinesFit) {
  const struct {
    const char* text;
    QSize size;
    int pixels;
    bool twoLines;
  } boxes[] = {{"Normalise to gait cycle", {120, 40}, 15, true},
               {"Normalise to gait cycle", {197, 30}, 15, false},
               // A hair too wide for its box, and no room for a second line.
               {"Point #", {78, 19}, 16, false},
               {"Point #", {60, 19}, 16, false}};
  for (const auto& b : boxes) {
    SCOPED_TRACE(std::string(b.text) + " in " + std::to_string(b.size.width()));
    CheckBox box(QString::fromLatin1(b.text), host.get());
    box.setTextPixelSize(b.pixels);
    box.setGeometry(QRect(QPoint(10, 10), b.size));
    box.show();
    const QImage image = renderAt(box, 1.0, kBackground);
    keepForViewing(
        image, "caption-" + std::to_string(b.size.width()) + "x" + std::to_string(b.size.height()));
    const QRect text = drawnWithin(image, QRect(21, 0, b.size.width() - 21, b.size.height()));
    ASSERT_FALSE(text.isNull());
    // One line of 15 or 16 px type stands at most about 16 px tall.
    EXPECT_EQ(b.twoLines, text.height() > 20);
  }
}

TEST_F(RenderTest, DisabledControlsAreDrawnAtSixtyPercent) {
  auto* box = new CheckBox(QStringLiteral("Point #"), host.get());
  box->setGeometry(796, 303, 78, 19);
  box->show();
  const QPoint border(2, 3);
  const QRgb enabled = renderAt(*box, 1.0, kBackground).pixel(border);
  box->setEnabled(false);
  const QImage dimmed = renderAt(*box, 1.0, kBackground);
  keepForViewing(dimmed, "checkbox-disabled-100");
  const QRgb disabled = dimmed.pixel(border);
  const auto blend = [](int colour, int under) { return 0.6 * colour + 0.4 * under; };
  EXPECT_NEAR(qRed(disabled), blend(qRed(enabled), kBackground.red()), 1.5);
  EXPECT_NEAR(qGreen(disabled), blend(qGreen(enabled), kBackground.green()), 1.5);
  EXPECT_NEAR(qBlue(disabled), blend(qBlue(enabled), kBackground.blue()), 1.5);

  auto* toggle = new ToggleSwitch(host.get());
  toggle->setGeometry(853, 448, 44, 26);
  toggle->show();
  const QPoint track(34, 13);
  const QRgb on = renderAt(*toggle, 1.0, kBackground).pixel(track);
  toggle->setEnabled(false);
  const QRgb dim = renderAt(*toggle, 1.0, kBackground).pixel(track);
  EXPECT_NEAR(qRed(dim), blend(qRed(on), kBackground.red()), 1.5);
  EXPECT_NEAR(qBlue(dim), blend(qBlue(on), kBackground.blue()), 1.5);
}

TEST_F(RenderTest, SliderGrooveIsCrispAndFilledUpToTheThumb) {
  auto* slider = new FloatSlider(Qt::Horizontal, host.get());
  slider->setGeometry(881, 392, 89, 19);
  slider->setRange(3.0f, 100.0f);
  slider->setValue(51.5f);
  slider->show();
  // The thumb starts at (51.5 − 3) / 97 × 74 = 37, its centre at 44.5; the
  // groove's three rows 8 to 10 (six at 200 %) sit between bare rows.
  for (qreal ratio : {1.0, 2.0}) {
    SCOPED_TRACE(ratio);
    const QImage image = renderAt(*slider, ratio, kBackground);
    keepForViewing(image, "slider-" + ratioName(ratio));
    const int r = static_cast<int>(ratio);
    for (int x : {20, 70}) {
      SCOPED_TRACE(x);
      const int dx = x * r;
      EXPECT_EQ(image.pixel(dx, 8 * r - 1), kBackground.rgb());
      EXPECT_EQ(image.pixel(dx, 11 * r), kBackground.rgb());
      const QRgb groove = image.pixel(dx, 8 * r);
      for (int y = 8 * r; y < 11 * r; ++y) EXPECT_EQ(image.pixel(dx, y), groove);
      // Accent before the thumb, grey after it.
      EXPECT_EQ(x < 44, bluish(groove));
      EXPECT_EQ(x > 44, greyish(groove));
    }
    // The thumb: white, with its accent dot at the centre.
    EXPECT_GT(lightness(image.pixel(40 * r, 9 * r + r / 2)), 240);
    EXPECT_TRUE(bluish(image.pixel(static_cast<int>(44.5 * r), static_cast<int>(9.5 * r))));
  }
  slider->setFocus();
  keepForViewing(renderAt(*slider, 2.0, kBackground), "slider-focused-200");
  auto* vertical = new FloatSlider(Qt::Vertical, host.get());
  vertical->setGeometry(6, 56, 19, 120);
  vertical->setRange(-50.0f, 50.0f);
  vertical->setValue(10.0f);
  vertical->show();
  keepForViewing(renderAt(*vertical, 2.0, kBackground), "slider-vertical-200");
}

TEST_F(RenderTest, SwitchTrackIsGreyOffAndAccentOn) {
  auto* toggle = new ToggleSwitch(host.get());
  toggle->setGeometry(853, 448, 44, 26);
  toggle->show();
  for (qreal ratio : {1.0, 2.0}) {
    SCOPED_TRACE(ratio);
    const int r = static_cast<int>(ratio);
    toggle->setOn(false);
    const QImage off = renderAt(*toggle, ratio, kBackground);
    keepForViewing(off, "switch-off-" + ratioName(ratio));
    toggle->setOn(true);
    const QImage on = renderAt(*toggle, ratio, kBackground);
    keepForViewing(on, "switch-on-" + ratioName(ratio));
    // The knob sits at the left when off, at the right when on.
    EXPECT_TRUE(greyish(off.pixel(34 * r, 13 * r)) && lightness(off.pixel(34 * r, 13 * r)) < 200);
    EXPECT_GT(lightness(off.pixel(13 * r, 13 * r)), 250);
    EXPECT_TRUE(bluish(on.pixel(10 * r, 13 * r)));
    EXPECT_GT(lightness(on.pixel(31 * r, 13 * r)), 250);
    // Outside the rounded track's corner, the background shows.
    EXPECT_EQ(on.pixel(2 * r, 2 * r), kBackground.rgb());
  }
  toggle->setFocus();
  keepForViewing(renderAt(*toggle, 2.0, kBackground), "switch-on-focused-200");
}

}  // namespace
}  // namespace velmora::widgets
