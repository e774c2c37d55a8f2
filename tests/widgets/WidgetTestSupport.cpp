#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QPainter>
#include <QTest>
#include <cstdlib>

#include "app/EventGuard.h"

namespace velmora::widgets::testing {
namespace {

// One application for the whole run; gtest_main owns main().
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "widgets_tests";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQt =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

std::unique_ptr<QWidget> shownHost(int width, int height) {
  // The pointer rests outside every window until a test moves it.
  QCursor::setPos(QPoint(0, 0));
  QCoreApplication::processEvents();
  auto host = std::make_unique<QWidget>();
  host->setGeometry(100, 100, width, height);
  host->show();
  host->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(host.get()));
  return host;
}

ReportRecorder::ReportRecorder() : messages_(std::make_shared<std::vector<std::string>>()) {
  setExceptionReporter(
      [messages = messages_](const std::string& message) { messages->push_back(message); });
}

ReportRecorder::~ReportRecorder() { setExceptionReporter(nullptr); }

QImage renderAt(QWidget& widget, qreal ratio, const QColor& background) {
  QImage image(widget.size() * ratio, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(background);
  widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  return image;
}

void keepForViewing(const QImage& image, const std::string& name) {
  const char* dir = std::getenv("VELMORA_WIDGET_PNG_DIR");
  if (!dir || !*dir) return;
  QDir().mkpath(QString::fromLocal8Bit(dir));
  EXPECT_TRUE(image.save(
      QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromStdString(name) + ".png")));
}

}  // namespace velmora::widgets::testing
