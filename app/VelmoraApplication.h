// The application object: a QApplication whose event delivery is the last
// net for an exception that escapes an event.
#pragma once

#include <QApplication>

namespace velmora {

class VelmoraApplication : public QApplication {
 public:
  VelmoraApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;
};

// Settings that must be made before the application object exists.
void prepareApplication();

}  // namespace velmora
