#include "vbscript/library/LibrarySupport.h"

#include "vbscript/ScriptLocale.h"


namespace vbscript::lib {

Qt::CaseSensitivity compareAt(ExecContext &ctx, std::span<Variant> args, size_t i)
{
    const qint32 mode = longAt(ctx, args, i, 0);
    if (mode != 0 && mode != 1)
        raise(err::InvalidProcedureCall);
    return mode == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

int firstDayOfWeekAt(ExecContext &ctx, std::span<Variant> args, size_t i, int fallback)
{
    const qint32 day = longAt(ctx, args, i, fallback);
    if (day < 0 || day > 7)
        raise(err::InvalidProcedureCall);
    if (day == 0)
        return ctx.locale().qlocale().firstDayOfWeek() % 7 + 1; // Qt: Monday = 1 ... Sunday = 7
    return day;
}

int firstWeekOfYearAt(ExecContext &ctx, std::span<Variant> args, size_t i)
{
    const qint32 rule = longAt(ctx, args, i, 1);
    if (rule < 0 || rule > 3)
        raise(err::InvalidProcedureCall);
    if (rule == 0) {
        // Locales whose week starts on Monday count weeks the ISO way (the
        // first week with four days in the new year); the others from
        // January 1.
        return ctx.locale().qlocale().firstDayOfWeek() == Qt::Monday ? 2 : 1;
    }
    return rule;
}

} // namespace vbscript::lib
