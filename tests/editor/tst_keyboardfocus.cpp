#include "AidsFixture.h"

#include "editor/Contrast.h"

#include "TestMain.h"
#include "WindowVisit.h"

#include <nvtarnix/MemoryRecordset.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTreeWidget>

#include <functional>
#include <memory>

using testsupport::child;

namespace {

// The pixels that change from one picture to the other by as much as a line
// must stand out from what is beside it (3:1): a change a user sees, not a
// shade of the selection's colour.
int visiblyChanged(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += nvtarnix::editor::contrastRatio(a.pixel(x, y), b.pixel(x, y)) >= nvtarnix::editor::kLineContrast;
    return count;
}

// The control with the frame round it, as the window shows it: a style may
// draw the focus just outside the control.
QImage around(QWidget *control)
{
    QWidget *window = control->window();
    const QRect area(control->mapTo(window, QPoint(0, 0)), control->size());
    return window->grab(area.adjusted(-3, -3, 3, 3)).toImage().convertToFormat(QImage::Format_RGB32);
}

// Keeps a picture where a developer can look at it, when asked for with
// NVTARNIX_FOCUS_PICTURES=folder; `picture` is made only then.
void keepPicture(const QString &name, const std::function<QImage()> &picture)
{
    const QString folder = qEnvironmentVariable("NVTARNIX_FOCUS_PICTURES");
    if (!folder.isEmpty() && QDir().mkpath(folder))
        picture().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

// Keys go to the application's focus widget, which follows the active window
// a moment after the window system says the window is active.
void activate(QWidget *window)
{
    window->activateWindow();
    QTRY_VERIFY2_WITH_TIMEOUT(QApplication::activeWindow() == window, "the window never became active", 3000);
}

QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QStringLiteral("(none)");
}

// One round of the window's Tab chain with real keys from the control that
// has the focus, and one round back with Shift+Tab. For each control Tab
// reaches, how it looks with the focus and once the focus has gone on; an
// item view must show a current item while it has the focus.
struct TabRound
{
    QStringList forward;
    QStringList backward;
    QStringList unseen;

    void walk(int steps)
    {
        QHash<QString, QImage> focused;
        QHash<QString, QImage> left;
        for (int i = 0; i < steps; ++i) {
            QWidget *from = QApplication::focusWidget();
            QTest::keyClick(from, Qt::Key_Tab);
            left.insert(from->objectName(), around(from));
            QWidget *to = QApplication::focusWidget();
            forward << focusName();
            if (!to)
                return;
            focused.insert(to->objectName(), around(to));
            keepPicture(to->window()->objectName() + QStringLiteral("-at-") + to->objectName(),
                        [to] { return to->window()->grab().toImage(); });
            if (auto *view = qobject_cast<QAbstractItemView *>(to);
                view && !view->viewport()->rect().intersects(view->visualRect(view->currentIndex())))
                unseen << to->objectName() + QStringLiteral(" (no current item)");
        }
        for (auto it = focused.cbegin(); it != focused.cend(); ++it) {
            const int changed = visiblyChanged(it.value(), left.value(it.key()));
            // At least a one-pixel line all round the control: more than a
            // caret, and seen whatever part of the control one looks at.
            const QSize size = it.value().size() - QSize(6, 6);
            const QString name = QApplication::activeWindow()->objectName() + QLatin1Char('-') + it.key();
            keepPicture(name + QStringLiteral("-focused"), [&] { return it.value(); });
            keepPicture(name + QStringLiteral("-left"), [&] { return left.value(it.key()); });
            if (changed < 2 * (size.width() + size.height()))
                unseen << QStringLiteral("%1 (%2 pixels)").arg(it.key()).arg(changed);
        }
        for (int i = 0; i < steps; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            backward << focusName();
        }
    }
};

QStringList reversedFrom(const QStringList &round)
{
    // Back from the start: every control but the start in reverse, then the start.
    QStringList back(round.crbegin() + 1, round.crend());
    back << round.last();
    return back;
}

std::shared_ptr<nvtarnix::Recordset> statuses()
{
    auto rows = std::make_shared<nvtarnix::MemoryRecordset>(QStringList{"CODE", "DESCR"});
    rows->addRow({1, "Open"});
    rows->addRow({2, "Closed"});
    return rows;
}

} // namespace

