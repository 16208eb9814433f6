#pragma once

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include "editor/ScriptColouring.h"

// What a user sees of the colouring: one letter per character, k black,
// b dark blue, r red; upper case when bold. "?" marks any other colour.
inline QChar formatCode(unsigned rgb, bool bold)
{
    char c = '?';
    if (rgb == 0x000000)
        c = 'k';
    else if (rgb == 0x0000BB)
        c = 'b';
    else if (rgb == 0xDD0000)
        c = 'r';
    return QChar::fromLatin1(bold ? char(QChar::fromLatin1(c).toUpper().toLatin1()) : c);
}

inline QString codesOfRuns(const QVector<nvtarnix::editor::ColourRun> &runs, qsizetype length)
{
    QString codes(length, QLatin1Char('k'));
    for (const auto &r : runs) {
        for (int i = r.start; i < r.start + r.length && i < length; ++i)
            codes[i] = formatCode(r.colour & 0xFFFFFF, r.bold);
    }
    return codes;
}

// Reads the formats the highlighter left in the document's layout, character
// by character; line separators are left out.
inline QString codesOfDocument(const QTextDocument *document)
{
    QString codes;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QString line(block.length() - 1, QLatin1Char('k'));
        for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
            const unsigned rgb = range.format.foreground().color().rgb() & 0xFFFFFF;
            const bool bold = range.format.fontWeight() >= QFont::Bold;
            for (int i = range.start; i < range.start + range.length && i < line.size(); ++i)
                line[i] = formatCode(rgb, bold);
        }
        codes += line;
    }
    return codes;
}
