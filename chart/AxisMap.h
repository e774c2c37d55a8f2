// Value-to-pixel mapping of one axis over the pixel extent of the last layout.
#pragma once

namespace velmora::chart {

// Maps [minimum, maximum] onto [pixelStart, pixelEnd]. For a vertical axis
// pixelStart is the plot's bottom edge and pixelEnd its top edge, so the flip
// lives here and nowhere else.
struct AxisMap {
  double minimum = 0.0;
  double maximum = 1.0;
  double pixelStart = 0.0;
  double pixelEnd = 1.0;

  double pixelExtent() const { return pixelEnd - pixelStart; }
  bool degenerate() const { return pixelEnd == pixelStart || maximum == minimum; }

  double toPixel(double value) const {
    const double span = maximum - minimum;
    if (span == 0.0) return (pixelStart + pixelEnd) / 2.0;
    return pixelStart + (value - minimum) / span * (pixelEnd - pixelStart);
  }
  double toValue(double pixel) const {
    const double extent = pixelEnd - pixelStart;
    if (extent == 0.0) return minimum;
    return minimum + (pixel - pixelStart) / extent * (maximum - minimum);
  }
};

}  // namespace velmora::chart
