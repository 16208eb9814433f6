#include "editor/SearchFolding.h"
#include "editor/TreeFilter.h"

#include "TestMain.h"

#include <QTest>

using namespace nvtarnix::editor;

// The window-free rules under the editing aids.
class tst_AidLogic : public QObject
{
    Q_OBJECT
private slots:
    void folding_data();
    void folding();
    void wordStart_data();
    void wordStart();
    void filterVisibility_data();
    void filterVisibility();
};

void tst_AidLogic::folding_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("found");
    QTest::newRow("greek accent and case") << "Όνομα" << "ονομα" << true;
    QTest::newRow("greek upper without accent") << "όνομα πελάτη" << "ΠΕΛΑΤΗ" << true;
    QTest::newRow("diaeresis") << "Προϋπολογισμός" << "προυπολογισμος" << true;
    QTest::newRow("final sigma") << "Πελάτης" << "πελατησ" << true;
    QTest::newRow("latin letters are not greek") << "Όνομα" << "ONOMA" << false;
    QTest::newRow("latin accents") << "Café Total" << "CAFE" << true;
    QTest::newRow("plain ascii") << "Customer.Name" << "r.na" << true;
    QTest::newRow("missing") << "Customer" << "cost" << false;
}

void tst_AidLogic::folding()
{
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(bool, found);
    QCOMPARE(foldForSearch(text).contains(foldForSearch(needle)), found);
}

void tst_AidLogic::wordStart_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("atWordStart");
    QTest::newRow("first word") << "customer.name" << "cus" << true;
    QTest::newRow("after the dot") << "customer.name" << "na" << true;
    QTest::newRow("after a blank") << "order date" << "da" << true;
    QTest::newRow("inside only") << "customer.name" << "ame" << false;
    QTest::newRow("second occurrence at a word") << "banana nab" << "na" << true;
}

void tst_AidLogic::wordStart()
{
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(bool, atWordStart);
    QCOMPARE(containsAtWordStart(text, needle), atWordStart);
}

void tst_AidLogic::filterVisibility_data()
{
    // root(0) - group a(1) - x(2), y(3); group b(4) - z(5); w(6) under root
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty shows all") << "" << "1111111";
    QTest::newRow("leaf keeps its group") << "yy" << "1101000";
    QTest::newRow("group match shows its children") << "bb" << "1000110";
    QTest::newRow("leaf under root") << "ww" << "1000001";
    QTest::newRow("nothing keeps the root") << "qq" << "1000000";
    QTest::newRow("root text is not searched") << "root" << "1000000";
}

void tst_AidLogic::filterVisibility()
{
    QFETCH(QString, needle);
    QFETCH(QString, shown);
    const QVector<FilterNode> nodes{{-1, "root"}, {0, "aa"}, {1, "xx"}, {1, "yy"}, {0, "bb"}, {4, "zz"}, {0, "ww"}};
    QString flags;
    for (bool v : visibleNodes(nodes, needle))
        flags += v ? QLatin1Char('1') : QLatin1Char('0');
    QCOMPARE(flags, shown);
}

NVTARNIX_TEST_CLASS(tst_AidLogic)
#include "tst_aidlogic.moc"
