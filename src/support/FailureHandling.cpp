#include "support/FailureHandling.h"

#include "vbscript/ScriptError.h"

#include <QFileInfo>

#include <exception>

namespace nvtarnix {

// Off unless asked for: a host's own log stays as it was.
Q_LOGGING_CATEGORY(lcSkippedFailure, "nvtarnix.skipped", QtInfoMsg)

namespace {

QString describeCurrentException()
{
    try {
        throw;
    } catch (const Error &e) {
        return QStringLiteral("error %1 (%2): %3").arg(e.number()).arg(e.source(), e.description());
    } catch (const vbscript::ScriptError &e) {
        return QStringLiteral("engine error %1: %2").arg(e.number()).arg(e.description());
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("an exception of an unknown type");
    }
}

} // namespace

void logSkippedFailure(FailurePlace where) noexcept
{
    try {
        if (!lcSkippedFailure().isDebugEnabled())
            return;
        qCDebug(lcSkippedFailure).noquote().nospace()
            << QFileInfo(QString::fromUtf8(where.file_name())).fileName() << ':' << where.line() << ' '
            << where.function_name() << ": passed over " << describeCurrentException();
    } catch (...) {
        // Tracing must not turn a failure passed over into one that is not.
    }
}

} // namespace nvtarnix
