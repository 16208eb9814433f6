#include "SqliteFile.h"
#include "TestMain.h"
#include "WindowVisit.h"

#include "valuelist/frmList.h"

#include <nvtarnix/Error.h>
#include <nvtarnix/ForwardOnlyRecordset.h>
#include <nvtarnix/MemoryRecordset.h>
#include <nvtarnix/SqlRecordset.h>

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>

using nvtarnix::frmList;
using nvtarnix::Recordset;

namespace {

constexpr qint32 Untouched = -7;

using Row = QPair<QString, QString>; // the code and description as shown

// The user's side of the dialog, scheduled before WindowOpen blocks in the
// dialog's own event loop: it notes what the dialog shows, then plays the
// steps. Whether the dialog came is for each test to check.
class UserAtDialog
{
public:
    UserAtDialog(frmList &dialog, std::function<void(frmList &)> steps,
                 testsupport::CallSite where = testsupport::CallSite::current())
        : m_visit(testsupport::ifShown(
              QStringLiteral("frmList"), [&dialog](QWidget *w) { return w == &dialog; },
              [this, &dialog, steps](QWidget *) {
                  m_ownerWhileOpen = dialog.parentWidget();
                  const auto *list = dialog.findChild<QTreeWidget *>("lstValueList");
                  for (int i = 0; i < list->topLevelItemCount(); ++i)
                      m_rows.append({list->topLevelItem(i)->text(0), list->topLevelItem(i)->text(1)});
                  steps(dialog);
              },
              where))
    {
    }

    bool sawDialog() const { return m_visit.came(); }
    bool leftOpen() const { return m_visit.leftOpen(); }
    QList<Row> rows() const { return m_rows; }
    QWidget *ownerWhileOpen() const { return m_ownerWhileOpen; }

private:
    QList<Row> m_rows;
    QWidget *m_ownerWhileOpen = nullptr;
    testsupport::WindowVisit m_visit;
};

QTreeWidget *listOf(frmList &dialog)
{
    return dialog.findChild<QTreeWidget *>("lstValueList");
}

QPoint centreOfRow(frmList &dialog, const QString &code)
{
    QTreeWidget *list = listOf(dialog);
    const QList<QTreeWidgetItem *> found = list->findItems(code, Qt::MatchExactly, 0);
    return found.isEmpty() ? QPoint(-1, -1) : list->visualItemRect(found.first()).center();
}

// Plays a short script of user steps: "click CODE", "dblclick CODE",
// "dblclick-below" (empty space under the rows), "key down", "enter", "esc",
// "ok", "cancel", "close".
void play(frmList &dialog, const QStringList &steps)
{
    QTreeWidget *list = listOf(dialog);
    QWidget *viewport = list->viewport();
    for (const QString &step : steps) {
        const QString verb = step.section(' ', 0, 0);
        const QString argument = step.section(' ', 1);
        if (verb == "click")
            QTest::mouseClick(viewport, Qt::LeftButton, {}, centreOfRow(dialog, argument));
        else if (verb == "dblclick")
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, centreOfRow(dialog, argument));
        else if (verb == "dblclick-below")
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, QPoint(20, viewport->height() - 4));
        else if (verb == "key" && argument == "down")
            QTest::keyClick(list, Qt::Key_Down);
        else if (verb == "enter")
            QTest::keyClick(list, Qt::Key_Return);
        else if (verb == "esc")
            QTest::keyClick(list, Qt::Key_Escape);
        else if (verb == "ok")
            QTest::mouseClick(dialog.findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
        else if (verb == "cancel")
            QTest::mouseClick(dialog.findChild<QPushButton *>("cmdCancel"), Qt::LeftButton);
        else if (verb == "close")
            dialog.close();
        else
            QFAIL(qPrintable("unknown step " + step));
    }
}

} // namespace

class tst_frmList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void pickCode_data();
    void pickCode();
    void emptyLists_data();
    void emptyLists();
    void failures_data();
    void failures();
    void windowAsDesigned();
    void searchByCodeOrDescription();
    void ownerWindow();

private:
    std::shared_ptr<Recordset> statusList() const;

    std::unique_ptr<testsupport::ValueListDatabase> m_db;
    // One dialog for every test, as the editor keeps one for every list.
    std::unique_ptr<frmList> m_dialog;
};

