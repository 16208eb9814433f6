// The editor on a Linux desktop: the font keys change the script text only,
// every opening is normal, a dark theme leaves the script readable, the help
// line and the trees show their texts whole.

#include "DesktopTestSupport.h"
#include "tst_desktop.h"
#include "TestMain.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QScopeGuard>
#include <QSettings>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolTip>
#include <QTreeWidget>

#include <cmath>

using namespace desktop;

namespace {

QSettings editorSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tarnix");
}

// Contrast ratio of two colours as the accessibility guidelines define it.
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette darkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::WindowText, QColor(0xe0, 0xe0, 0xe0));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::AlternateBase, QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::ButtonText, QColor(0xe0, 0xe0, 0xe0));
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    return dark;
}

// Every index of a tree's model, depth first.
QModelIndexList allIndexes(const QAbstractItemModel *model, const QModelIndex &parent = {})
{
    QModelIndexList indexes;
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        indexes << index << allIndexes(model, index);
    }
    return indexes;
}

QString plainText(const QString &richText)
{
    QTextDocument document;
    document.setHtml(richText);
    return document.toPlainText();
}

} // namespace

void tst_EditorFit::init()
{
    setLanguage(Greek);
    editorSettings().clear();
}

void tst_EditorFit::fontKeysLeaveTheButtonsAlone()
{
    auto builder = makeBuilder();
    struct Seen
    {
        double script = 0;
        QList<double> others; // buttons, labels, trees
        QStringList clipped;
    };
    const auto look = [](QWidget *w) {
        Seen seen;
        seen.script = child<QPlainTextEdit>(w, "txtScript")->font().pointSizeF();
        for (const char *name : {"cmdOK", "cmdCancel", "cmdCheck", "cmdValueList", "lbVariables", "lbMethods",
                                 "tvVariables", "tvFunctions"})
            seen.others << child<QWidget>(w, name)->font().pointSizeF();
        seen.clipped = clippedCaptions(w);
        return seen;
    };

    Seen enlarged;
    QVERIFY(whileNamed([&] { builder->Edit(); }, "frmEditor", [&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(script, Qt::Key_BracketRight, Qt::ControlModifier);
        enlarged = look(w);
        press(w, "cmdCancel");
    }));
    QCOMPARE(enlarged.script, 12.25);
    QCOMPARE(enlarged.others, QList<double>(8, 8.25));
    QVERIFY2(enlarged.clipped.isEmpty(), qPrintable(enlarged.clipped.join('\n')));

    // The kept size comes back for the script text alone.
    Seen reopened;
    QVERIFY(whileNamed([&] { builder->Edit(); }, "frmEditor", [&](QWidget *w) {
        reopened = look(w);
        press(w, "cmdCancel");
    }));
    QCOMPARE(reopened.script, 12.25);
    QCOMPARE(reopened.others, QList<double>(8, 8.25));
}

void tst_EditorFit::normalStateAfterAMaximisedRun()
{
    auto builder = makeBuilder();
    bool maximised = false;
    QVERIFY(whileNamed([&] { builder->Edit(); }, "frmEditor", [&](QWidget *w) {
        w->showMaximized();
        QCoreApplication::processEvents();
        maximised = w->isMaximized();
        press(w, "cmdCancel");
    }));
    QVERIFY(maximised);

    Qt::WindowStates state;
    QRect geometry;
    QRect screen;
    int dpi = 0;
    QVERIFY(whileNamed([&] { builder->Edit(); }, "frmEditor", [&](QWidget *w) {
        state = w->windowState();
        geometry = w->geometry();
        screen = w->screen()->availableGeometry();
        dpi = w->logicalDpiX();
        press(w, "cmdCancel");
    }));
    QCOMPARE(state, Qt::WindowStates(Qt::WindowNoState));
    QCOMPARE(geometry.size(), QSize(qRound(8430 * dpi / 1440.0), qRound(6750 * dpi / 1440.0)));
    QVERIFY2((geometry.center() - screen.center()).manhattanLength() <= 2,
             qPrintable(QStringLiteral("window at %1,%2").arg(geometry.x()).arg(geometry.y())));
}

void tst_EditorFit::darkThemeKeepsTheScriptReadable()
{
    const QPalette saved = QApplication::palette();
    const auto restore = qScopeGuard([&] { QApplication::setPalette(saved); });
    QApplication::setPalette(darkPalette());

    auto builder = makeBuilder();
    builder->AddError("Oops");
    builder->setScript("[Customer.Name] & Len(\"Oops\") & Raise(1)");
    double worst = 100;
    QStringList colours;
    QColor treeBase;
    QVERIFY(whileNamed([&] { builder->Edit(); }, "frmEditor", [&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        const QColor background = script->palette().color(QPalette::Base);
        worst = contrast(script->palette().color(QPalette::Text), background);
        for (QTextBlock block = script->document()->begin(); block.isValid(); block = block.next()) {
            for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
                const QColor colour = range.format.foreground().color();
                colours << colour.name();
                worst = std::min(worst, contrast(colour, background));
            }
        }
        treeBase = child<QWidget>(w, "tvVariables")->palette().color(QPalette::Base);
        press(w, "cmdCancel");
    }));
    // Variables dark blue, error words red, functions black: all on the light box.
    QVERIFY2(colours.contains("#0000bb") && colours.contains("#dd0000"), qPrintable(colours.join(' ')));
    QVERIFY2(worst >= 4.5, qPrintable(QString::number(worst)));
    // The rest of the window follows the theme.
    QCOMPARE(treeBase, darkPalette().color(QPalette::Base));
}

