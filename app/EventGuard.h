// The per-event exception net. Qt's GUI libraries are built without
// exceptions, so an exception must never unwind through them: every entry
// from a Qt event into the program's code runs inside runGuarded, which ends
// that one event at the exception and reports its message.
#pragma once

#include <functional>
#include <string>

namespace velmora {

using ExceptionReporter = std::function<void(const std::string& message)>;

// Runs `body`; an exception escaping it is reported and swallowed.
void runGuarded(const std::function<void()>& body);

// Where the messages go: by default a message dialog, shown once per
// exception after the event has ended; the driver records them instead.
void setExceptionReporter(ExceptionReporter reporter);
void reportException(const std::string& message);

}  // namespace velmora
