#include "editor/ReferenceSelection.h"

#include "TestMain.h"

#include <QTest>

using namespace nvtarnix::editor;

class tst_TextEditing : public QObject
{
    Q_OBJECT
private slots:
    void selectReference_data();
    void selectReference();
};

void tst_TextEditing::selectReference_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("start"); // -1: nothing happens
    QTest::addColumn<int>("length");

    const QString text = QStringLiteral("1 + [Customer.Name] & [B]");
    QTest::newRow("just after [") << text << 5 << 4 << 15;
    QTest::newRow("inside") << text << 12 << 4 << 15;
    QTest::newRow("just before ]") << text << 18 << 4 << 15;
    QTest::newRow("just before [") << text << 4 << -1 << 0;
    QTest::newRow("just after ]") << text << 19 << -1 << 0;
    QTest::newRow("second reference") << text << 23 << 22 << 3;
    QTest::newRow("start of text") << text << 0 << -1 << 0;
    QTest::newRow("earlier [ still open") << QStringLiteral("[a [b] c") << 3 << 0 << 6;
    QTest::newRow("missing ] at start") << QStringLiteral("[abc") << 2 << 0 << 0;
    QTest::newRow("missing ]") << QStringLiteral("x + [abc") << 6 << 4 << 0;
    QTest::newRow("no brackets") << QStringLiteral("1 + 2") << 3 << -1 << 0;
}

void tst_TextEditing::selectReference()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(int, start);
    QFETCH(int, length);

    const auto selection = SelectReferenceAtCaret(text, caret);
    if (start < 0) {
        QVERIFY(!selection);
        return;
    }
    QVERIFY(selection);
    QCOMPARE(selection->start, start);
    QCOMPARE(selection->length, length);
}

NVTARNIX_TEST_CLASS(tst_TextEditing)

#include "tst_textediting.moc"