// The keyboard's way round the wizard and the value list: the documented
// order both ways with no control kept or skipped, and the focus visible on
// every control it comes to.
class tst_KeyboardFocus : public QObject
{
    Q_OBJECT
private slots:
    void editorTabRound_data();
    void editorTabRound();
    void valueListTabRound();
};

void tst_KeyboardFocus::editorTabRound_data()
{
    QTest::addColumn<bool>("listVariable");
    QTest::addColumn<bool>("darkTheme");
    QTest::addColumn<QStringList>("round");
    // The README's order, round again to the filter. The value-list button
    // waits, disabled, for a variable with a list.
    const QStringList withoutList{"tvVariables", "tvFunctions", "cmdCheck", "txtScript",
                                  "cmdOK",       "cmdCancel",   "txtFilter"};
    QTest::newRow("no list") << false << false << withoutList;
    QTest::newRow("list variable") << true << false
                                   << QStringList{"tvVariables", "tvFunctions", "cmdCheck",     "txtScript",
                                                  "cmdOK",       "cmdCancel",   "cmdValueList", "txtFilter"};
    // A host's dark theme whose selection colour hardly differs from its
    // windows: the focus must still show.
    QTest::newRow("dark theme, dim highlight")
        << true << true << QStringList{"tvVariables", "tvFunctions", "cmdCheck",     "txtScript",
                                       "cmdOK",       "cmdCancel",   "cmdValueList", "txtFilter"};
}

void tst_KeyboardFocus::editorTabRound()
{
    QFETCH(bool, listVariable);
    QFETCH(bool, darkTheme);
    QFETCH(QStringList, round);
    const QPalette saved = QApplication::palette();
    if (darkTheme) {
        QPalette dark(QColor(0x50, 0x50, 0x50), QColor(0x30, 0x30, 0x30));
        dark.setColor(QPalette::Highlight, QColor(0x3A, 0x3A, 0x50));
        QApplication::setPalette(dark);
    }
    const auto restore = qScopeGuard([&] { QApplication::setPalette(saved); });
    auto builder = makeAidsBuilder();
    builder->AddVariable("STATUS", "Status", "5", "4", "3", "1", "statuses", "CODE", "DESCR");
    builder->setScript("[Total] * 2");
    TabRound tab;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        activate(w);
        if (listVariable) {
            auto *variables = child<QTreeWidget>(w, "tvVariables");
            variables->setCurrentItem(
                variables->findItems(QStringLiteral("Status"), Qt::MatchRecursive | Qt::MatchExactly).value(0));
        }
        child<QLineEdit>(w, "txtFilter")->setFocus(Qt::TabFocusReason);
        tab.walk(int(round.size()));
        testsupport::press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(tab.forward, round);
    QCOMPARE(tab.backward, reversedFrom(round));
    QVERIFY2(tab.unseen.isEmpty(), qPrintable(tab.unseen.join(QStringLiteral(", "))));
}

void tst_KeyboardFocus::valueListTabRound()
{
    auto builder = makeAidsBuilder();
    builder->AddVariable("STATUS", "Status", "5", "4", "3", "1", "statuses", "CODE", "DESCR");
    QObject::connect(
        builder.get(), &nvtarnix::TarnixObject::ListSourceRequest, builder.get(),
        [](QString &, QVariant &data) { data = QVariant::fromValue(statuses()); }, Qt::DirectConnection);
    TabRound tab;
    bool listCame = false;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        activate(w);
        auto *variables = child<QTreeWidget>(w, "tvVariables");
        variables->setCurrentItem(
            variables->findItems(QStringLiteral("Status"), Qt::MatchRecursive | Qt::MatchExactly).value(0));
        const auto list = testsupport::whenShown("frmList", [&](QWidget *l) {
            listCame = true;
            activate(l);
            // The first row picked with the keys, so that OK takes part.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
            tab.walk(3);
            testsupport::press(l, "cmdCancel");
        });
        // The button, pressed with the keyboard.
        child<QWidget>(w, "cmdValueList")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        testsupport::press(w, "cmdCancel");
    });
    builder->Edit();
    QVERIFY(listCame);
    QCOMPARE(tab.forward, (QStringList{"cmdOK", "cmdCancel", "lstValueList"}));
    QCOMPARE(tab.backward, (QStringList{"cmdCancel", "cmdOK", "lstValueList"}));
    QVERIFY2(tab.unseen.isEmpty(), qPrintable(tab.unseen.join(QStringLiteral(", "))));
}

NVTARNIX_TEST_CLASS(tst_KeyboardFocus)
#include "tst_keyboardfocus.moc"
