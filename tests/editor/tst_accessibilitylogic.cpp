#include "editor/AccessibleNames.h"
#include "editor/Announcements.h"
#include "editor/Contrast.h"
#include "editor/ProblemMarksAid.h"
#include "editor/ScriptBoxPalette.h"
#include "support/MlStringModule.h"

#include "TestMain.h"

#include <nvtarnix/Language.h>

#include <QTest>

using namespace nvtarnix::editor;

namespace {

ScriptProblem unknownAt(qsizetype start, qsizetype length, const QString &suggestion)
{
    ScriptProblem p;
    p.kind = ScriptProblem::UnknownReference;
    p.start = start;
    p.length = length;
    p.reference = QStringLiteral("[x]");
    p.suggestion = suggestion;
    return p;
}

} // namespace

// The window-free rules of what a screen reader hears and of the script
// box's contrast.
class tst_AccessibilityLogic : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void contrastRatio_data();
    void contrastRatio();
    void readableOn_data();
    void readableOn();
    void readableKeepsTheHue();
    void paletteTextsStandOutWhateverTheTheme_data();
    void paletteTextsStandOutWhateverTheTheme();
    void underlinesDifferByMoreThanColour_data();
    void underlinesDifferByMoreThanColour();
    void nameFromCaption_data();
    void nameFromCaption();
    void spokenText();
    void shortAnnouncement();
    void eachChangeIsSaidOnce();
    void caretEnteringAProblem();
    void textsInTheInterfaceLanguage();
};

void tst_AccessibilityLogic::init()
{
    nvtarnix::setUserInterfaceLanguage(nvtarnix::EnglishLanguage);
    nvtarnix::InitLanguage(0);
}

void tst_AccessibilityLogic::contrastRatio_data()
{
    QTest::addColumn<QRgb>("first");
    QTest::addColumn<QRgb>("second");
    QTest::addColumn<double>("ratio");
    QTest::newRow("black on white") << qRgb(0, 0, 0) << qRgb(255, 255, 255) << 21.0;
    QTest::newRow("white on black, either order") << qRgb(255, 255, 255) << qRgb(0, 0, 0) << 21.0;
    QTest::newRow("equal") << qRgb(0x33, 0x66, 0x99) << qRgb(0x33, 0x66, 0x99) << 1.0;
    // The amber the warnings had, too faint for a line on white.
    QTest::newRow("old warning amber") << qRgb(0xE0, 0x80, 0) << qRgb(255, 255, 255) << 2.89;
    QTest::newRow("error red") << qRgb(0xDD, 0, 0) << qRgb(255, 255, 255) << 5.15;
    QTest::newRow("mid grey") << qRgb(0x80, 0x80, 0x80) << qRgb(255, 255, 255) << 3.95;
}

void tst_AccessibilityLogic::contrastRatio()
{
    QFETCH(QRgb, first);
    QFETCH(QRgb, second);
    QFETCH(double, ratio);
    QVERIFY2(qAbs(nvtarnix::editor::contrastRatio(first, second) - ratio) < 0.01,
             qPrintable(QString::number(nvtarnix::editor::contrastRatio(first, second))));
}

void tst_AccessibilityLogic::readableOn_data()
{
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<QRgb>("background");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<bool>("kept");
    QTest::newRow("dark blue on white is kept") << qRgb(0, 0, 0xBB) << qRgb(255, 255, 255) << kTextContrast << true;
    QTest::newRow("host's yellow on white darkens") << qRgb(255, 255, 0) << qRgb(255, 255, 255) << kTextContrast
                                                   << false;
    QTest::newRow("dark blue on a dark theme lightens") << qRgb(0, 0, 0xBB) << qRgb(0x20, 0x20, 0x20)
                                                        << kTextContrast << false;
    QTest::newRow("amber line on white") << qRgb(0xE0, 0x80, 0) << qRgb(255, 255, 255) << kLineContrast << false;
    QTest::newRow("grey on mid grey") << qRgb(0x90, 0x90, 0x90) << qRgb(0x77, 0x77, 0x77) << kTextContrast
                                      << false;
}

void tst_AccessibilityLogic::readableOn()
{
    QFETCH(QRgb, colour);
    QFETCH(QRgb, background);
    QFETCH(double, minimum);
    QFETCH(bool, kept);
    const QRgb result = nvtarnix::editor::readableOn(colour, background, minimum);
    QVERIFY2(nvtarnix::editor::contrastRatio(result, background) >= minimum,
             qPrintable(QColor::fromRgb(result).name()));
    QCOMPARE(result == colour, kept);
    // The least change that reaches the minimum, not a jump to black or white.
    if (!kept)
        QVERIFY2(nvtarnix::editor::contrastRatio(result, background) < minimum + 0.3,
                 qPrintable(QColor::fromRgb(result).name()));
}

