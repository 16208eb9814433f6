#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

// What the completion list offers at the caret, without a window: after "["
// the view's variables, after three letters that start a word the catalog's
// functions and the operator words; never inside a string literal or a
// comment.

namespace nvtarnix::editor {

struct CompletionRequest
{
    enum Kind { None, Variable, Function };
    Kind kind = None;
    // The text an accepted entry replaces: from the "[" (or the word's first
    // letter) to the caret, or to the reference's closing bracket.
    qsizetype start = 0;
    qsizetype end = 0;
    // What the user typed so far, without the "[".
    QString typed;
};

// Letters a word must have before the functions are offered.
inline constexpr int kFunctionCompletionLetters = 3;

// minimumLetters is the letters a word needs before functions are offered;
// 0 when the user asked for completion (Ctrl+Space), even on no word at all.
CompletionRequest completionAt(QStringView text, qsizetype caret,
                               int minimumLetters = kFunctionCompletionLetters);

// The words of the language's operators, which completion offers after the
// functions: "And", "Or", "Not", "Xor", "Mod".
QStringList operatorWords();

// Entries searched by a folded text each: those whose text holds the folded
// query at a word's start come first, then those that hold it inside a word,
// each in the entries' own order. A query with a dot ("cust.na") matches the
// part before it in the group and the part after it in the caption.
class CompletionMatcher
{
public:
    CompletionMatcher() = default;
    // searchTexts[i] is what entry i is matched by: "group.caption" for a
    // variable, the name for a function.
    explicit CompletionMatcher(const QStringList &searchTexts);

    // Indexes of the matching entries, at most limit of them.
    QVector<int> matches(const QString &query, int limit) const;
    qsizetype size() const { return m_folded.size(); }

private:
    QStringList m_folded;
};

} // namespace nvtarnix::editor
