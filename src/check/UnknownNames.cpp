#include "check/UnknownNames.h"

#include "support/MlStringModule.h"
#include "vbscript/Builtins.h"
#include "vbscript/Lexer.h"

#include <QHash>

namespace nvtarnix::check {

namespace {

// The offset of a line's start in text; lines end at a line feed.
qsizetype lineStart(const QString &text, int line)
{
    qsizetype at = 0;
    for (int l = 1; l < line && at >= 0; ++l) {
        at = text.indexOf(QLatin1Char('\n'), at);
        if (at >= 0)
            ++at;
    }
    return at < 0 ? text.size() : at;
}

bool isEngineName(const QString &name)
{
    const auto &registry = vbscript::BuiltinRegistry::standard();
    return registry.find(name) || registry.findConstant(name);
}

} // namespace

std::optional<UnknownName> findUnknownName(const QString &displayText, const KnownNames &known)
{
    const QVector<UnknownName> unknown = findUnknownNames(displayText, known);
    if (unknown.isEmpty())
        return std::nullopt;
    return unknown.first();
}

QVector<UnknownName> findUnknownNames(const QString &displayText, const KnownNames &known)
{
    QVector<UnknownName> found;
    std::vector<vbscript::Token> tokens;
    try {
        tokens = vbscript::Lexer(displayText).tokenize();
    } catch (const vbscript::ScriptError &) {
        return found;
    }
    QSet<QString> variableNames;
    for (const ViewVariable &variable : known.variables) {
        variableNames.insert(variable.displayName());
        // The database form is no mistake either: OK stores it as it is.
        variableNames.insert(QLatin1Char('[') + variable.varID + QLatin1Char(']'));
    }
    QSet<QString> hostFunctions;
    for (const QString &name : known.functions)
        hostFunctions.insert(name.toLower());

    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const vbscript::Token &token = tokens[i];
        if (token.kind != vbscript::Tok::Identifier)
            continue;
        const qsizetype start = lineStart(displayText, token.line) + token.column;
        const bool bracketed = start < displayText.size() && displayText.at(start) == QLatin1Char('[');
        // A member after a dot is the object's business.
        if (i > 0 && tokens[i - 1].kind == vbscript::Tok::Dot)
            continue;
        UnknownName unknown;
        unknown.line = token.line;
        unknown.column = token.column;
        if (bracketed) {
            const QString name = QLatin1Char('[') + token.text + QLatin1Char(']');
            if (variableNames.contains(name))
                continue;
            // A caption's own bracket ends the token early: the whole name is
            // written there.
            bool whole = false;
            for (const QString &known : variableNames)
                whole |= known.size() > name.size() && QStringView(displayText).mid(start).startsWith(known);
            if (whole)
                continue;
            unknown.kind = UnknownName::Variable;
            unknown.name = name;
            if (known.nearestVariable)
                unknown.suggestion = known.nearestVariable(name);
        } else {
            if (isEngineName(token.text) || hostFunctions.contains(token.text.toLower()))
                continue;
            const bool called = i + 1 < tokens.size() && tokens[i + 1].kind == vbscript::Tok::LParen;
            unknown.kind = called ? UnknownName::Function : UnknownName::Name;
            unknown.name = token.text;
            if (known.nearestFunction)
                unknown.suggestion = known.nearestFunction(token.text);
        }
        unknown.length = unknown.name.size();
        found.append(unknown);
    }
    return found;
}

QString unknownNameText(const UnknownName &unknown)
{
    // Without, then with a suggestion, per kind.
    static const int texts[][2] = {{1412, 1413}, {1414, 1415}, {1416, 1417}};
    if (unknown.suggestion.isEmpty())
        return GetMlStringOrDefault(texts[unknown.kind][0], QString()).arg(unknown.name);
    return GetMlStringOrDefault(texts[unknown.kind][1], QString()).arg(unknown.name, unknown.suggestion);
}

QStringList engineFunctionNames()
{
    QStringList names;
    for (const vbscript::CatalogListing &listing : vbscript::BuiltinRegistry::standard().catalog())
        names.append(listing.name);
    return names;
}

} // namespace nvtarnix::check
