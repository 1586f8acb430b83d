#include "ui/Guard.h"

#include "platform/data/SilentAbort.h"
#include "ui/DialogService.h"
#include "ui/QtText.h"

#include <QGuiApplication>

#include <iostream>

namespace orvane {
namespace {

void reportToStandardError(const std::exception* error, std::string_view routine)
{
    std::cerr << "Unhandled exception" << (routine.empty() ? "" : " in ") << routine << ": "
              << (error ? error->what() : "unknown exception") << '\n';
}

ExceptionReporter& currentReporter()
{
    static ExceptionReporter reporter = reportToStandardError;
    return reporter;
}

QString textOf(const std::exception* error)
{
    return error ? text::toQString(error->what()) : QStringLiteral("Unknown exception");
}

// Reports the exception and shows it; nothing here may raise past the guard.
void report(const std::exception* error, std::string_view routine) noexcept
{
    try {
        QString shown = textOf(error);
        try {
            currentReporter()(error, routine);
        } catch (const std::exception& logFailure) {
            shown += QStringLiteral("\n\n") + text::toQString(logFailure.what());
        } catch (...) {
            shown += QStringLiteral("\n\nUnknown exception while reporting");
        }
        DialogService::instance().showMessage(
            {QGuiApplication::applicationDisplayName(), shown, DialogKind::Error, {DialogAnswer::Ok}, {}});
    } catch (...) {
        reportToStandardError(error, routine);
    }
}

} // namespace

void setExceptionReporter(ExceptionReporter reporter)
{
    currentReporter() = reporter ? std::move(reporter) : ExceptionReporter(reportToStandardError);
}

bool guarded(std::string_view routine, const std::function<void()>& action) noexcept
{
    try {
        action();
        return true;
    } catch (const SilentAbort&) {
        return false;
    } catch (const std::exception& error) {
        report(&error, routine);
    } catch (...) {
        report(nullptr, routine);
    }
    return false;
}

} // namespace orvane
