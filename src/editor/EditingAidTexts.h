#pragma once

#include <QString>

// The texts of the editing aids (filter, problem marks, sample values,
// preview) in the user-interface language, from the string table; the Greek
// text stands in when the table has none.

namespace nvtarnix::editor {

QString filterPlaceholderText();
QString filterToolTipText();
// The tooltip of an unknown reference; suggestion is empty when the view has
// no variable to suggest.
QString unknownVariableText(const QString &suggestion);
QString replaceWithText(const QString &suggestion);
QString sampleValueActionText();
QString sampleValueTitleText();
QString sampleValueLabelText(const QString &displayName);
// "Error %1: %2", number then text, for the preview of a failing expression.
QString previewErrorFormat();
QString previewToolTipText();
// The preview's tooltip line for the value's type ("Type: %1"), and the
// words the preview writes for True and False.
QString previewTypeFormat();
QString previewTrueText();
QString previewFalseText();

} // namespace nvtarnix::editor
