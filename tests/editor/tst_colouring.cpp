#include "EditorTestSupport.h"
#include "editor/ScriptHighlighter.h"
#include "editor/WordList.h"

#include "TestMain.h"

#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

using namespace nvtarnix::editor;

namespace {

// Registers words the way the editor does: variables, then errors, then
// function words. Each entry is "v:word", "e:word" or "f:word".
WordList wordsFrom(const QStringList &entries)
{
    WordList words;
    words.InitWordColours();
    for (const QString &entry : entries) {
        const QString word = entry.mid(2);
        if (entry.startsWith(QLatin1String("v:")))
            words.AddWord(word, words.variableColour(), false);
        else if (entry.startsWith(QLatin1String("e:")))
            words.AddWord(word, words.errorColour(), false);
        else
            words.AddWord(word, words.functionColour(), true);
    }
    return words;
}

} // namespace

class tst_Colouring : public QObject
{
    Q_OBJECT
private slots:
    void addWord();
    void clearErrorWords();
    void colours_data();
    void colours();
    void positionLimits();
    void highlighterLeavesTextAlone();
};

void tst_Colouring::addWord()
{
    WordList words;
    words.InitWordColours();
    QCOMPARE(words.entries(), QStringList{QString()});
    words.AddWord(QStringLiteral("  [Customer.Name] "), words.variableColour(), false);
    words.AddWord(QStringLiteral("   "), words.errorColour(), false);
    words.AddWord(QStringLiteral("\tLen(string)"), words.functionColour(), true);
    words.AddWord(QStringLiteral("Wrong"), words.errorColour(), false);
    QCOMPARE(words.entries(), (QStringList{QString(), QStringLiteral("[Customer.Name]|&HBB0000&|0"),
                                           QStringLiteral("\tLen(string)|&H000000&|-1"),
                                           QStringLiteral("Wrong|&H0000DD&|0")}));
    words.reset();
    QCOMPARE(words.entries(), QStringList{QString()});
}

void tst_Colouring::clearErrorWords()
{
    WordList words = wordsFrom({"v:[A]", "e:Bad", "f:Len(x)", "e:Worse"});
    words.ClearErrorWords(true); // still loading: nothing happens
    QCOMPARE(words.entries().size(), 5);
    QVERIFY(!words.entries().at(2).isEmpty());
    QVERIFY(!words.errorWordsCleared());

    words.ClearErrorWords(false);
    QCOMPARE(words.entries(), (QStringList{QString(), "[A]|&HBB0000&|0", QString(), "Len(x)|&H000000&|-1", QString()}));
    QVERIFY(words.errorWordsCleared());

    // Once per opening: an error word registered afterwards stays.
    words.AddWord(QStringLiteral("Late"), words.errorColour(), false);
    words.ClearErrorWords(false);
    QCOMPARE(words.entries().last(), QStringLiteral("Late|&H0000DD&|0"));
}

void tst_Colouring::colours_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("variable, any letter case")
        << QStringList{"v:[Customer.Name]"} << QStringLiteral("[customer.NAME] & [Customer.Name]")
        << QStringLiteral("bbbbbbbbbbbbbbbkkkbbbbbbbbbbbbbbb");
    QTest::newRow("inside longer words and strings")
        << QStringList{"e:bad"} << QStringLiteral("\"xBADx\" abad")
        << QStringLiteral("kkrrrkkkkrrr");
    QTest::newRow("later entry wins, bold too")
        << QStringList{"v:[Customer.Name]", "f:Name"} << QStringLiteral("[Customer.Name]")
        << QStringLiteral("bbbbbbbbbbKKKKb");
    QTest::newRow("later variable unbolds a function word")
        << QStringList{"f:Len([x])", "v:[x]"} << QStringLiteral("Len([x])")
        << QStringLiteral("KKKKbbbK");
    QTest::newRow("adjacent occurrences") << QStringList{"e:ab"} << QStringLiteral("abab")
                                          << QStringLiteral("rrrr");
    QTest::newRow("no overlap within one word") << QStringList{"e:aa"} << QStringLiteral("aaa")
                                                << QStringLiteral("rrk");
    QTest::newRow("registered twice") << QStringList{"v:[A]", "v:[A]"} << QStringLiteral("[a]")
                                      << QStringLiteral("bbb");
    QTest::newRow("greek letter case") << QStringList{"v:[Όνομα]"} << QStringLiteral("[όνομα]")
                                       << QStringLiteral("bbbbbbb");
    QTest::newRow("empty text") << QStringList{"v:[A]"} << QString() << QString();
    // "a|&HBB0000&" breaks its entry: "a" is searched, the rest takes the
    // places of colour and bold ("&H0000DD&" reads as a true flag).
    QTest::newRow("bar in a word") << QStringList{"v:a|&H0000DD&"} << QStringLiteral("cat")
                                   << QStringLiteral("kRk");
    // A piece that is no colour ends the pass: earlier entries stay applied.
    QTest::newRow("broken entry ends the pass")
        << QStringList{"v:[A]", "e:x|y", "f:b"} << QStringLiteral("[A] x b")
        << QStringLiteral("bbbkkkk");
    // Numbers no colour can be are no colour either, however they are written.
    for (const char *number : {"1E+100", "-1E+100", "inf", "nan", "16777216"})
        QTest::addRow("colour %s ends the pass", number)
            << QStringList{"v:[A]", QStringLiteral("e:x|%1").arg(QLatin1String(number)), "f:b"}
            << QStringLiteral("[A] x b") << QStringLiteral("bbbkkkk");
    QTest::newRow("nested brackets") << QStringList{"v:[b]", "e:[a[b]"} << QStringLiteral("[a[b]] [B]")
                                     << QStringLiteral("rrrrrkkbbb");
    QTest::newRow("function words are black")
        << QStringList{"f:Mid(string, start, length)"} << QStringLiteral("mid(string, start, length)+1")
        << QStringLiteral("KKKKKKKKKKKKKKKKKKKKKKKKKKkk");
}

