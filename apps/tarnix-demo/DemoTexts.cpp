#include "DemoTexts.h"

namespace tarnixdemo {

QString demoText(DemoText id, int language)
{
    const bool greek = language == Greek;
    auto pick = [greek](const char *english, const char *greekText) {
        return QString::fromUtf8(greek ? greekText : english);
    };
    switch (id) {
    case DemoText::WindowTitle:
        return pick("nvTarnix demo: order rules", "nvTarnix επίδειξη: κανόνες παραγγελιών");
    case DemoText::Intro:
        return pick("Double-click a rule or press Edit... to change its expression in the wizard.",
                    "Διπλό κλικ σε έναν κανόνα ή «Επεξεργασία...» για να αλλάξετε την έκφρασή "
                    "του στον οδηγό.");
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
        return pick("Database: %1", "Βάση δεδομένων: %1");
    }
    return {};
}

} // namespace tarnixdemo
