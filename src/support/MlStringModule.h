#pragma once

#include <QString>

namespace nvtarnix {

// Settles the user-interface language of this thread: the language the
// string service already holds wins; otherwise a requested language (> 0) is
// used, and failing both Greek (1032), which is then given to the service.
void InitLanguage(int language);

// The language settled by the last InitLanguage of this thread (0 before any).
int CurrentLanguage();

// The user-interface text of a string id in the current language. When the
// string service has no text for the id, defaultText stands in.
QString GetMlString(int id, const QString &defaultText);

// The same for texts that are only aids to the user (tooltips, hints,
// placeholders): a string service that cannot be read leaves defaultText
// instead of an error.
QString GetMlStringOrDefault(int id, const QString &defaultText) noexcept;

} // namespace nvtarnix
