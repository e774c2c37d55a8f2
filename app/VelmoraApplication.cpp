#include "app/VelmoraApplication.h"

#include <exception>

#include <QFont>
#include <QGuiApplication>

#include "app/EventGuard.h"

namespace velmora {

void prepareApplication() {
  // Per-monitor scaling with the exact factor, so 150 % is 1.5 and not 2.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
      Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
}

VelmoraApplication::VelmoraApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("velmora"));
  setApplicationDisplayName(QStringLiteral("Velmora"));
  setApplicationVersion(QStringLiteral("1.0.0"));
  setDesktopFileName(QStringLiteral("velmora"));
  // The fonts the chart is drawn with ship with the program's dependencies,
  // so text measures and renders the same everywhere.
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif);
  setFont(font);
}

int startApplication(const std::function<void()>& createAndShow, std::ostream& errors) {
  try {
    createAndShow();
  } catch (const std::exception& error) {
    errors << "velmora: " << error.what() << '\n';
    return 1;
  } catch (...) {
    errors << "velmora: Unknown error\n";
    return 1;
  }
  return QApplication::exec();
}

bool VelmoraApplication::notify(QObject* receiver, QEvent* event) {
  // The program's own entry points catch for themselves (runGuarded); this
  // is the net for anything that slips past them.
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    reportException(error.what());
  } catch (...) {
    reportException("Unknown error");
  }
  return false;
}

}  // namespace velmora
