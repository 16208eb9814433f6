#pragma once

#include <QString>

namespace nvtarnix {

// The multilingual string service: serves the component's user-interface
// texts by application key and string key ("x" + id) in the current language.
// Its language is shared by every service object of a thread, so whoever sets
// it decides the language of the next text. A thread starts with the language
// named by the environment variable NVTARNIX_LANGUAGE (for example 1033); when
// that is unset, empty, 0 or not a number the service holds none.
class MlStringService
{
public:
    // Readies the service for queries (loads the string table of the thread).
    void Prepare();
    bool IsReady() const;

    // A Windows language id, 0 when none is set.
    qint16 CurrentLanguage() const;
    void setCurrentLanguage(qint16 language);

    // The text of stringKey for appKey in the current language: the English
    // text for a language the table does not hold, and an empty string for an
    // unknown application or key.
    QString GetString(const QString &appKey, const QString &stringKey) const;
};

} // namespace nvtarnix
