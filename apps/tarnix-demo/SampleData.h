#pragma once

#include <nvtarnix/Language.h>

#include <QList>
#include <QString>

namespace tarnixdemo {

// One data field of the demo's orders database as the wizard sees it: the
// twelve texts a host hands to AddVariable, in AddVariable's order.
struct DemoField
{
    QString varID;
    QString vardescription;
    QString vartype;
    QString varsize;
    QString searchtype = QStringLiteral("3");
    QString hasvaluelist = QStringLiteral("0");
    QString valuelist;
    QString listvalue;
    QString ListText;
    QString groupcaption;
    QString sampledata;
    QString helpstring;

    bool operator==(const DemoField &) const = default;
};

// One entry of a value list: a numeric code and its text in English and Greek.
struct ValueListEntry
{
    int code;
    QString english;
    QString greek;
};

struct SampleRule
{
    QString name;
    QString expression; // database form
};

// The sample the demo seeds a new database with. A field's caption, group and
// help are as a user of `language` reads them (Greek or English); the rules
// name fields by varID, so they read alike in both. The English fields are
// shipped as sample-schema.xml for the command-line tool; a test keeps the
// two alike.
QList<DemoField> sampleFields(int language = nvtarnix::EnglishLanguage);
QList<ValueListEntry> sampleCountries();
QList<ValueListEntry> sampleOrderStatuses();
QList<ValueListEntry> sampleProducts();
QList<SampleRule> sampleRules();

// The catalog and view under which the sample schema file files the fields.
inline constexpr const char *SampleCatalogID = "orders";
inline constexpr const char *SampleViewID = "rules";

} // namespace tarnixdemo
