// Greek all through: with the wizard in Greek, Qt's own texts (the script
// box's context menu, the standard buttons) and the engine's error in the
// check's message are Greek too; in English they are English, and nothing of
// either stays in the host's application once the wizard is closed.

#include "DesktopTestSupport.h"
#include "tst_desktop.h"
#include "TestMain.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>

using namespace desktop;

void tst_Greek::init()
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tarnix").clear();
}

void tst_Greek::qtTextsFollowTheLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("menu");
    QTest::addColumn<QString>("cancel");

    // Greek first, so that the English row also shows the Greek texts gone.
    QTest::newRow("Greek") << Greek
                           << QStringList{"&Αναίρεση", "Ακύρωση α&ναίρεσης", "Απο&κοπή", "Αντι&γραφή",
                                          "&Επικόλληση", "Διαγραφή", "Επιλογή όλων"}
                           << "Άκυρο";
    QTest::newRow("English") << English
                             << QStringList{"&Undo", "&Redo", "Cu&t", "&Copy", "&Paste", "Delete", "Select All"}
                             << "Cancel";
    QTest::newRow("Greek again") << Greek
                                 << QStringList{"&Αναίρεση", "Ακύρωση α&ναίρεσης", "Απο&κοπή", "Αντι&γραφή",
                                                "&Επικόλληση", "Διαγραφή", "Επιλογή όλων"}
                                 << "Άκυρο";
}

void tst_Greek::qtTextsFollowTheLanguage()
{
    QFETCH(int, language);
    QFETCH(QStringList, menu);
    QFETCH(QString, cancel);

    setLanguage(language);
    auto builder = makeBuilder();
    QStringList menuTexts;
    QString cancelText;
    QVERIFY(whileNamed([&] { builder->Edit(); }, "frmEditor", [&](QWidget *w) {
        std::unique_ptr<QMenu> contextMenu(child<QPlainTextEdit>(w, "txtScript")->createStandardContextMenu());
        for (const QAction *action : contextMenu->actions()) {
            if (!action->isSeparator())
                menuTexts << action->text().section(QLatin1Char('\t'), 0, 0);
        }
        QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Ok | QMessageBox::Cancel, w);
        cancelText = box.button(QMessageBox::Cancel)->text();
        press(w, "cmdCancel");
    }));
    for (const QString &text : menu)
        QVERIFY2(menuTexts.contains(text), qPrintable(menuTexts.join(" | ")));
    QCOMPARE(cancelText, cancel);
    // The host's application is left with Qt's own English.
    QCOMPARE(QCoreApplication::translate("QWidgetTextControl", "&Undo"), QStringLiteral("&Undo"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

void tst_Greek::checkMessage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("error");

    QTest::newRow("Greek") << Greek << "Έλεγχος έκφρασης" << "Σφάλμα:=Διαίρεση με το μηδέν\t";
    QTest::newRow("English") << English << "Check expression" << "Error:= Division by zero\t";
}

void tst_Greek::checkMessage()
{
    QFETCH(int, language);
    QFETCH(QString, title);
    QFETCH(QString, error);

    setLanguage(language);
    auto builder = makeBuilder();
    builder->setScript("[Order.Status] / 0");
    QString seenTitle, seenText;
    QVERIFY(whileNamed([&] { builder->Edit(); }, "frmEditor", [&](QWidget *w) {
        whileModal([&] { press(w, "cmdCheck"); }, [](QWidget *m) { return qobject_cast<QMessageBox *>(m); },
                   [&](QWidget *m) {
                       auto *box = static_cast<QMessageBox *>(m);
                       seenTitle = box->windowTitle();
                       seenText = box->text();
                       box->button(QMessageBox::Ok)->click();
                   });
        press(w, "cmdCancel");
    }));
    QCOMPARE(seenTitle, title);
    QVERIFY2(seenText.contains(error), qPrintable(seenText));
}

NVTARNIX_TEST_CLASS(tst_Greek)
