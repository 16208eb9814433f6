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

QString aidText(AidText which)
{
    return text(int(which));
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

QString sampleValueLabelText(const QString &displayName)
{
    return text(1208).arg(displayName);
}

} // namespace nvtarnix::editor
