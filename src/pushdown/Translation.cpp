#include <nvtarnix/PushDown.h>

namespace nvtarnix::pushdown {

QString outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Complete: return QStringLiteral("Complete");
    case Outcome::Partial: return QStringLiteral("Partial");
    case Outcome::Fail: return QStringLiteral("Fail");
    }
    return {};
}

QString Translation::explanation() const
{
    QString text = QStringLiteral("push-down: %1\n").arg(outcomeName(outcome));
    if (outcome != Outcome::Fail) {
        text += QStringLiteral("where: %1\n").arg(where);
        text += QStringLiteral("engine decides: %1\n").arg(flagged);
        for (qsizetype i = 0; i < parameters.size(); ++i) {
            const Parameter &p = parameters[i];
            const QString type = p.type == Parameter::Type::Integer ? QStringLiteral("integer")
                                 : p.type == Parameter::Type::Real  ? QStringLiteral("real")
                                                                    : QStringLiteral("text");
            const QString shown = p.type == Parameter::Type::Text
                                      ? QLatin1Char('"') + p.value.toString() + QLatin1Char('"')
                                  : p.type == Parameter::Type::Real ? QString::number(p.value.toDouble(), 'g', 17)
                                                                    : p.value.toString();
            text += QStringLiteral("parameter %1: %2 %3\n").arg(QString::number(i + 1), type, shown);
        }
    }
    for (const Note &n : notes)
        text += QStringLiteral("note: line %1, column %2: %3: %4\n")
                    .arg(QString::number(n.line), QString::number(n.column), n.part, n.reason);
    return text;
}

} // namespace nvtarnix::pushdown