void tst_EditorFit::helpLineWrapsAndScrolls()
{
    auto builder = makeBuilder();
    QString text;
    int labelWidth = 0, viewportWidth = 0, labelHeight = 0, neededHeight = 0, scrollRange = -1, viewportHeight = 0;
    int lastLineShownAt = -1;
    QVERIFY(whileNamed([&] { builder->Edit(); }, "frmEditor", [&](QWidget *w) {
        auto *functions = child<QTreeWidget>(w, "tvFunctions");
        clickNode(functions, functions->findItems("Raise(", Qt::MatchStartsWith | Qt::MatchRecursive).value(0));
        QCoreApplication::processEvents();
        auto *label = child<QLabel>(w, "lbInfo");
        auto *scroll = child<QScrollArea>(w, "lbInfoScroll");
        text = label->text();
        labelWidth = label->width();
        viewportWidth = scroll->viewport()->width();
        labelHeight = label->height();
        neededHeight = label->heightForWidth(label->width());
        viewportHeight = scroll->viewport()->height();
        scrollRange = scroll->verticalScrollBar()->maximum();
        scroll->verticalScrollBar()->setValue(scrollRange);
        lastLineShownAt = label->visibleRegion().boundingRect().bottom();
        press(w, "cmdCancel");
    }));
    QVERIFY2(text.contains("HelpContext as Variant) as Variant)") && text.endsWith("στην έκφραση."), qPrintable(text));
    QVERIFY(labelWidth <= viewportWidth);
    QVERIFY(labelHeight >= neededHeight);
    // Longer than the frame: it scrolls, to its very last line.
    QVERIFY2(labelHeight > viewportHeight, qPrintable(QStringLiteral("%1 in %2").arg(labelHeight).arg(viewportHeight)));
    QCOMPARE(scrollRange, labelHeight - viewportHeight);
    QCOMPARE(lastLineShownAt, labelHeight - 1);
}

void tst_EditorFit::treesShowNodesWhole()
{
    auto builder = makeBuilder();
    QStringList cut;
    int sideways = 0;
    QVERIFY(whileNamed([&] { builder->Edit(); }, "frmEditor", [&](QWidget *w) {
        for (const char *name : {"tvVariables", "tvFunctions"}) {
            auto *tree = child<QTreeWidget>(w, name);
            tree->expandAll();
            QCoreApplication::processEvents();
            for (const QModelIndex &index : allIndexes(tree->model())) {
                if (tree->visualRect(index).width() < tree->sizeHintForIndex(index).width())
                    cut << index.data().toString() + QStringLiteral(" %1 < %2 section %3 min %4 x %5").arg(tree->visualRect(index).width()).arg(tree->sizeHintForIndex(index).width()).arg(tree->header()->sectionSize(0)).arg(tree->header()->minimumSectionSize()).arg(tree->visualRect(index).x());
            }
        }
        sideways = child<QTreeWidget>(w, "tvFunctions")->horizontalScrollBar()->maximum();
        press(w, "cmdCancel");
    }));
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join('\n')));
    // The long declaration is wider than the tree: the tree scrolls sideways.
    QVERIFY(sideways > 0);
}

void tst_EditorFit::toolTips_data()
{
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QString>("node");
    QTest::addColumn<QStringList>("shows");

    QTest::newRow("function with help") << "tvFunctions" << longDeclaration()
                                        << QStringList{longDeclaration(), longFunctionHelp()};
    QTest::newRow("function without help")
        << "tvFunctions"
        << "Raise(number as Variant, Source as Variant, Description as Variant, helpfile as Variant, HelpContext as "
           "Variant) as Variant"
        << QStringList{"Raise(number as Variant, Source as Variant, Description as Variant, helpfile as Variant, "
                       "HelpContext as Variant) as Variant"};
    QTest::newRow("interface") << "tvFunctions" << "Error Functions" << QStringList{"Error Functions"};
    QTest::newRow("text variable") << "tvVariables" << "Name"
                                   << QStringList{"[Customer.Name]", "Αναγνωριστικό: CUST_NAME",
                                                  "Τύπος: Κείμενο (0)", "Full name of the customer"};
    QTest::newRow("date variable without help") << "tvVariables" << "Customer since"
                                                << QStringList{"[Customer.Customer since]",
                                                               "Αναγνωριστικό: CUST_SINCE",
                                                               "Τύπος: Ημερομηνία και ώρα (4)"};
    QTest::newRow("value-list variable") << "tvVariables" << "Status"
                                         << QStringList{"[Order.Status]", "Αναγνωριστικό: STATUS",
                                                        "Τύπος: Αριθμός από λίστα τιμών (5)",
                                                        "Where the order stands"};
    QTest::newRow("group") << "tvVariables" << "Order" << QStringList{"Order"};
}

void tst_EditorFit::toolTips()
{
    QFETCH(QString, tree);
    QFETCH(QString, node);
    QFETCH(QStringList, shows);

    auto builder = makeBuilder();
    QString shown;
    QVERIFY(whileNamed([&] { builder->Edit(); }, "frmEditor", [&](QWidget *w) {
        auto *view = w->findChild<QTreeWidget *>(tree);
        QTreeWidgetItem *item = nodeByText(view, node);
        if (item) {
            view->scrollToItem(item);
            const QPoint at = view->visualItemRect(item).center();
            QHelpEvent help(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
            QApplication::sendEvent(view->viewport(), &help);
            shown = plainText(QToolTip::text());
            QToolTip::hideText();
        }
        press(w, "cmdCancel");
    }));
    for (const QString &piece : shows)
        QVERIFY2(shown.contains(piece), qPrintable(QStringLiteral("\"%1\" not in \"%2\"").arg(piece, shown)));
}

NVTARNIX_TEST_CLASS(tst_EditorFit)
