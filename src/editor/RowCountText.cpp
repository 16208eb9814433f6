#include "editor/RowCountText.h"

#include "support/MlStringModule.h"
#include "vbscript/ScriptLocale.h"

#include <QDate>
#include <QDateTime>

namespace nvtarnix::editor {

namespace {

QString text(int id)
{
    return GetMlStringOrDefault(id, QString());
}

} // namespace

QString rowCountText(const rows::RowCount &count, int language)
{
    const QLocale locale = vbscript::ScriptLocale::fromLcid(language).qlocale();
    const auto number = [&locale](qint64 n) { return locale.toString(n); };
    using Kind = rows::RowCount::Kind;
    QString line;
    switch (count.kind) {
    case Kind::NoText:
    case Kind::Cancelled:
        return {};
    case Kind::CannotRun:
        return text(1209).arg(count.errorNumber).arg(count.error);
    case Kind::Unavailable:
        return text(1606).arg(count.error);
    case Kind::Condition:
        line = count.bounded ? text(1603).arg(number(count.selected), number(count.rows))
                             : text(1601).arg(number(count.selected), number(count.rows));
        break;
    case Kind::Value:
        line = count.bounded ? text(1604).arg(number(count.rows)) : text(1602).arg(number(count.rows - count.failed));
        break;
    }
    if (count.failed > 0)
        line += text(1605).arg(number(count.failed));
    return line;
}

QString rowValueText(const QVariant &value)
{
    if (!value.isValid())
        return {};
    if (value.isNull())
        return QStringLiteral("Null");
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(Qt::ISODate);
    return value.toString();
}

} // namespace nvtarnix::editor
