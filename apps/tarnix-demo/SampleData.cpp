#include "SampleData.h"

namespace tarnixdemo {

namespace {

// Type codes the wizard understands: 0 text, 4 date, anything else a number
// (the check substitutes a sample of that kind).
const QString Text = QStringLiteral("0");
const QString Number = QStringLiteral("3");
const QString Date = QStringLiteral("4");

DemoField field(const char *id, const char *caption, const QString &type, const char *size,
                const char *group, const char *help)
{
    DemoField f;
    f.varID = QString::fromUtf8(id);
    f.vardescription = QString::fromUtf8(caption);
    f.vartype = type;
    f.varsize = QString::fromUtf8(size);
    f.groupcaption = QString::fromUtf8(group);
    f.helpstring = QString::fromUtf8(help);
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

QList<DemoField> sampleFields()
{
    return {
        field("CUST_ID", "Number", Number, "10", "Customer", "Customer number"),
        field("CUST_NAME", "Name", Text, "60", "Customer", "Full name of the customer"),
        field("CUST_CITY", "City", Text, "40", "Customer", "City of the customer's address"),
        withValueList(field("CUST_COUNTRY", "Country", Number, "4", "Customer",
                            "Country code of the customer's address (ISO 3166 numeric)"),
                      "countries"),
        field("CUST_SINCE", "Since", Date, "8", "Customer", "Date of the customer's first order"),
        field("ORD_NO", "Number", Number, "10", "Order", "Order number"),
        field("ORD_DATE", "Date", Date, "8", "Order", "Date the order was placed"),
        field("ORD_AMOUNT", "Amount", Number, "12", "Order", "Order total in euros"),
        withValueList(field("ORD_STATUS", "Status", Number, "2", "Order",
                            "Processing status of the order"),
                      "order_statuses"),
        field("ORD_NOTES", "Notes", Text, "200", "Order", "Free text entered with the order"),
        field("TODAY", "Today", Date, "8", "", "The date the rule is evaluated on"),
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
