// The application object: a QApplication whose event delivery is the last
// net for an exception that escapes an event.
#pragma once

#include <functional>
#include <ostream>

#include <QApplication>

namespace velmora {

class VelmoraApplication : public QApplication {
 public:
  VelmoraApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;
};

// Settings that must be made before the application object exists.
void prepareApplication();

// Runs start-up, then the event loop, and returns the loop's exit status.
// Start-up happens before any event is dispatched, so nothing catches an
// exception from it but this: the message goes to `errors` as
// "velmora: <message>" and the program ends with status 1.
int startApplication(const std::function<void()>& createAndShow, std::ostream& errors);

}  // namespace velmora
