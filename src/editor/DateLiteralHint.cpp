#include "editor/DateLiteralHint.h"

#include "editor/ScriptProblems.h"
#include "vbscript/Lexer.h"
#include "vbscript/OleDate.h"

#include <nvtarnix/Language.h>

#include <QLocale>

namespace nvtarnix::editor {

QString dateLiteralAt(const QString &text, qsizetype position, int language)
{
    std::vector<vbscript::Token> tokens;
    try {
        tokens = vbscript::Lexer(text).tokenize();
    } catch (const vbscript::ScriptError &) {
        return {};
    }
    for (const vbscript::Token &token : tokens) {
        if (token.kind != vbscript::Tok::Date)
            continue;
        const qsizetype start = offsetOf(text, token.line, token.column);
        const qsizetype end = text.indexOf(QLatin1Char('#'), start + 1);
        if (position < start || end < 0 || position > end)
            continue;
        const QDateTime when = vbscript::OleDate::toQDateTime(token.value.rawDate());
        const QLocale locale(language == GreekLanguage ? QLocale::Greek : QLocale::English,
                             language == GreekLanguage ? QLocale::Greece : QLocale::UnitedKingdom);
        QString spelled = locale.toString(when.date(), QStringLiteral("dddd d MMMM yyyy"));
        if (when.time() != QTime(0, 0))
            spelled += QStringLiteral(", ") + locale.toString(when.time(), QStringLiteral("HH:mm:ss"));
        return spelled;
    }
    return {};
}

} // namespace nvtarnix::editor
