#include "check/TypeSlips.h"

#include "support/MlStringModule.h"
#include "vbscript/Lexer.h"

#include <QHash>

namespace nvtarnix::check {

namespace {

bool isComparison(vbscript::Tok kind)
{
    using vbscript::Tok;
    return kind == Tok::Equal || kind == Tok::NotEqual || kind == Tok::Less || kind == Tok::Greater
        || kind == Tok::LessEqual || kind == Tok::GreaterEqual;
}

QString quoted(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace

QStringList typeSlipWarnings(const QString &displayText, const QVector<ViewVariable> &variables)
{
    std::vector<vbscript::Token> tokens;
    try {
        tokens = vbscript::Lexer(displayText).tokenize();
    } catch (const vbscript::ScriptError &) {
        return {};
    }
    QHash<QString, const ViewVariable *> byName;
    for (const ViewVariable &variable : variables)
        byName.insert(variable.displayName(), &variable);

    QStringList warnings;
    // A variable's token, then a comparison, then a string, either way round.
    for (std::size_t i = 0; i + 2 < tokens.size(); ++i) {
        if (!isComparison(tokens[i + 1].kind))
            continue;
        const vbscript::Token *name = nullptr;
        const vbscript::Token *text = nullptr;
        if (tokens[i].kind == vbscript::Tok::Identifier && tokens[i + 2].kind == vbscript::Tok::String) {
            name = &tokens[i];
            text = &tokens[i + 2];
        } else if (tokens[i].kind == vbscript::Tok::String && tokens[i + 2].kind == vbscript::Tok::Identifier) {
            name = &tokens[i + 2];
            text = &tokens[i];
        } else {
            continue;
        }
        const ViewVariable *variable = byName.value(QLatin1Char('[') + name->text + QLatin1Char(']'));
        if (!variable || isTextType(variable->vartype))
            continue;
        const QString literal = text->value.rawString();
        const QString shown = quoted(literal);
        if (isDateType(variable->vartype))
            warnings.append(GetMlStringOrDefault(1419, QString())
                                .arg(variable->displayName(), shown, QLatin1Char('#') + literal + QLatin1Char('#')));
        else
            warnings.append(GetMlStringOrDefault(1420, QString()).arg(variable->displayName(), shown, literal));
    }
    return warnings;
}

} // namespace nvtarnix::check
