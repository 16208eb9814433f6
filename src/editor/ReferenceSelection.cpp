#include "editor/ReferenceSelection.h"

namespace nvtarnix::editor {

std::optional<TextSelection> SelectReferenceAtCaret(const QString &text, qsizetype caret)
{
    if (caret <= 0 || caret > text.size())
        return std::nullopt;
    const QStringView before = QStringView(text).left(caret);
    const qsizetype open = before.lastIndexOf(QLatin1Char('['));
    const qsizetype close = before.lastIndexOf(QLatin1Char(']'));
    if (open < 0 || open <= close)
        return std::nullopt;
    const qsizetype end = text.indexOf(QLatin1Char(']'), open);
    if (end < 0)
        return TextSelection{open, 0};
    return TextSelection{open, end - open + 1};
}

} // namespace nvtarnix::editor
