#include "app/EventGuard.h"

#include <exception>
#include <utility>

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QString>
#include <QWidget>

namespace velmora {
namespace {

void showInDialog(const std::string& message) {
  // Queued, so the dialog's own event loop never runs inside a half-finished
  // mouse or key event.
  const QString text = QString::fromStdString(message);
  QMetaObject::invokeMethod(
      qApp,
      [text] {
        QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), text,
                        QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
      },
      Qt::QueuedConnection);
}

ExceptionReporter& reporter() {
  static ExceptionReporter current = showInDialog;
  return current;
}

}  // namespace

void setExceptionReporter(ExceptionReporter newReporter) {
  reporter() = newReporter ? std::move(newReporter) : ExceptionReporter(showInDialog);
}

void reportException(const std::string& message) { reporter()(message); }

void runGuarded(const std::function<void()>& body) {
  try {
    body();
  } catch (const std::exception& error) {
    reportException(error.what());
  } catch (...) {
    reportException("Unknown error");
  }
}

}  // namespace velmora
