#include "SampleData.h"

namespace tarnixdemo {

namespace {

// Type codes the wizard understands: 0 text, 4 date, anything else a number
// (the check substitutes a sample of that kind).
const QString Text = QStringLiteral("0");
const QString Number = QStringLiteral("3");
const QString Date = QStringLiteral("4");

// A caption, group or help text in English and in Greek.
struct Texts
{
    const char *english;
    const char *greek;
};

const Texts Customer{"Customer", "Πελάτης"};
const Texts Order{"Order", "Παραγγελία"};
const Texts NoGroup{"", ""};

DemoField field(int language, const char *id, Texts caption, const QString &type, const char *size,
                Texts group, Texts help)
{
    const auto pick = [language](Texts texts) {
        return QString::fromUtf8(language == nvtarnix::GreekLanguage ? texts.greek : texts.english);
    };
    DemoField f;
    f.varID = QString::fromUtf8(id);
    f.vardescription = pick(caption);
    f.vartype = type;
    f.varsize = QString::fromUtf8(size);
    f.groupcaption = pick(group);
    f.helpstring = pick(help);
    return f;
}

DemoField withValueList(DemoField f, const char *list)
{
    f.hasvaluelist = QStringLiteral("1");
    f.valuelist = QString::fromUtf8(list);
    f.listvalue = QStringLiteral("code");
    f.ListText = QStringLiteral("description");
    return f;
}

} // namespace

QList<DemoField> sampleFields(int language)
{
    const int l = language;
    return {
        field(l, "CUST_ID", {"Number", "Αριθμός"}, Number, "10", Customer,
              {"Customer number", "Αριθμός πελάτη"}),
        field(l, "CUST_NAME", {"Name", "Όνομα"}, Text, "60", Customer,
              {"Full name of the customer", "Ονοματεπώνυμο του πελάτη"}),
        field(l, "CUST_CITY", {"City", "Πόλη"}, Text, "40", Customer,
              {"City of the customer's address", "Πόλη της διεύθυνσης του πελάτη"}),
        withValueList(field(l, "CUST_COUNTRY", {"Country", "Χώρα"}, Number, "4", Customer,
                            {"Country code of the customer's address (ISO 3166 numeric)",
                             "Κωδικός χώρας της διεύθυνσης του πελάτη (αριθμητικός ISO 3166)"}),
                      "countries"),
        field(l, "CUST_SINCE", {"Since", "Από"}, Date, "8", Customer,
              {"Date of the customer's first order", "Ημερομηνία της πρώτης παραγγελίας του πελάτη"}),
        field(l, "ORD_NO", {"Number", "Αριθμός"}, Number, "10", Order,
              {"Order number", "Αριθμός παραγγελίας"}),
        field(l, "ORD_DATE", {"Date", "Ημερομηνία"}, Date, "8", Order,
              {"Date the order was placed", "Ημερομηνία καταχώρισης της παραγγελίας"}),
        field(l, "ORD_AMOUNT", {"Amount", "Ποσό"}, Number, "12", Order,
              {"Order total in euros", "Σύνολο της παραγγελίας σε ευρώ"}),
        withValueList(field(l, "ORD_STATUS", {"Status", "Κατάσταση"}, Number, "2", Order,
                            {"Processing status of the order", "Στάδιο επεξεργασίας της παραγγελίας"}),
                      "order_statuses"),
        withValueList(field(l, "ORD_PRODUCT", {"Product", "Προϊόν"}, Number, "6", Order,
                            {"Catalogue number of the ordered product",
                             "Κωδικός καταλόγου του προϊόντος της παραγγελίας"}),
                      "products"),
        field(l, "ORD_NOTES", {"Notes", "Σημειώσεις"}, Text, "200", Order,
              {"Free text entered with the order", "Ελεύθερο κείμενο που γράφτηκε με την παραγγελία"}),
        field(l, "TODAY", {"Today", "Σήμερα"}, Date, "8", NoGroup,
              {"The date the rule is evaluated on", "Η ημερομηνία για την οποία υπολογίζεται ο κανόνας"}),
    };
}

QList<ValueListEntry> sampleCountries()
{
    // Deliberately not in code order: the value list sorts by code itself.
    return {
        {300, QStringLiteral("Greece"), QStringLiteral("Ελλάδα")},
        {196, QStringLiteral("Cyprus"), QStringLiteral("Κύπρος")},
        {276, QStringLiteral("Germany"), QStringLiteral("Γερμανία")},
        {250, QStringLiteral("France"), QStringLiteral("Γαλλία")},
        {380, QStringLiteral("Italy"), QStringLiteral("Ιταλία")},
        {724, QStringLiteral("Spain"), QStringLiteral("Ισπανία")},
        {100, QStringLiteral("Bulgaria"), QStringLiteral("Βουλγαρία")},
        {8, QStringLiteral("Albania"), QStringLiteral("Αλβανία")},
        {792, QStringLiteral("Turkey"), QStringLiteral("Τουρκία")},
        {826, QStringLiteral("United Kingdom"), QStringLiteral("Ηνωμένο Βασίλειο")},
        {840, QStringLiteral("United States"), QStringLiteral("Ηνωμένες Πολιτείες")},
    };
}

QList<ValueListEntry> sampleOrderStatuses()
{
    return {
        {1, QStringLiteral("New"), QStringLiteral("Νέα")},
        {2, QStringLiteral("Confirmed"), QStringLiteral("Επιβεβαιωμένη")},
        {3, QStringLiteral("Shipped"), QStringLiteral("Απεσταλμένη")},
        {4, QStringLiteral("Delivered"), QStringLiteral("Παραδομένη")},
        {5, QStringLiteral("Cancelled"), QStringLiteral("Ακυρωμένη")},
    };
}

QList<ValueListEntry> sampleProducts()
{
    // Six-digit catalogue numbers, as a product list has them.
    return {
        {310072, QStringLiteral("Filing cabinet"), QStringLiteral("Αρχειοθήκη")},
        {100245, QStringLiteral("Office chair"), QStringLiteral("Καρέκλα γραφείου")},
        {204518, QStringLiteral("Desk lamp"), QStringLiteral("Φωτιστικό γραφείου")},
        {455630, QStringLiteral("Whiteboard, 120 x 90 cm"), QStringLiteral("Λευκοπίνακας, 120 x 90 εκ.")},
        {560981, QStringLiteral("Laser printer paper, 500 sheets"),
         QStringLiteral("Χαρτί εκτυπωτή laser, 500 φύλλα")},
        {672204, QStringLiteral("Ergonomic keyboard"), QStringLiteral("Εργονομικό πληκτρολόγιο")},
        {781346, QStringLiteral("Electric standing desk with adjustable height"),
         QStringLiteral("Ηλεκτρικό γραφείο ορθίας εργασίας με ρύθμιση ύψους")},
    };
}

QList<SampleRule> sampleRules()
{
    return {
        {QStringLiteral("Greek customers"), QStringLiteral("[CUST_COUNTRY] = 300")},
        {QStringLiteral("Large open orders"),
         QStringLiteral("[ORD_AMOUNT] > 1000 And [ORD_STATUS] < 4")},
        {QStringLiteral("Letter greeting"),
         QStringLiteral("\"Dear \" & [CUST_NAME] & \" of \" & [CUST_CITY] & \",\"")},
        {QStringLiteral("Late delivery"),
         QStringLiteral("DateDiff(\"d\", [ORD_DATE], [TODAY]) > 30 And [ORD_STATUS] < 4")},
        {QStringLiteral("VAT amount"), QStringLiteral("Round([ORD_AMOUNT] * 0.24, 2)")},
        {QStringLiteral("Loyal customer"),
         QStringLiteral("Year([TODAY]) - Year([CUST_SINCE]) >= 5")},
        {QStringLiteral("New rule"), QString()},
    };
}

} // namespace tarnixdemo