void tst_Colouring::colours()
{
    QFETCH(QStringList, words);
    QFETCH(QString, text);
    QFETCH(QString, expected);

    const ColouringResult result = ColourScript(wordsFrom(words), text, 0, 0);
    QVERIFY(result.applied);
    QCOMPARE(codesOfRuns(result.runs, text.size()), expected);
}

void tst_Colouring::positionLimits()
{
    QString text(33000, QLatin1Char('.'));
    text.replace(10, 2, QStringLiteral("zz"));
    text.replace(20, 2, QStringLiteral("yy"));
    text.replace(32766, 3, QStringLiteral("qqq")); // 1-based 32767: still fits
    text.replace(32800, 2, QStringLiteral("zz"));
    const WordList words = wordsFrom({"e:qqq", "e:zz", "e:yy"});

    ColouringResult result = ColourScript(words, text, 0, 0);
    QString codes = codesOfRuns(result.runs, text.size());
    // "qqq" is coloured, but its scan position runs past 32,767 and ends the pass.
    QCOMPARE(codes.mid(32766, 3), QStringLiteral("rrr"));
    QCOMPARE(codes.mid(10, 2), QStringLiteral("kk"));

    // Without "qqq", "zz" at 11 is coloured, the one beyond the limit ends the pass.
    result = ColourScript(wordsFrom({"e:zz", "e:yy"}), text, 0, 0);
    codes = codesOfRuns(result.runs, text.size());
    QCOMPARE(codes.mid(10, 2), QStringLiteral("rr"));
    QCOMPARE(codes.mid(32800, 2), QStringLiteral("kk"));
    QCOMPARE(codes.mid(20, 2), QStringLiteral("kk"));

    // A selection beyond the limit ends the pass before anything changes.
    QVERIFY(!ColourScript(words, text, 32768, 0).applied);
    QVERIFY(!ColourScript(words, text, 0, 32768).applied);
    QVERIFY(ColourScript(words, text, 32767, 0).applied);
}

void tst_Colouring::highlighterLeavesTextAlone()
{
    QPlainTextEdit edit;
    auto *highlighter = new ScriptHighlighter(edit.document());
    edit.setPlainText(QStringLiteral("Len([Name]) > 2\nand [Name]"));
    edit.moveCursor(QTextCursor::End);
    edit.insertPlainText(QStringLiteral(" "));
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(2);
    cursor.setPosition(6, QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);

    QSignalSpy textChanges(&edit, &QPlainTextEdit::textChanged);
    const int undoSteps = edit.document()->availableUndoSteps();
    const WordList words = wordsFrom({"v:[Name]", "f:Len("});
    highlighter->apply(ColourScript(words, edit.toPlainText(), 2, 4));

    QCOMPARE(textChanges.count(), 0);
    QCOMPARE(edit.document()->availableUndoSteps(), undoSteps);
    QCOMPARE(edit.textCursor().anchor(), 2);
    QCOMPARE(edit.textCursor().position(), 6);
    QCOMPARE(edit.toPlainText(), QStringLiteral("Len([Name]) > 2\nand [Name] "));
    QCOMPARE(codesOfDocument(edit.document()), QStringLiteral("KKKKbbbbbbkkkkkkkkkbbbbbbk"));

    // A pass that ends before its reset keeps the colours on their characters,
    // also when text was typed in front of them.
    cursor.setPosition(0);
    edit.setTextCursor(cursor);
    edit.insertPlainText(QStringLiteral("xy"));
    highlighter->apply(ColouringResult{});
    QCOMPARE(codesOfDocument(edit.document()), QStringLiteral("kkKKKKbbbbbbkkkkkkkkkbbbbbbk"));
}

NVTARNIX_TEST_CLASS(tst_Colouring)

#include "tst_colouring.moc"