void tst_AccessibilityLogic::readableKeepsTheHue()
{
    const QRgb yellow = nvtarnix::editor::readableOn(qRgb(255, 255, 0), qRgb(255, 255, 255), kTextContrast);
    QCOMPARE(qRed(yellow), qGreen(yellow));
    QCOMPARE(qBlue(yellow), 0);
}

void tst_AccessibilityLogic::paletteTextsStandOutWhateverTheTheme_data()
{
    QTest::addColumn<QColor>("highlight");
    QTest::addColumn<QColor>("highlightedText");
    QTest::newRow("light theme") << QColor(0x30, 0x8C, 0xC6) << QColor(Qt::white);
    QTest::newRow("pale selection with white text") << QColor(0xCC, 0xE8, 0xFF) << QColor(Qt::white);
    QTest::newRow("dark selection with black text") << QColor(0x20, 0x20, 0x50) << QColor(Qt::black);
}

void tst_AccessibilityLogic::paletteTextsStandOutWhateverTheTheme()
{
    QFETCH(QColor, highlight);
    QFETCH(QColor, highlightedText);
    QPalette theme(QColor(0x30, 0x30, 0x30), QColor(0x25, 0x25, 0x25));
    theme.setColor(QPalette::Highlight, highlight);
    theme.setColor(QPalette::HighlightedText, highlightedText);
    const QPalette box = scriptBoxPalette(theme);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QRgb base = box.color(group, QPalette::Base).rgb();
        for (const QPalette::ColorRole role : {QPalette::Text, QPalette::PlaceholderText})
            QVERIFY2(nvtarnix::editor::contrastRatio(box.color(group, role).rgb(), base) >= kTextContrast,
                     qPrintable(QStringLiteral("group %1 role %2").arg(group).arg(role)));
        QVERIFY(nvtarnix::editor::contrastRatio(box.color(group, QPalette::HighlightedText).rgb(),
                                                box.color(group, QPalette::Highlight).rgb())
                >= kTextContrast);
    }
    // The designed look stays: black on white.
    QCOMPARE(box.color(QPalette::Active, QPalette::Text), QColor(Qt::black));
    QCOMPARE(box.color(QPalette::Active, QPalette::Base), QColor(Qt::white));
}

void tst_AccessibilityLogic::underlinesDifferByMoreThanColour_data()
{
    QTest::addColumn<QRgb>("background");
    QTest::newRow("white") << qRgb(255, 255, 255);
    QTest::newRow("dark") << qRgb(0x1E, 0x1E, 0x1E);
    QTest::newRow("amber itself") << qRgb(0xB0, 0x60, 0);
}

void tst_AccessibilityLogic::underlinesDifferByMoreThanColour()
{
    QFETCH(QRgb, background);
    const UnderlineLook error = underlineLook(ScriptProblem::Syntax, background);
    const UnderlineLook warning = underlineLook(ScriptProblem::UnknownReference, background);
    QVERIFY(error.style != warning.style);
    QVERIFY(error.style != QTextCharFormat::NoUnderline && warning.style != QTextCharFormat::NoUnderline);
    QVERIFY(nvtarnix::editor::contrastRatio(error.colour, background) >= kLineContrast);
    QVERIFY(nvtarnix::editor::contrastRatio(warning.colour, background) >= kLineContrast);
}

void tst_AccessibilityLogic::nameFromCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("name");
    QTest::newRow("colon") << "Available Variables:" << "Available Variables";
    QTest::newRow("Greek with space before colon") << "Διαθέσιμες Συναρτήσεις :" << "Διαθέσιμες Συναρτήσεις";
    QTest::newRow("mnemonic") << "&Fields:" << "Fields";
    QTest::newRow("written ampersand") << "Sales && costs:" << "Sales & costs";
    QTest::newRow("no colon") << "Fields" << "Fields";
    QTest::newRow("colon inside kept") << "Time: now" << "Time: now";
}

void tst_AccessibilityLogic::nameFromCaption()
{
    QFETCH(QString, caption);
    QFETCH(QString, name);
    QCOMPARE(nvtarnix::editor::nameFromCaption(caption), name);
}

