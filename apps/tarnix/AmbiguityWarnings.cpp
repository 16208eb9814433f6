#include "AmbiguityWarnings.h"

#include "schema/NameAmbiguities.h"

#include <QRegularExpression>

#include <cstdio>

namespace tarnixcli {

void warnAmbiguities(const QString &command, const nvtarnix::TarnixObject &builder)
{
    for (const nvtarnix::NameAmbiguity &ambiguity : builder.NameAmbiguities())
        std::fprintf(stderr, "tarnix %s: warning: %s\n", qPrintable(command),
                     nvtarnix::describeAmbiguity(ambiguity).toUtf8().constData());
}

QString withUnixLineEnds(QString text)
{
    static const QRegularExpression lineEnd(QStringLiteral("[ \\t]*\\r\\n|[ \\t]*\\r|[ \\t]+\\n"));
    return text.replace(lineEnd, QStringLiteral("\n"));
}

} // namespace tarnixcli