void tst_frmList::initTestCase()
{
    m_db = std::make_unique<testsupport::ValueListDatabase>();
    m_dialog = std::make_unique<frmList>();
}

void tst_frmList::cleanupTestCase()
{
    m_dialog.reset();
    m_db.reset();
}

std::shared_ptr<Recordset> tst_frmList::statusList() const
{
    return std::make_shared<nvtarnix::SqlRecordset>(m_db->database(), "SELECT CODE, DESCR FROM STATUS");
}

void tst_frmList::pickCode_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("expectedResult");
    QTest::addColumn<qint32>("expectedValue");

    QTest::newRow("numeric text, OK button") << QStringList{"click 12", "ok"} << 1 << 12;
    QTest::newRow("2.5 rounds to even, Enter") << QStringList{"click 2.5", "enter"} << 1 << 2;
    QTest::newRow("3.5 rounds to even, Enter") << QStringList{"click 3.5", "enter"} << 1 << 4;
    QTest::newRow("double-click on a row") << QStringList{"dblclick 20"} << 1 << 20;
    QTest::newRow("double-click below the rows takes the selected one")
        << QStringList{"click 30", "dblclick-below"} << 1 << 30;
    // Nothing is current until the user moves: the first Down picks the first row.
    QTest::newRow("keyboard only, nothing chosen at first") << QStringList{"key down", "key down", "enter"} << 1 << 4;
    QTest::newRow("Cancel button") << QStringList{"click 10", "cancel"} << 0 << Untouched;
    QTest::newRow("Esc") << QStringList{"click 10", "esc"} << 0 << Untouched;
    QTest::newRow("close box") << QStringList{"click 10", "close"} << 0 << Untouched;
    QTest::newRow("OK, Enter and double-click do nothing with no row selected")
        << QStringList{"ok", "enter", "dblclick-below", "cancel"} << 0 << Untouched;
}

void tst_frmList::pickCode()
{
    QFETCH(QStringList, steps);
    QFETCH(int, expectedResult);
    QFETCH(qint32, expectedValue);

    const std::shared_ptr<Recordset> rs = statusList();
    qint32 selected = Untouched;
    const UserAtDialog user(*m_dialog, [&](frmList &dialog) { play(dialog, steps); });
    const int result = m_dialog->WindowOpen(rs, "CODE", "DESCR", selected);

    QVERIFY(user.sawDialog());
    QVERIFY(!user.leftOpen());
    const QList<Row> expectedRows{{"2.5", "Κλειστό"}, {"3.5", "Half open"}, {"10", ""},
                                  {"12", "Waiting"}, {"20", "Open"},        {"30", "Closed"}};
    QCOMPARE(user.rows(), expectedRows);
    QCOMPARE(result, expectedResult);
    QCOMPARE(selected, expectedValue);
    // The host's recordset stays sorted by the code and at its end.
    QCOMPARE(rs->Sort(), QString("CODE ASC"));
    QVERIFY(rs->Eof());
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(listOf(*m_dialog)->topLevelItemCount(), 0);
}

void tst_frmList::emptyLists_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("no recordset") << "none";
    QTest::newRow("recordset that cannot tell its count") << "uncountable";
    QTest::newRow("recordset without rows") << "empty";
}

void tst_frmList::emptyLists()
{
    QFETCH(QString, source);

    std::shared_ptr<Recordset> rs;
    if (source == "uncountable")
        rs = std::make_shared<nvtarnix::ForwardOnlyRecordset>(m_db->database(), "SELECT CODE FROM STATUS");
    else if (source == "empty")
        rs = std::make_shared<nvtarnix::MemoryRecordset>(QStringList{"CODE"});

    // With no row to pick, OK and Enter do nothing; only cancelling ends it.
    qint32 selected = Untouched;
    const UserAtDialog user(*m_dialog, [&](frmList &dialog) { play(dialog, {"ok", "enter", "cancel"}); });
    const int result = m_dialog->WindowOpen(rs, "CODE", "DESCR", selected);
    QVERIFY(user.sawDialog());
    QVERIFY(!user.leftOpen());
    QVERIFY(user.rows().isEmpty());
    QCOMPARE(result, 0);
    QCOMPARE(selected, Untouched);
    // The recordset was neither sorted nor moved.
    if (rs) {
        QCOMPARE(rs->Sort(), QString());
        if (source == "uncountable")
            QCOMPARE(rs->Fields("CODE"), QVariant(30LL));
    }
}

