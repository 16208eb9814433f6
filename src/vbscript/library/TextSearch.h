#pragma once

// Finding one text inside another in time that grows with the texts'
// lengths and no faster than that, whatever they hold: a sought text that
// almost matches everywhere (InStr(String(8192, "a"), String(4096, "a") & "b"))
// costs no more than one that never does. The search counts its work on the
// run's meter, so the time limit stops a search through a long text.
//
// Short sought texts go to Qt's own search, a window at a time: its cost per
// character is bounded by the sought text's length, and it is the faster one
// for them. Longer ones go through a Knuth-Morris-Pratt automaton, which
// reads each character of the text once.

#include "vbscript/WorkMeter.h"

#include <QByteArrayView>
#include <QStringView>

#include <vector>

namespace vbscript::lib {

class TextSearch
{
public:
    enum class Direction { Forward, Backward };

    // vbTextCompare (Qt::CaseInsensitive) compares the texts' case-folded
    // characters, as QString::compare does.
    TextSearch(QStringView sought, Qt::CaseSensitivity cs, WorkMeter &meter,
               Direction direction = Direction::Forward);

    // The first occurrence that begins at or after `from`, or -1. Only for a
    // search made Forward.
    qsizetype indexIn(QStringView text, qsizetype from = 0) const;
    // The last occurrence that begins at or before `from`, or -1. Only for a
    // search made Backward.
    qsizetype lastIndexIn(QStringView text, qsizetype from) const;

    qsizetype size() const { return m_sought.size(); }

    // Sought texts this long or shorter go to Qt's search.
    static constexpr qsizetype kShortSought = 8;
    // How many characters Qt searches between two counts of the work.
    static constexpr qsizetype kWindow = 64 * 1024;

private:
    QStringView m_sought;
    Qt::CaseSensitivity m_cs;
    WorkMeter &m_meter;
    std::vector<char16_t> m_pattern;  // as compared (case-folded), reversed for Backward
    std::vector<qsizetype> m_fallback;  // the automaton's failure function
};

// The first occurrence of `sought` in `bytes` at or after `from`, or -1, in
// the same bounded time (InStrB).
qsizetype indexOfBytes(QByteArrayView bytes, QByteArrayView sought, qsizetype from, WorkMeter &meter);

} // namespace vbscript::lib
