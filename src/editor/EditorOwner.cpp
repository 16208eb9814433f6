#include "editor/EditorOwner.h"

namespace nvtarnix::editor {

QString ownerHelp(const EditorOwner *owner, HelpKind kind, const QString &key)
{
    if (!owner)
        return {};
    return kind == HelpKind::Variable ? owner->variableHelp(key) : owner->functionHelp(key);
}

} // namespace nvtarnix::editor
