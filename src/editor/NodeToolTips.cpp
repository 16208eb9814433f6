#include "editor/NodeToolTips.h"

#include "editor/EditorTrees.h"
#include "support/MlStringModule.h"

#include <QStringList>

namespace nvtarnix::editor {

namespace {

QString text(int id, const QString &greek)
{
    return GetMlStringOrDefault(id, greek);
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
        return text(1103, QStringLiteral("Κείμενο"));
    case ImgVarDate:
        return text(1104, QStringLiteral("Ημερομηνία και ώρα"));
    case ImgVarValueList:
        return text(1106, QStringLiteral("Αριθμός από λίστα τιμών"));
    default:
        // Every other type stands in the check as a number.
        return text(1105, QStringLiteral("Αριθμός"));
    }
}

} // namespace

QString functionToolTip(const QString &declaration, const QString &help)
{
    return paragraphs({declaration, help});
}

QString variableToolTip(const QString &displayName, const QString &varID, int vartype, int hasvaluelist,
                        const QString &help)
{
    const QString facts = text(1101, QStringLiteral("Αναγνωριστικό: %1")).arg(varID) + QLatin1Char('\n')
                        + text(1102, QStringLiteral("Τύπος: %1 (%2)")).arg(kindOf(vartype, hasvaluelist), QString::number(vartype));
    return paragraphs({displayName, facts, help});
}

QString plainNodeToolTip(const QString &nodeText)
{
    return paragraphs({nodeText});
}

} // namespace nvtarnix::editor
