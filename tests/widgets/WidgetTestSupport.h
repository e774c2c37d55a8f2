// Shared pieces of the widget tests: a shown host window, a recording
// exception reporter and rendering at a chosen display scale.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QColor>
#include <QImage>
#include <QWidget>

namespace velmora::widgets::testing {

// A top-level window that the controls under test live in, shown and
// exposed before any event is sent.
std::unique_ptr<QWidget> shownHost(int width = 400, int height = 200);

// Records what the per-event guard reports while it lives.
class ReportRecorder {
 public:
  ReportRecorder();
  ~ReportRecorder();
  const std::vector<std::string>& messages() const { return *messages_; }

 private:
  std::shared_ptr<std::vector<std::string>> messages_;
};

// The widget alone, drawn over `background` into an image of its size
// times `ratio` device pixels.
QImage renderAt(QWidget& widget, qreal ratio, const QColor& background = QColor(0xF0, 0xF0, 0xF0));

// Writes the image as NAME.png into $VELMORA_WIDGET_PNG_DIR, when set, for a
// look by eye.
void keepForViewing(const QImage& image, const std::string& name);

}  // namespace velmora::widgets::testing