void tst_frmList::failures_data()
{
    QTest::addColumn<QString>("codeField");
    QTest::addColumn<QString>("descriptionField");
    QTest::addColumn<int>("pickRow");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("expectedNumber");

    QTest::newRow("unknown code field") << "NOPE" << "DESCR" << -1 << false << 3265;
    QTest::newRow("unknown description field") << "CODE" << "NOPE" << -1 << false << 3265;
    // ODD sorts as Null, 3000000000, "abc".
    QTest::newRow("Null code") << "CODE" << "DESCR" << 0 << true << 94;
    QTest::newRow("code beyond 32 bits") << "CODE" << "DESCR" << 1 << true << 6;
    QTest::newRow("code that is not a number") << "CODE" << "DESCR" << 2 << true << 13;
}

void tst_frmList::failures()
{
    QFETCH(QString, codeField);
    QFETCH(QString, descriptionField);
    QFETCH(int, pickRow);
    QFETCH(bool, shown);
    QFETCH(int, expectedNumber);

    const auto rs = std::make_shared<nvtarnix::SqlRecordset>(m_db->database(), "SELECT CODE, DESCR FROM ODD");
    qint32 selected = Untouched;
    int number = 0;
    QString description;
    {
        const UserAtDialog user(*m_dialog, [&](frmList &dialog) {
            QTreeWidget *list = listOf(dialog);
            list->setCurrentItem(list->topLevelItem(pickRow));
            play(dialog, {"ok"});
        });
        try {
            m_dialog->WindowOpen(rs, codeField, descriptionField, selected);
        } catch (const nvtarnix::Error &error) {
            number = error.number();
            description = error.description();
        }
        QCOMPARE(user.sawDialog(), shown);
    }
    QCOMPARE(number, expectedNumber);
    QVERIFY(!description.isEmpty());
    QCOMPARE(selected, Untouched);
    QVERIFY(!m_dialog->isVisible());

    // The shared dialog is whole again for the next list, with none of the
    // failed list's rows.
    qint32 next = Untouched;
    const UserAtDialog user(*m_dialog, [&](frmList &dialog) { play(dialog, {"click 20", "ok"}); });
    QCOMPARE(m_dialog->WindowOpen(statusList(), "CODE", "DESCR", next), 1);
    QCOMPARE(user.rows().size(), 6);
    QCOMPARE(next, 20);
}

void tst_frmList::windowAsDesigned()
{
    frmList &dialog = *m_dialog;
    const double pixelsPerTwip = dialog.logicalDpiX() / 1440.0;
    const auto px = [&](int twips) { return qRound(twips * pixelsPerTwip); };

    QWidget *focusWhileOpen = nullptr;
    const UserAtDialog user(dialog, [&](frmList &open) {
        focusWhileOpen = open.focusWidget();
        play(open, {"cancel"});
    });
    qint32 selected = Untouched;
    dialog.WindowOpen(statusList(), "CODE", "DESCR", selected);
    QVERIFY(user.sawDialog());

    QTreeWidget *list = listOf(dialog);
    auto *ok = dialog.findChild<QPushButton *>("cmdOK");
    auto *cancel = dialog.findChild<QPushButton *>("cmdCancel");
    QCOMPARE(dialog.objectName(), QString("frmList"));
    QCOMPARE(focusWhileOpen, list);

    // Texts of the string table in the default language, Greek.
    QCOMPARE(dialog.windowTitle(), QString("Λίστα Τιμών"));
    QCOMPARE(ok->text(), QString("OK"));
    QCOMPARE(cancel->text(), QString("Άκυρο"));
    QCOMPARE(list->headerItem()->text(0), QString("Κωδ"));
    QCOMPARE(list->headerItem()->text(1), QString("Περιγραφή"));
    QCOMPARE(dialog.font().pointSizeF(), 8.0);

    QVERIFY(ok->isDefault());
    QVERIFY(!cancel->isDefault());
    QVERIFY(!(dialog.windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint)));
    // Fixed at its design size in twips; the list ends where the buttons begin.
    QCOMPARE(dialog.size(), QSize(px(4515), px(4605)));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QCOMPARE(list->geometry().bottom() + 1, px(180 + 3795));
    QCOMPARE(ok->geometry().top(), px(4050));

    for (const QIcon &image : dialog.ImageList1())
        QVERIFY(!image.pixmap(16, 16).isNull());
    QVERIFY(!dialog.windowIcon().isNull());
}

