#pragma once

#include <QString>
#include <QStringView>

#include <functional>
#include <optional>
#include <utility>

// The function call the caret is in, for the argument hint, and the partner
// of a parenthesis, for its highlight. Parentheses, commas and brackets inside
// string literals, references and comments are text, not code.

namespace nvtarnix::editor {

struct CallAtCaret
{
    QString function;   // as written
    int argument = 0;   // 0-based
};

// The innermost call around the caret whose name isFunction accepts; its
// arguments are counted by the commas at its own nesting level before the
// caret. Parentheses that follow no accepted name (grouping, an unknown
// function) are looked through.
std::optional<CallAtCaret> callAtCaret(QStringView text, qsizetype caret,
                                       const std::function<bool(const QString &)> &isFunction);

// The declaration as rich text with the argument at index in bold; a
// declaration without a parameter list, or an index past its last argument,
// is shown without bold. The argument's meaning, when given, follows on a
// line of its own. Everything is escaped for rich text.
QString hintHtml(const QString &declaration, int argument, const QString &meaning = {});

// With the caret next to a parenthesis (the one after it first, else the one
// before it): the positions of that parenthesis and its partner, when it has one.
std::optional<std::pair<qsizetype, qsizetype>> parenthesisPair(QStringView text, qsizetype caret);

} // namespace nvtarnix::editor
