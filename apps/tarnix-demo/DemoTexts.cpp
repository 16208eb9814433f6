#include "DemoTexts.h"

namespace tarnixdemo {

QString demoText(DemoText id, int language)
{
    const bool greek = language == nvtarnix::GreekLanguage;
    auto pick = [greek](const char *english, const char *greekText) {
        return QString::fromUtf8(greek ? greekText : english);
    };
    switch (id) {
    case DemoText::WindowTitle:
        return pick("nvTarnix demo: order rules", "nvTarnix επίδειξη: κανόνες παραγγελιών");
    case DemoText::Intro:
        return pick("Double-click a rule or press Edit... to change its expression in the wizard. "
                    "Beside each rule is the number of orders it selects; the orders themselves "
                    "are listed below.",
                    "Διπλό κλικ σε έναν κανόνα ή «Επεξεργασία...» για να αλλάξετε την έκφρασή "
                    "του στον οδηγό. Δίπλα σε κάθε κανόνα φαίνεται πόσες παραγγελίες επιλέγει· "
                    "οι ίδιες οι παραγγελίες εμφανίζονται παρακάτω.");
    case DemoText::ColumnName:
        return pick("Rule", "Κανόνας");
    case DemoText::ColumnExpression:
        return pick("Expression", "Έκφραση");
    case DemoText::EditButton:
        return pick("Edit...", "Επεξεργασία...");
    case DemoText::LanguageLabel:
        return pick("Language:", "Γλώσσα:");
    case DemoText::ErrorTitle:
        return pick("nvTarnix demo", "nvTarnix επίδειξη");
    case DemoText::ErrorMessage:
        return pick("Error %1: %2", "Σφάλμα %1: %2");
    case DemoText::NotSaved:
        return pick("(not saved)", "(δεν αποθηκεύτηκε)");
    case DemoText::SavedStatus:
        return pick("Rule \"%1\" saved.", "Ο κανόνας «%1» αποθηκεύτηκε.");
    case DemoText::UnsavedStatus:
        return pick("Rule \"%1\" could not be saved; its new expression is kept until the next "
                    "try.",
                    "Ο κανόνας «%1» δεν αποθηκεύτηκε· η νέα έκφραση κρατιέται για την επόμενη "
                    "προσπάθεια.");
    case DemoText::DatabaseStatus:
        return pick("Database: %1.", "Βάση δεδομένων: %1.");
    case DemoText::ColumnOrders:
        return pick("Orders", "Παραγγελίες");
    case DemoText::CountValue:
        return pick("computes a value", "υπολογίζει τιμή");
    case DemoText::CountError:
        return pick("Error %1", "Σφάλμα %1");
    case DemoText::FailuresOne:
        return pick(", error %1 on 1 order", ", σφάλμα %1 σε 1 παραγγελία");
    case DemoText::FailuresMany:
        return pick(", error %1 on %2 orders", ", σφάλμα %1 σε %2 παραγγελίες");
    case DemoText::NoExpression:
        return pick("no expression", "χωρίς έκφραση");
    case DemoText::ColumnOrderNumber:
        return pick("Order no.", "Αρ. παραγγελίας");
    case DemoText::ColumnCustomer:
        return pick("Customer", "Πελάτης");
    case DemoText::ColumnCountry:
        return pick("Country", "Χώρα");
    case DemoText::ColumnAmount:
        return pick("Amount", "Ποσό");
    case DemoText::ColumnStatus:
        return pick("Status", "Κατάσταση");
    case DemoText::ColumnDate:
        return pick("Date", "Ημερομηνία");
    case DemoText::ColumnResult:
        return pick("Result", "Αποτέλεσμα");
    case DemoText::MatchesNone:
        return pick("Select a rule to see the orders it selects.",
                    "Επιλέξτε έναν κανόνα για να δείτε τις παραγγελίες που επιλέγει.");
    case DemoText::MatchesCondition:
        return pick("Orders selected by \"%1\": %2 of %3",
                    "Παραγγελίες που επιλέγει ο κανόνας «%1»: %2 από %3");
    case DemoText::MatchesValue:
        return pick("What \"%1\" computes for each of the %2 orders",
                    "Τι υπολογίζει ο κανόνας «%1» για καθεμία από τις %2 παραγγελίες");
    case DemoText::MatchesCannotRun:
        return pick("\"%1\" cannot be applied to the orders. Error %2: %3",
                    "Ο κανόνας «%1» δεν μπορεί να εφαρμοστεί στις παραγγελίες. Σφάλμα %2: %3");
    case DemoText::MatchesNoExpression:
        return pick("\"%1\" has no expression yet.", "Ο κανόνας «%1» δεν έχει ακόμη έκφραση.");
    case DemoText::OrdersNote:
        return pick("%1 orders as of %2; the rules read that day as %3.",
                    "%1 παραγγελίες έως τις %2· οι κανόνες διαβάζουν αυτή την ημέρα ως %3.");
    case DemoText::OrdersInMemory:
        return pick("The database file cannot be written, so the sample orders are kept in memory "
                    "until the demo ends.",
                    "Το αρχείο της βάσης δεν μπορεί να γραφτεί, γι' αυτό οι παραγγελίες του "
                    "δείγματος κρατιούνται στη μνήμη μέχρι να κλείσει η επίδειξη.");
    case DemoText::ValueTrue:
        return pick("True", "Αληθές");
    case DemoText::ValueFalse:
        return pick("False", "Ψευδές");
    case DemoText::NotSavedDeleted:
        return pick("(deleted by another program, not saved)",
                    "(διαγράφηκε από άλλο πρόγραμμα, δεν αποθηκεύτηκε)");
    case DemoText::RetryButton:
        return pick("Try saving again", "Νέα προσπάθεια αποθήκευσης");
    case DemoText::DiscardButton:
        return pick("Discard the changes", "Απόρριψη των αλλαγών");
    case DemoText::StayButton:
        return pick("Stay", "Παραμονή");
    case DemoText::QuitQuestion:
        return pick("These rules have changes that are not saved:\n%1\n\nIf you quit without "
                    "saving them, the changes are lost.",
                    "Οι παρακάτω κανόνες έχουν αλλαγές που δεν αποθηκεύτηκαν:\n%1\n\nΑν "
                    "κλείσετε χωρίς να τις αποθηκεύσετε, οι αλλαγές θα χαθούν.");
    case DemoText::LastTryFailed:
        return pick("The last try failed with error %1: %2",
                    "Η τελευταία προσπάθεια απέτυχε με σφάλμα %1: %2");
    case DemoText::RecreatedStatus:
        return pick("Rule \"%1\" had been deleted by another program; it was created again with "
                    "your expression.",
                    "Ο κανόνας «%1» είχε διαγραφεί από άλλο πρόγραμμα· δημιουργήθηκε ξανά με την "
                    "έκφρασή σας.");
    case DemoText::AllSavedStatus:
        return pick("All changes saved.", "Όλες οι αλλαγές αποθηκεύτηκαν.");
    case DemoText::ColumnRunsIn:
        return pick("Runs in", "Εκτελείται");
    case DemoText::RunsInDatabase:
        return pick("the database", "στη βάση δεδομένων");
    case DemoText::RunsRechecked:
        return pick("the database, %1 re-checked", "στη βάση δεδομένων, %1 με επανέλεγχο");
    case DemoText::RunsInEngine:
        return pick("the engine", "στη μηχανή");
    case DemoText::TipInDatabase:
        return pick("SQLite selects the %1 orders of this rule itself, with the engine's exact answers.",
                    "Η SQLite επιλέγει μόνη της τις %1 παραγγελίες του κανόνα, με τις ακριβείς "
                    "απαντήσεις της μηχανής.");
    case DemoText::TipRechecked:
        return pick("SQLite fetches %1 orders; the engine decides %2 of them itself.",
                    "Η SQLite φέρνει %1 παραγγελίες· τις %2 από αυτές τις κρίνει η ίδια η μηχανή.");
    case DemoText::TipInEngine:
        return pick("The engine evaluates this rule on every order.",
                    "Η μηχανή υπολογίζει τον κανόνα σε κάθε παραγγελία.");
    case DemoText::TipWhy:
        return pick("Why:", "Γιατί:");
    }
    return {};
}

QString errorText(const nvtarnix::Error &error, int language)
{
    return demoText(DemoText::ErrorMessage, language).arg(error.number()).arg(error.descriptionIn(language));
}

QLocale demoLocale(int language)
{
    return language == nvtarnix::GreekLanguage ? QLocale(QLocale::Greek, QLocale::Greece)
                             : QLocale(QLocale::English, QLocale::UnitedKingdom);
}

} // namespace tarnixdemo
