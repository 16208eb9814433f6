#include "editor/EditingAidTexts.h"

#include "support/MlStringModule.h"

namespace nvtarnix::editor {

namespace {

// Every text is in the string table, in each language.
QString text(int id)
{
    return GetMlStringOrDefault(id, QString());
}

} // namespace

QString filterPlaceholderText()
{
    return text(1201);
}

QString filterToolTipText()
{
    return text(1202);
}

QString unknownVariableText(const QString &suggestion)
{
    if (suggestion.isEmpty())
        return text(1204);
    return text(1203).arg(suggestion);
}

QString replaceWithText(const QString &suggestion)
{
    return text(1205).arg(suggestion);
}

QString sampleValueActionText()
{
    return text(1206);
}

QString sampleValueTitleText()
{
    return text(1207);
}

QString sampleValueLabelText(const QString &displayName)
{
    return text(1208).arg(displayName);
}

QString previewErrorFormat()
{
    return text(1209);
}

QString previewToolTipText()
{
    return text(1210);
}

QString previewTypeFormat()
{
    return text(1701);
}

QString previewTrueText()
{
    return text(1702);
}

QString previewFalseText()
{
    return text(1703);
}

} // namespace nvtarnix::editor
