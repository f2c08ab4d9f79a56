// The routing of the exceptions that event handlers and the platform's calls
// into the framework raise: each is reported once, to the reporter the
// application installs, and none crosses the platform's frames.
#pragma once

#include <functional>

class TObject;

// Where exceptions from the event handlers the framework calls are reported
// (the application installs its reporter); without one they pass on.
using ExceptionReporter = void (*)(TObject* sender);
void SetExceptionReporter(ExceptionReporter reporter);
// Reports the exception being handled; call it only inside a catch block.
void ReportHandlerException(TObject* sender);
// Runs an event handler (or a step that runs handlers) that the framework
// calls itself, outside the window procedure: the message loop's keyboard
// handling, a form's creation, showing, activation and closing. What it
// raises is reported, so the caller goes on; returns false when it raised.
bool CallHandler(TObject* sender, const std::function<void()>& handler);

// Reports an exception caught where the platform called the framework; it
// never lets the exception go on into the platform's frames.
void ReportCallbackException(TObject* sender) noexcept;

// The guard of every entry point the platform calls (window and hook
// procedures, enumeration and DDE callbacks): runs body and returns what it
// returns; if it raises, the exception is reported for sender and fallback
// is returned, so that no exception crosses the platform's frames.
template <typename Result, typename Body>
Result GuardEntry(TObject* sender, Result fallback, Body&& body) noexcept
{
    try {
        return body();
    } catch (...) {
        ReportCallbackException(sender);
        return fallback;
    }
}
