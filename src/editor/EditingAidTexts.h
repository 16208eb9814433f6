#pragma once

#include <QString>

// The texts of the editing aids (filter, problem marks, sample values,
// preview) in the user-interface language, from the string table; the Greek
// text stands in when the table has none.

namespace nvtarnix::editor {

// The texts that take no argument, by their number in the string table.
enum class AidText {
    FilterPlaceholder = 1201,
    FilterToolTip = 1202,
    SampleValueAction = 1206,
    SampleValueTitle = 1207,
    // "Error %1: %2", number then text, for the preview of a failing expression.
    PreviewErrorFormat = 1209,
    PreviewToolTip = 1210,
    // The preview's tooltip line for the value's type ("Type: %1"), and the
    // words the preview writes for True and False.
    PreviewTypeFormat = 1701,
    PreviewTrue = 1702,
    PreviewFalse = 1703,
};
QString aidText(AidText which);

// The tooltip of an unknown reference; suggestion is empty when the view has
// no variable to suggest.
QString unknownVariableText(const QString &suggestion);
QString replaceWithText(const QString &suggestion);
QString sampleValueLabelText(const QString &displayName);

} // namespace nvtarnix::editor