void tst_frmList::searchByCodeOrDescription()
{
    // Offered for one opening: the rows narrow to a word of the description
    // (without regard to case or accents) or the start of the code, and Down
    // goes to the first row left.
    const auto shownCodes = [](frmList &dialog) {
        QStringList codes;
        QTreeWidget *list = listOf(dialog);
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            if (!list->topLevelItem(i)->isHidden())
                codes << list->topLevelItem(i)->text(0);
        }
        return codes;
    };
    QStringList byWord, byAccentless, byCode, afterClearing;
    bool searchFirst = false;
    m_dialog->setSearchable(true);
    qint32 selected = Untouched;
    const UserAtDialog user(*m_dialog, [&](frmList &dialog) {
        auto *search = dialog.findChild<QLineEdit *>("txtSearch");
        searchFirst = search->isVisible() && dialog.focusWidget() == search;
        QTest::keyClicks(search, "OPEN");
        byWord = shownCodes(dialog);
        search->clear();
        // Typed through the editor's input path, as a Greek keyboard does.
        search->insert(QStringLiteral("κλειστο"));
        byAccentless = shownCodes(dialog);
        search->clear();
        QTest::keyClicks(search, "1");
        byCode = shownCodes(dialog);
        QTest::keyClick(search, Qt::Key_Down);
        QTest::keyClick(listOf(dialog), Qt::Key_Return);
    });
    QCOMPARE(m_dialog->WindowOpen(statusList(), "CODE", "DESCR", selected), 1);
    QVERIFY(user.sawDialog());
    QVERIFY(searchFirst);
    QCOMPARE(byWord, QStringList({"3.5", "20"}));
    QCOMPARE(byAccentless, QStringList({"2.5"}));
    QCOMPARE(byCode, QStringList({"10", "12"}));
    QCOMPARE(selected, 10);

    // The next opening is the window as designed: no search box.
    bool searchShown = true;
    const UserAtDialog plain(*m_dialog, [&](frmList &dialog) {
        searchShown = dialog.findChild<QLineEdit *>("txtSearch")->isVisible();
        afterClearing = shownCodes(dialog);
        play(dialog, {"cancel"});
    });
    QCOMPARE(m_dialog->WindowOpen(statusList(), "CODE", "DESCR", selected), 0);
    QVERIFY(plain.sawDialog());
    QVERIFY(!searchShown);
    QCOMPARE(afterClearing.size(), 6);
}

void tst_frmList::ownerWindow()
{
    auto owner = std::make_unique<QWidget>();
    owner->show();

    qint32 selected = Untouched;
    {
        const UserAtDialog user(*m_dialog, [&](frmList &dialog) { play(dialog, {"click 3.5", "ok"}); });
        QCOMPARE(m_dialog->WindowOpen(statusList(), "CODE", "DESCR", selected, owner.get()), 1);
        QCOMPARE(user.ownerWhileOpen(), owner.get());
        QVERIFY(!user.leftOpen());
    }
    QCOMPARE(selected, 4);

    // The owner lends its window only for the one opening: destroying it
    // afterwards leaves the shared dialog alive.
    const QPointer<frmList> dialog(m_dialog.get());
    owner.reset();
    QVERIFY(!dialog.isNull());
    QCOMPARE(dialog->parentWidget(), nullptr);

    const UserAtDialog user(*m_dialog, [&](frmList &open) { play(open, {"dblclick 30"}); });
    QCOMPARE(m_dialog->WindowOpen(statusList(), "CODE", "DESCR", selected), 1);
    QCOMPARE(user.ownerWhileOpen(), nullptr);
    QCOMPARE(selected, 30);
}

NVTARNIX_TEST_CLASS(tst_frmList)

#include "tst_frmlist.moc"
