#include "editor/NodeToolTips.h"

#include "editor/EditorTrees.h"
#include "support/MlStringModule.h"

#include <QStringList>

namespace nvtarnix::editor {

namespace {

// Every text is in the string table, in each language.
QString text(int id)
{
    return GetMlStringOrDefault(id, QString());
}

// One paragraph per piece; line breaks inside a piece are kept.
QString paragraphs(const QStringList &pieces)
{
    QString html;
    for (const QString &piece : pieces) {
        if (piece.isEmpty())
            continue;
        html += QStringLiteral("<p style='white-space:pre-wrap'>") + piece.toHtmlEscaped() + QStringLiteral("</p>");
    }
    return html.isEmpty() ? html : QStringLiteral("<qt>") + html + QStringLiteral("</qt>");
}

QString kindOf(int vartype, int hasvaluelist)
{
    switch (variableImage(vartype, hasvaluelist)) {
    case ImgVarText:
        return text(1103);
    case ImgVarDate:
        return text(1104);
    case ImgVarValueList:
        return text(1106);
    default:
        // Every other type stands in the check as a number.
        return text(1105);
    }
}

} // namespace

QString functionToolTip(const QString &declaration, const QString &help, const QStringList &reference)
{
    return paragraphs(QStringList{declaration, help} + reference);
}

QString variableToolTip(const QString &displayName, const QString &varID, int vartype, int hasvaluelist,
                        const QString &help)
{
    const QString facts = text(1101).arg(varID) + QLatin1Char('\n')
                        + text(1102).arg(kindOf(vartype, hasvaluelist), QString::number(vartype));
    return paragraphs({displayName, facts, help});
}

QString plainNodeToolTip(const QString &nodeText)
{
    return paragraphs({nodeText});
}

} // namespace nvtarnix::editor
