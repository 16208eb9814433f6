// Every caption of both windows fits its control, in Greek and in English,
// with the fonts installed and at the scale the program runs at (ctest runs
// it again with QT_SCALE_FACTOR=2).

#include "DesktopTestSupport.h"
#include "tst_desktop.h"
#include "TestMain.h"

#include <QFontInfo>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTreeWidget>

using namespace desktop;

void tst_Captions::init()
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tarnix").clear();
}

void tst_Captions::captionsFit_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("window");
    QTest::newRow("Greek editor") << Greek << "frmEditor";
    QTest::newRow("English editor") << English << "frmEditor";
    QTest::newRow("Greek value list") << Greek << "frmList";
    QTest::newRow("English value list") << English << "frmList";
}

void tst_Captions::captionsFit()
{
    QFETCH(int, language);
    QFETCH(QString, window);
    setLanguage(language);
    auto builder = makeBuilder();
    answerValueLists(*builder, {{1, "Open"}, {2, "Closed"}});

    QStringList clipped;
    QStringList measured;
    qreal scale = 0;
    const auto measure = [&](QWidget *w) {
        clipped = clippedCaptions(w);
        scale = w->devicePixelRatioF();
        for (const QPushButton *button : w->findChildren<QPushButton *>())
            measured << button->text();
        qInfo("%s in %s at %.0f%%", qPrintable(window), qPrintable(QFontInfo(w->font()).family()), scale * 100);
    };
    const bool opened = whileNamed([&] { builder->Edit(); }, "frmEditor", [&](QWidget *editor) {
        if (window == "frmEditor") {
            measure(editor);
        } else {
            auto *variables = child<QTreeWidget>(editor, "tvVariables");
            clickNode(variables, nodeByText(variables, "Status"));
            const bool listOpened = whileNamed([&] { press(editor, "cmdValueList"); }, "frmList",
                                               [&](QWidget *list) {
                                                   measure(list);
                                                   press(list, "cmdCancel");
                                               });
            QVERIFY(listOpened);
        }
        press(editor, "cmdCancel");
    });
    QVERIFY(opened);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join('\n')));
    // The texts of the language were measured, at the scale asked for.
    QVERIFY(measured.contains(language == Greek ? "Άκυρο" : "Cancel"));
    const double wanted = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                              ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                              : 1.0;
    QCOMPARE(scale, wanted);
}

NVTARNIX_TEST_CLASS(tst_Captions)
