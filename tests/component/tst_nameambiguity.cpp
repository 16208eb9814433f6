#include <nvtarnix/TarnixObject.h>

#include "TestMain.h"
#include "editor/RoundTripCheck.h"
#include "schema/NameAmbiguities.h"
#include "support/MlStringModule.h"

#include <nvtarnix/Catalog.h>
#include <nvtarnix/Language.h>
#include <nvtarnix/View.h>

#include <QtTest>

using namespace nvtarnix;

namespace {

// A view with every kind of colliding name, and one plain variable.
std::unique_ptr<TarnixObject> collidingBuilder()
{
    auto o = std::make_unique<TarnixObject>();
    const auto add = [&](const char *id, const char *caption, const char *group) {
        o->AddVariable(id, QString::fromUtf8(caption), "5", "8", "3", "0", {}, {}, {}, QString::fromUtf8(group));
    };
    add("ORD_AMOUNT", "Amount", "Order");
    add("ORD_AMOUNT2", "Amount", "Order");
    add("ORD_STATUS", "Status", "Order");
    add("ORD_STATUS2", "STATUS", "Order");
    add("ORD_NUM2", "Num2", "Order");
    add("ORD_X", "ORD_NUM2", "");
    add("CUST_ADDRCITY", "City", "Cust.Addr");
    add("CUST_CITY2", "Addr.City", "Cust");
    add("ORD_NOTE", "Note]x", "Order");
    add("ORD_PLAIN", "Plain", "Order");
    return o;
}

QString kindName(NameAmbiguity::Kind kind)
{
    static const char *names[] = {"same", "case", "dots", "id", "bracket"};
    return QString::fromLatin1(names[kind]);
}

} // namespace

class tst_NameAmbiguity : public QObject
{
    Q_OBJECT

private slots:
    void everyKindIsFoundWithItsVariables()
    {
        const auto o = collidingBuilder();
        QStringList found;
        for (const NameAmbiguity &a : o->NameAmbiguities())
            found << QStringLiteral("%1 %2 %3").arg(kindName(a.kind), a.name, a.varIDs.join(u','));
        QCOMPARE(found,
                 QStringList({
                     "same [Order.Amount] ORD_AMOUNT,ORD_AMOUNT2",
                     "case [Order.Status] ORD_STATUS,ORD_STATUS2",
                     "id [ORD_NUM2] ORD_NUM2,ORD_X",
                     "dots [Cust.Addr.City] CUST_ADDRCITY,CUST_CITY2",
                     "bracket [Order.Note]x] ORD_NOTE",
                 }));
    }

    void aPlainViewHasNone()
    {
        TarnixObject o;
        o.AddVariable("A", "Amount", "5", "8", "3", "0", {}, {}, {}, "Order");
        o.AddVariable("B", "Amount", "5", "8", "3", "0", {}, {}, {}, "Customer");
        // A caption equal to its own ID reads the same in both forms.
        o.AddVariable("C", "C", "5", "8", "3", "0");
        QVERIFY(o.NameAmbiguities().isEmpty());
    }

    void descriptionNamesTheVariablesInTheLanguageAsked()
    {
        const auto o = collidingBuilder();
        const NameAmbiguity dots = o->NameAmbiguities().at(3);
        setUserInterfaceLanguage(EnglishLanguage);
        const QString english = describeAmbiguity(dots);
        setUserInterfaceLanguage(GreekLanguage);
        const QString greek = describeAmbiguity(dots);
        for (const QString &text : {english, greek}) {
            QVERIFY2(text.contains("[Cust.Addr.City] (CUST_ADDRCITY), [Cust.Addr.City] (CUST_CITY2)"),
                     qPrintable(text));
        }
        QVERIFY(english.startsWith("Variables"));
        QVERIFY(greek.startsWith(QStringLiteral("Οι μεταβλητές")));
    }

    // Why they matter: a rule opened and accepted unchanged reads three other
    // variables, and the round-trip check names exactly those three.
    void roundTripNamesEveryVariableThatWouldChange()
    {
        const auto o = collidingBuilder();
        const QString opened = QStringLiteral("[ORD_AMOUNT2] > 5 And [ORD_NUM2] = 1 And [CUST_CITY2] = \"x\"");
        const QString shown = o->ConvertScriptFromDatabase(opened);
        QCOMPARE(shown, QStringLiteral("[Order.Amount] > 5 And [Order.Num2] = 1 And [Cust.Addr.City] = \"x\""));
        QCOMPARE(o->ConvertScriptToDatabase(shown),
                 QStringLiteral("[ORD_AMOUNT] > 5 And [ORD_X] = 1 And [CUST_ADDRCITY] = \"x\""));

        const auto toDatabase = [&](const QString &t) { return o->ConvertScriptToDatabase(t); };
        const auto toDisplay = [&](const QString &t) { return o->ConvertScriptFromDatabase(t); };
        const auto variables = variablesOfView(
            o->BuilderSchema()->GetCatalog(o->CurrentCatalog())->Views().Item(o->CurrentView()).get());
        const QVector<editor::NameChange> changes
            = editor::namesThatChange(shown, opened, variables, toDatabase, toDisplay);
        QCOMPARE(changes,
                 (QVector<editor::NameChange>{
                     {"ORD_AMOUNT2", "[Order.Amount]", "[ORD_AMOUNT]"},
                     {"ORD_NUM2", "[Order.Num2]", "[ORD_X]"},
                     {"CUST_CITY2", "[Cust.Addr.City]", "[CUST_ADDRCITY]"},
                 }));

        // Names that convert back as they read raise nothing, even when
        // another name differs from them by case only.
        for (const QString &safe : {QStringLiteral("[Order.Plain] > 1"), QStringLiteral("[Order.Status] = 2"),
                                    QStringLiteral("[ORD_NUM2] = 1"), QStringLiteral("\"[Order.Amount]\"")}) {
            QVERIFY2(editor::namesThatChange(safe, toDatabase(safe), variables, toDatabase, toDisplay).isEmpty(),
                     qPrintable(safe));
        }
        // The variable the user typed, as well as the one the host stored.
        QCOMPARE(editor::namesThatChange("[Order.Num2] = 1", {}, variables, toDatabase, toDisplay).size(), 1);
    }
};

NVTARNIX_TEST_CLASS(tst_NameAmbiguity)
#include "tst_nameambiguity.moc"