void tst_AccessibilityLogic::spokenText()
{
    QCOMPARE(nvtarnix::editor::spokenText(QStringLiteral("<qt><p>Left(a, n)</p><p>x &lt; y</p></qt>")),
             QStringLiteral("Left(a, n)\nx < y"));
    QCOMPARE(nvtarnix::editor::spokenText(QStringLiteral("plain a < b")), QStringLiteral("plain a < b"));
    QCOMPARE(labelledValue(QStringLiteral("Preview"), QString()), QStringLiteral("Preview"));
    QCOMPARE(labelledValue(QStringLiteral("Function arguments"), QStringLiteral("Left(<b>string</b>, length)")),
             QStringLiteral("Function arguments: Left(string, length)"));
}

void tst_AccessibilityLogic::shortAnnouncement()
{
    QCOMPARE(nvtarnix::editor::shortAnnouncement(QStringLiteral("  two\n lines ")), QStringLiteral("two lines"));
    const QString words = QStringLiteral("word ").repeated(60);
    const QString cut = nvtarnix::editor::shortAnnouncement(words);
    QVERIFY(cut.size() <= kLongestAnnouncement);
    QVERIFY(cut.endsWith(QStringLiteral("word\u2026")));
}

void tst_AccessibilityLogic::eachChangeIsSaidOnce()
{
    AnnouncementDecisions d;
    QCOMPARE(d.helpLine(QStringLiteral("Left: the first characters")), QStringLiteral("Left: the first characters"));
    QCOMPARE(d.helpLine(QStringLiteral("Left: the first characters")), std::nullopt);
    QCOMPARE(d.helpLine(QString()), std::nullopt);
    QVERIFY(d.helpLine(QStringLiteral("Mid")));

    // The preview at opening is noted, not said; a change after typing is.
    d.notePreview(QStringLiteral("Double: 3,5"));
    QCOMPARE(d.preview(QStringLiteral("Double: 3,5")), std::nullopt);
    QCOMPARE(d.preview(QStringLiteral("Double: 7")), QStringLiteral("Preview: Double: 7"));
    QCOMPARE(d.preview(QStringLiteral("Double: 7")), std::nullopt);

    QCOMPARE(d.insertion(QStringLiteral("[Customer.Name]")), QStringLiteral("Inserted [Customer.Name]"));
    QCOMPARE(d.insertion(QStringLiteral("  ")), std::nullopt);
    QCOMPARE(d.checkPassed(), QStringLiteral("The expression is correct."));
}

void tst_AccessibilityLogic::caretEnteringAProblem()
{
    AnnouncementDecisions d;
    QVector<ScriptProblem> problems{unknownAt(4, 5, QStringLiteral("[Total]"))};
    QCOMPARE(d.caretAt(problems, 0), std::nullopt);
    QCOMPARE(d.caretAt(problems, 4), QStringLiteral("Unknown variable; did you mean [Total]?"));
    // Moving inside it, or recompiling it where it is, says nothing again.
    QCOMPARE(d.caretAt(problems, 6), std::nullopt);
    problems[0].length = 6;
    QCOMPARE(d.caretAt(problems, 10), std::nullopt);
    // The caret just after a reference typed there is in it.
    QCOMPARE(d.caretAt(problems, 11), std::nullopt);
    QVERIFY(!problemAtCaret(problems, 11));
    // Leaving and coming back says it again.
    QVERIFY(d.caretAt(problems, 9));
    ScriptProblem syntax;
    syntax.kind = ScriptProblem::Syntax;
    syntax.start = 20;
    syntax.length = 1;
    syntax.message = QStringLiteral("Expected ')'");
    problems << syntax;
    QCOMPARE(d.caretAt(problems, 21), QStringLiteral("Expected ')'"));
}

void tst_AccessibilityLogic::textsInTheInterfaceLanguage()
{
    nvtarnix::setUserInterfaceLanguage(nvtarnix::GreekLanguage);
    nvtarnix::InitLanguage(0);
    AnnouncementDecisions d;
    QCOMPARE(d.checkPassed(), QStringLiteral("Η έκφραση είναι σωστή."));
    QCOMPARE(d.insertion(QStringLiteral("Len()")), QStringLiteral("Εισήχθη Len()"));
    QCOMPARE(controlName(ControlName::ScriptBox), QStringLiteral("Έκφραση"));
    nvtarnix::setUserInterfaceLanguage(nvtarnix::EnglishLanguage);
    nvtarnix::InitLanguage(0);
    QCOMPARE(controlName(ControlName::ScriptBox), QStringLiteral("Expression"));
    QCOMPARE(controlName(ControlName::Preview), QStringLiteral("Preview"));
}

NVTARNIX_TEST_CLASS(tst_AccessibilityLogic)
#include "tst_accessibilitylogic.moc"
