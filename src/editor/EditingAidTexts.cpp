#include "editor/EditingAidTexts.h"

#include "support/MlStringModule.h"

namespace nvtarnix::editor {

namespace {

QString text(int id, const QString &greek)
{
    return GetMlStringOrDefault(id, greek);
}

} // namespace

QString filterPlaceholderText()
{
    return text(1201, QStringLiteral("Φίλτρο μεταβλητών και συναρτήσεων (Ctrl+F)"));
}

QString filterToolTipText()
{
    return text(1202, QStringLiteral("Εμφανίζει μόνο τις μεταβλητές και τις συναρτήσεις των οποίων ο τίτλος, το "
                                     "αναγνωριστικό, η δήλωση ή η βοήθεια περιέχει αυτό το κείμενο. Το Esc το "
                                     "καθαρίζει."));
}

QString unknownVariableText(const QString &suggestion)
{
    if (suggestion.isEmpty())
        return text(1204, QStringLiteral("Άγνωστη μεταβλητή"));
    return text(1203, QStringLiteral("Άγνωστη μεταβλητή· μήπως εννοείτε %1;")).arg(suggestion);
}

QString replaceWithText(const QString &suggestion)
{
    return text(1205, QStringLiteral("Αντικατάσταση με %1")).arg(suggestion);
}

QString sampleValueActionText()
{
    return text(1206, QStringLiteral("Τιμή δείγματος..."));
}

QString sampleValueTitleText()
{
    return text(1207, QStringLiteral("Τιμή δείγματος"));
}

QString sampleValueLabelText(const QString &displayName)
{
    return text(1208, QStringLiteral("Τιμή δείγματος της %1 όσο ο οδηγός είναι ανοιχτός:")).arg(displayName);
}

QString previewErrorFormat()
{
    return text(1209, QStringLiteral("Σφάλμα %1: %2"));
}

QString previewToolTipText()
{
    return text(1210, QStringLiteral("Η τιμή της έκφρασης, με κάθε μεταβλητή στην τιμή δείγματός της"));
}

} // namespace nvtarnix::editor
