#include "forms/FormFont.h"
#include "support/MainModule.h"
#include "support/MlStringModule.h"
#include "support/MlStringService.h"
#include "support/SavedError.h"

#include "ProcessState.h"
#include "TestMain.h"

#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>
#include <QtTest>

using namespace nvtarnix;

class tst_Services : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // Every case starts from a service that holds no language.
        MlStringService().setCurrentLanguage(0);
    }
    void cleanup() { MlStringService().setCurrentLanguage(0); }

    void greekIsSettledWhenNothingIsHeld()
    {
        MlStringService service;
        QCOMPARE(service.CurrentLanguage(), qint16(0));
        QCOMPARE(GetMlString(19, QString()), QStringLiteral("Οδηγός έκφρασης"));
        QCOMPARE(service.CurrentLanguage(), qint16(1032));
        QCOMPARE(CurrentLanguage(), 1032);
        QVERIFY(service.IsReady());
    }

    void languageHeldByTheServiceWins()
    {
        MlStringService service;
        service.setCurrentLanguage(1033);
        InitLanguage(1032);
        QCOMPARE(CurrentLanguage(), 1033);
        QCOMPARE(service.CurrentLanguage(), qint16(1033));
        QCOMPARE(GetMlString(20, QStringLiteral("Μεταβλητές")), QStringLiteral("Variables"));
        // Whoever changes the service's language decides the next text.
        service.setCurrentLanguage(1032);
        QCOMPARE(GetMlString(20, QString()), QStringLiteral("Μεταβλητές"));
    }

    void requestedLanguageIsUsedWhenServiceHoldsNone()
    {
        InitLanguage(1033);
        QCOMPARE(MlStringService().CurrentLanguage(), qint16(1033));
        QCOMPARE(GetMlString(4, QString()), QStringLiteral("OK"));
    }

    void textsByKey_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("en x1001") << 1033 << "x1001"
            << "By double clicking the selected item [%1] you can add it to the expression.";
        QTest::newRow("el x1001") << 1032 << "x1001"
            << "Κάνοντας διπλό κλικ στο επιλεγμένο αντικείμενο (%1) μπορείτε να το εισάγετε στην έκφραση.";
        QTest::newRow("en trailing blank") << 1033 << "x23" << "Error:= ";
        QTest::newRow("el no trailing blank") << 1032 << "x23" << "Σφάλμα:=";
        QTest::newRow("el trailing blank") << 1032 << "x24" << "Γραμμή: ";
        QTest::newRow("el 6 differs from 19") << 1032 << "x6" << "Όδηγος έκφρασης";
        QTest::newRow("el 10 capitalised") << 1032 << "x10" << "Διαθέσιμες Μεταβλητές:";
        QTest::newRow("missing id") << 1033 << "x7" << "";
        QTest::newRow("leading zero") << 1033 << "x017" << "";
        QTest::newRow("no x") << 1033 << "17" << "";
        QTest::newRow("other language falls back to English") << 1031 << "x21" << "Functions";
    }
    void textsByKey()
    {
        QFETCH(int, language);
        QFETCH(QString, key);
        QFETCH(QString, text);
        MlStringService service;
        service.setCurrentLanguage(qint16(language));
        QCOMPARE(service.GetString(QStringLiteral("nvTarnix"), key), text);
        QCOMPARE(service.GetString(QStringLiteral("other"), key), QString());
    }

    void everyIdHasBothTexts()
    {
        const QList<int> ids{1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 13, 14, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
                             26, 27, 28, 1001, 1002};
        MlStringService service;
        for (int language : {1032, 1033}) {
            service.setCurrentLanguage(qint16(language));
            for (int id : ids)
                QVERIFY2(!GetMlString(id, QString()).isEmpty(), qPrintable(QString::number(id)));
        }
        // An id the table lacks answers the caller's default text.
        QCOMPARE(GetMlString(12, QStringLiteral("fallback")), QStringLiteral("fallback"));
    }

    void eachThreadHasItsOwnLanguage()
    {
        MlStringService().setCurrentLanguage(1032);
        testsupport::ScopedEnvironmentVariable language("NVTARNIX_LANGUAGE", "1033");
        QString otherText;
        int otherLanguage = 0;
        QScopedPointer<QThread> thread(QThread::create([&] {
            otherText = GetMlString(21, QString());
            otherLanguage = CurrentLanguage();
        }));
        thread->start();
        thread->wait();
        language.set(std::nullopt);
        QCOMPARE(otherText, QStringLiteral("Functions"));
        QCOMPARE(otherLanguage, 1033);
        QCOMPARE(GetMlString(21, QString()), QStringLiteral("Συναρτήσεις"));

        // 0 or rubbish in the environment means no language: Greek applies.
        for (const char *value : {"0", "english"}) {
            language.set(value);
            QScopedPointer<QThread> t(QThread::create([&] { otherText = GetMlString(21, QString()); }));
            t->start();
            t->wait();
            QCOMPARE(otherText, QStringLiteral("Συναρτήσεις"));
        }
    }

    void startUpSettlesLanguageOnce()
    {
        MainModule();
        MlStringService().setCurrentLanguage(0);
        MainModule(); // already ran in this thread: leaves the service alone
        QCOMPARE(MlStringService().CurrentLanguage(), qint16(0));
    }

    void savedErrorIsRaisedAgain_data()
    {
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("description");
        QTest::newRow("none") << "" << "kept";
        QTest::newRow("blanks") << "   " << "kept";
        QTest::newRow("replaced") << "other" << "other";
    }
    void savedErrorIsRaisedAgain()
    {
        QFETCH(QString, replacement);
        QFETCH(QString, description);
        SaveError(Error(424, QStringLiteral("src"), QStringLiteral("kept")));
        try {
            RaiseSavedError(replacement);
        } catch (const Error &e) {
            QCOMPARE(e.number(), 424);
            QCOMPARE(e.source(), QStringLiteral("src"));
            QCOMPARE(e.description(), description);
            return;
        }
        QFAIL("nothing was raised");
    }

    void formFontReachesEveryChild()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *label = new QLabel(QStringLiteral("Λίστα"));
        auto *button = new QPushButton(QStringLiteral("OK"));
        button->setFont(QFont(QStringLiteral("Courier"), 20)); // a font of its own
        layout->addWidget(label);
        layout->addWidget(button);
        ApplyFormFont(&window, QStringLiteral("Tahoma"), 8.25, 161);
        for (QWidget *w : {&window, static_cast<QWidget *>(label), static_cast<QWidget *>(button)}) {
            QCOMPARE(w->font().family(), QStringLiteral("Tahoma"));
            QCOMPARE(w->font().pointSizeF(), 8.25);
        }
        ApplyFormFont(nullptr, QStringLiteral("Tahoma"), 8.25, 161); // nothing to do, no crash
    }
};

NVTARNIX_TEST_CLASS(tst_Services)
#include "tst_services.moc"
