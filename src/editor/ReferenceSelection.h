#pragma once

#include <QString>

#include <optional>

namespace nvtarnix::editor {

struct TextSelection
{
    qsizetype start = 0;
    qsizetype length = 0;

    friend bool operator==(const TextSelection &, const TextSelection &) = default;
};

// A click inside a variable reference ("[" up to the next "]") selects the
// whole reference, brackets included, so that a reference is edited as one
// unit. caret is the 0-based selection start. Answers the new selection, or
// nothing when the caret is not inside an open reference. When the reference
// has no closing "]", the caret goes to just before its "[".
std::optional<TextSelection> SelectReferenceAtCaret(const QString &text, qsizetype caret);

} // namespace nvtarnix::editor
