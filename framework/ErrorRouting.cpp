// Exceptions from handlers and callbacks handed to the application's reporter,
// so that none reaches the platform's frames.
#include "framework/ErrorRouting.h"

#include <windows.h>

#include "runtime/Exceptions.h"

namespace {

ExceptionReporter g_reporter = nullptr;

} // namespace

void SetExceptionReporter(ExceptionReporter reporter)
{
    g_reporter = reporter;
}

void ReportHandlerException(TObject* sender)
{
    if (!g_reporter)
        throw;
    g_reporter(sender);
}

bool CallHandler(TObject* sender, const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (...) {
        ReportHandlerException(sender);
        return false;
    }
}

void ReportCallbackException(TObject* sender) noexcept
{
    try {
        ReportHandlerException(sender);
    } catch (const Exception& e) {
        // Nobody took the report: the platform's frames must not see the
        // exception, so it is shown here.
        MessageBoxA(nullptr, e.Message().c_str(), nullptr, MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    } catch (...) {
        MessageBoxA(nullptr, "Unexpected exception", nullptr, MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    }
}
