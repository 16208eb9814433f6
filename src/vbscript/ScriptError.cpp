#include "vbscript/ScriptError.h"

#include <QHash>

namespace vbscript {

namespace {

// Each error's text in English, VBScript's own and the one scripts read in
// Err.Description, and in Greek, shown to a user whose wizard speaks Greek.
struct ErrorText
{
    int number;
    const char *english;
    const char *greek;
};

constexpr int kGreek = 1032;

// Compile errors first, then run-time errors.
const ErrorText kErrorTexts[] = {
    {1001, "Out of memory",
     "Η μνήμη δεν επαρκεί"},
    {1002, "Syntax error",
     "Συντακτικό σφάλμα"},
    {1003, "Expected ':'",
     "Αναμενόταν ':'"},
    {1005, "Expected '('",
     "Αναμενόταν '('"},
    {1006, "Expected ')'",
     "Αναμενόταν ')'"},
    {1007, "Expected ']'",
     "Αναμενόταν ']'"},
    {1010, "Expected identifier",
     "Αναμενόταν αναγνωριστικό"},
    {1011, "Expected '='",
     "Αναμενόταν '='"},
    {1012, "Expected 'If'",
     "Αναμενόταν 'If'"},
    {1013, "Expected 'To'",
     "Αναμενόταν 'To'"},
    {1014, "Expected 'End'",
     "Αναμενόταν 'End'"},
    {1015, "Expected 'Function'",
     "Αναμενόταν 'Function'"},
    {1016, "Expected 'Sub'",
     "Αναμενόταν 'Sub'"},
    {1017, "Expected 'Then'",
     "Αναμενόταν 'Then'"},
    {1018, "Expected 'Wend'",
     "Αναμενόταν 'Wend'"},
    {1019, "Expected 'Loop'",
     "Αναμενόταν 'Loop'"},
    {1020, "Expected 'Next'",
     "Αναμενόταν 'Next'"},
    {1021, "Expected 'Case'",
     "Αναμενόταν 'Case'"},
    {1022, "Expected 'Select'",
     "Αναμενόταν 'Select'"},
    {1023, "Expected expression",
     "Αναμενόταν έκφραση"},
    {1024, "Expected statement",
     "Αναμενόταν εντολή"},
    {1025, "Expected end of statement",
     "Αναμενόταν τέλος εντολής"},
    {1026, "Expected integer constant",
     "Αναμενόταν ακέραια σταθερά"},
    {1027, "Expected 'While' or 'Until'",
     "Αναμενόταν 'While' ή 'Until'"},
    {1028, "Expected 'While', 'Until' or end of statement",
     "Αναμενόταν 'While', 'Until' ή τέλος εντολής"},
    {1029, "Expected 'With'",
     "Αναμενόταν 'With'"},
    {1030, "Identifier too long",
     "Το αναγνωριστικό είναι πολύ μεγάλο"},
    {1031, "Invalid number",
     "Μη έγκυρος αριθμός"},
    {1032, "Invalid character",
     "Μη έγκυρος χαρακτήρας"},
    {1033, "Unterminated string constant",
     "Η σταθερά συμβολοσειράς δεν κλείνει"},
    {1034, "Unterminated comment",
     "Το σχόλιο δεν κλείνει"},
    {1037, "Invalid use of 'Me' keyword",
     "Μη έγκυρη χρήση της λέξης-κλειδιού 'Me'"},
    {1038, "'loop' without 'do'",
     "'loop' χωρίς 'do'"},
    {1039, "Invalid 'exit' statement",
     "Μη έγκυρη εντολή 'exit'"},
    {1040, "Invalid 'for' loop control variable",
     "Μη έγκυρη μεταβλητή ελέγχου βρόχου 'for'"},
    {1041, "Name redefined",
     "Το όνομα έχει ήδη οριστεί"},
    {1042, "Must be first statement on the line",
     "Πρέπει να είναι η πρώτη εντολή της γραμμής"},
    {1043, "Cannot assign to non-ByVal argument",
     "Δεν επιτρέπεται ανάθεση σε όρισμα που δεν είναι ByVal"},
    {1044, "Cannot use parentheses when calling a Sub",
     "Δεν επιτρέπονται παρενθέσεις στην κλήση μιας Sub"},
    {1045, "Expected literal constant",
     "Αναμενόταν κυριολεκτική σταθερά"},
    {1046, "Expected 'In'",
     "Αναμενόταν 'In'"},
    {1047, "Expected 'Class'",
     "Αναμενόταν 'Class'"},
    {1048, "Must be defined inside a Class",
     "Πρέπει να οριστεί μέσα σε Class"},
    {1049, "Expected Let or Set or Get in property declaration",
     "Αναμενόταν Let, Set ή Get στη δήλωση ιδιότητας"},
    {1050, "Expected 'Property'",
     "Αναμενόταν 'Property'"},
    {1051, "Number of arguments must be consistent across properties specification",
     "Ο αριθμός των ορισμάτων πρέπει να είναι ίδιος σε όλες τις δηλώσεις της ιδιότητας"},
    {1052, "Cannot have multiple default property/method in a Class",
     "Μια Class δεν μπορεί να έχει περισσότερες από μία προεπιλεγμένες ιδιότητες ή μεθόδους"},
    {1053, "Class initialize or terminate do not have arguments",
     "Η αρχικοποίηση και ο τερματισμός μιας Class δεν δέχονται ορίσματα"},
    {1054, "Property set or let must have at least one argument",
     "Οι Property Set και Property Let πρέπει να έχουν τουλάχιστον ένα όρισμα"},
    {1055, "Unexpected 'Next'",
     "Μη αναμενόμενο 'Next'"},
    {1056, "'Default' can be specified only on 'Property' or 'Function' or 'Sub'",
     "Το 'Default' επιτρέπεται μόνο σε 'Property', 'Function' ή 'Sub'"},
    {1057, "'Default' specification must also specify 'Public'",
     "Μαζί με το 'Default' πρέπει να δηλωθεί και το 'Public'"},
    {1058, "'Default' specification can only be on Property Get",
     "Το 'Default' επιτρέπεται μόνο σε Property Get"},
    {5, "Invalid procedure call or argument",
     "Μη έγκυρη κλήση διαδικασίας ή μη έγκυρο όρισμα"},
    {6, "Overflow",
     "Υπερχείλιση"},
    {7, "Out of memory",
     "Η μνήμη δεν επαρκεί"},
    {9, "Subscript out of range",
     "Ο δείκτης είναι εκτός ορίων"},
    {10, "This array is fixed or temporarily locked",
     "Ο πίνακας είναι σταθερού μεγέθους ή προσωρινά κλειδωμένος"},
    {11, "Division by zero",
     "Διαίρεση με το μηδέν"},
    {13, "Type mismatch",
     "Ασυμφωνία τύπων"},
    {14, "Out of string space",
     "Ο χώρος για συμβολοσειρές εξαντλήθηκε"},
    {17, "Can't perform requested operation",
     "Η ζητούμενη λειτουργία δεν μπορεί να εκτελεστεί"},
    {28, "Out of stack space",
     "Ο χώρος στοίβας εξαντλήθηκε"},
    {35, "Sub or Function not defined",
     "Η Sub ή η Function δεν έχει οριστεί"},
    {48, "Error in loading DLL",
     "Σφάλμα κατά τη φόρτωση του DLL"},
    {51, "Internal error",
     "Εσωτερικό σφάλμα"},
    {52, "Bad file name or number",
     "Εσφαλμένο όνομα ή αριθμός αρχείου"},
    {53, "File not found",
     "Το αρχείο δεν βρέθηκε"},
    {54, "Bad file mode",
     "Εσφαλμένος τρόπος πρόσβασης αρχείου"},
    {55, "File already open",
     "Το αρχείο είναι ήδη ανοιχτό"},
    {57, "Device I/O error",
     "Σφάλμα εισόδου/εξόδου συσκευής"},
    {58, "File already exists",
     "Το αρχείο υπάρχει ήδη"},
    {61, "Disk full",
     "Ο δίσκος είναι πλήρης"},
    {62, "Input past end of file",
     "Ανάγνωση πέρα από το τέλος του αρχείου"},
    {67, "Too many files",
     "Πάρα πολλά ανοιχτά αρχεία"},
    {68, "Device unavailable",
     "Η συσκευή δεν είναι διαθέσιμη"},
    {70, "Permission denied",
     "Δεν επιτρέπεται η πρόσβαση"},
    {71, "Disk not ready",
     "Ο δίσκος δεν είναι έτοιμος"},
    {74, "Can't rename with different drive",
     "Δεν είναι δυνατή η μετονομασία σε άλλη μονάδα δίσκου"},
    {75, "Path/File access error",
     "Σφάλμα πρόσβασης σε διαδρομή ή αρχείο"},
    {76, "Path not found",
     "Η διαδρομή δεν βρέθηκε"},
    {91, "Object variable not set",
     "Η μεταβλητή αντικειμένου δεν έχει οριστεί"},
    {92, "For loop not initialized",
     "Ο βρόχος For δεν έχει αρχικοποιηθεί"},
    {94, "Invalid use of Null",
     "Μη έγκυρη χρήση του Null"},
    {322, "Can't create necessary temporary file",
     "Δεν είναι δυνατή η δημιουργία του απαραίτητου προσωρινού αρχείου"},
    {424, "Object required",
     "Απαιτείται αντικείμενο"},
    {429, "ActiveX component can't create object",
     "Το στοιχείο ActiveX δεν μπορεί να δημιουργήσει το αντικείμενο"},
    {430, "Class doesn't support Automation",
     "Η κλάση δεν υποστηρίζει Automation"},
    {432, "File name or class name not found during Automation operation",
     "Το όνομα αρχείου ή κλάσης δεν βρέθηκε κατά τη λειτουργία Automation"},
    {438, "Object doesn't support this property or method",
     "Το αντικείμενο δεν υποστηρίζει αυτή την ιδιότητα ή μέθοδο"},
    {440, "Automation error",
     "Σφάλμα Automation"},
    {445, "Object doesn't support this action",
     "Το αντικείμενο δεν υποστηρίζει αυτή την ενέργεια"},
    {446, "Object doesn't support named arguments",
     "Το αντικείμενο δεν υποστηρίζει ονομασμένα ορίσματα"},
    {447, "Object doesn't support current locale setting",
     "Το αντικείμενο δεν υποστηρίζει τις τρέχουσες τοπικές ρυθμίσεις"},
    {448, "Named argument not found",
     "Το ονομασμένο όρισμα δεν βρέθηκε"},
    {449, "Argument not optional",
     "Το όρισμα δεν είναι προαιρετικό"},
    {450, "Wrong number of arguments or invalid property assignment",
     "Λάθος αριθμός ορισμάτων ή μη έγκυρη ανάθεση ιδιότητας"},
    {451, "Object not a collection",
     "Το αντικείμενο δεν είναι συλλογή"},
    {453, "Specified DLL function not found",
     "Η καθορισμένη συνάρτηση DLL δεν βρέθηκε"},
    {455, "Code resource lock error",
     "Σφάλμα κλειδώματος πόρου κώδικα"},
    {457, "This key is already associated with an element of this collection",
     "Το κλειδί αντιστοιχεί ήδη σε στοιχείο αυτής της συλλογής"},
    {458, "Variable uses an Automation type not supported in VBScript",
     "Η μεταβλητή χρησιμοποιεί τύπο Automation που δεν υποστηρίζεται στη VBScript"},
    {462, "The remote server machine does not exist or is unavailable",
     "Ο απομακρυσμένος διακομιστής δεν υπάρχει ή δεν είναι διαθέσιμος"},
    {481, "Invalid picture",
     "Μη έγκυρη εικόνα"},
    {500, "Variable is undefined",
     "Η μεταβλητή δεν έχει δηλωθεί"},
    {501, "Illegal assignment",
     "Μη επιτρεπτή ανάθεση"},
    {502, "Object not safe for scripting",
     "Το αντικείμενο δεν είναι ασφαλές για χρήση από σενάρια"},
    {503, "Object not safe for initializing",
     "Το αντικείμενο δεν είναι ασφαλές για αρχικοποίηση"},
    {504, "Object not safe for creating",
     "Το αντικείμενο δεν είναι ασφαλές για δημιουργία"},
    {505, "Invalid or unqualified reference",
     "Μη έγκυρη ή ελλιπής αναφορά"},
    {506, "Class not defined",
     "Η κλάση δεν έχει οριστεί"},
    {507, "An exception occurred",
     "Προέκυψε εξαίρεση"},
    {5016, "Regular Expression object expected",
     "Αναμενόταν αντικείμενο κανονικής έκφρασης"},
    {5017, "Syntax error in regular expression",
     "Συντακτικό σφάλμα στην κανονική έκφραση"},
    {5018, "Unexpected quantifier",
     "Μη αναμενόμενος ποσοδείκτης"},
    {5019, "Expected ']' in regular expression",
     "Αναμενόταν ']' στην κανονική έκφραση"},
    {5020, "Expected ')' in regular expression",
     "Αναμενόταν ')' στην κανονική έκφραση"},
    {5021, "Invalid range in character set",
     "Μη έγκυρο εύρος στο σύνολο χαρακτήρων"},
    {32811, "Element not found",
     "Το στοιχείο δεν βρέθηκε"},
    {32812, "The specified date is not available in the current locale's calendar",
     "Η ημερομηνία δεν υπάρχει στο ημερολόγιο των τρεχουσών τοπικών ρυθμίσεων"},
    {err::TimeLimitReached, "The script was stopped because the time limit was reached",
     "Η εκτέλεση του σεναρίου διακόπηκε επειδή ξεπεράστηκε το χρονικό όριο"},
};

// What a run-time error reads when VBScript has no text for its number.
const ErrorText kUnknownRuntimeError = {0, "Unknown runtime error", "Άγνωστο σφάλμα εκτέλεσης"};

struct Texts
{
    QString english;
    QString greek;
};

const QHash<int, Texts> &textTable()
{
    static const QHash<int, Texts> table = [] {
        QHash<int, Texts> t;
        for (const ErrorText &e : kErrorTexts)
            t.insert(e.number, {QString::fromLatin1(e.english), QString::fromUtf8(e.greek)});
        return t;
    }();
    return table;
}

// The English text with what follows it: nothing, or the name of the
// function the error came from (": 'CLng'").
bool isTextWithSuffix(const QString &description, const QString &english)
{
    return !english.isEmpty() && description.startsWith(english)
        && (description.size() == english.size()
            || QStringView(description).mid(english.size()).startsWith(QLatin1String(": '")));
}

} // namespace

ScriptError::ScriptError(int number, QString description, QString source)
    : m_number(number), m_description(std::move(description)), m_source(std::move(source))
{
}

QString ScriptError::runtimeSource()
{
    return QStringLiteral("Microsoft VBScript runtime error");
}

QString ScriptError::compileSource()
{
    return QStringLiteral("Microsoft VBScript compilation error");
}

QString ScriptError::standardText(int number)
{
    return textTable().value(number).english;
}

QString ScriptError::standardText(int number, int language)
{
    const Texts texts = textTable().value(number);
    return language == kGreek && !texts.greek.isEmpty() ? texts.greek : texts.english;
}

QString ScriptError::unknownRuntimeText()
{
    return QString::fromLatin1(kUnknownRuntimeError.english);
}

QString ScriptError::descriptionIn(int language) const
{
    if (language != kGreek)
        return m_description;
    const QString english = standardText(m_number);
    if (isTextWithSuffix(m_description, english))
        return standardText(m_number, language) + m_description.mid(english.size());
    const QString unknown = unknownRuntimeText();
    if (isTextWithSuffix(m_description, unknown))
        return QString::fromUtf8(kUnknownRuntimeError.greek) + m_description.mid(unknown.size());
    // A text the script or the host gave is theirs: it stays as it was.
    return m_description;
}

ScriptError ScriptError::runtime(int number, const QString &name)
{
    QString text = standardText(number);
    if (text.isEmpty())
        text = unknownRuntimeText();
    if (!name.isEmpty())
        text += QStringLiteral(": '") + name + QLatin1Char('\'');
    return ScriptError(number, text, runtimeSource());
}

ScriptError ScriptError::compile(int number, int line, int column, const QString &lineText)
{
    ScriptError e(number, standardText(number), compileSource());
    e.m_kind = ErrorKind::Compile;
    e.setPosition(line, column, lineText);
    return e;
}

void ScriptError::setPosition(int line, int column, const QString &lineText)
{
    m_line = line;
    m_column = column;
    m_lineText = lineText;
}

const char *ScriptError::what() const noexcept
{
    m_what = (m_source + QStringLiteral(": ") + m_description).toUtf8();
    return m_what.constData();
}

} // namespace vbscript
