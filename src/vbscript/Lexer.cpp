#include "vbscript/Lexer.h"

#include "vbscript/DecimalText.h"
#include "vbscript/OleDate.h"
#include "vbscript/ScriptError.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vbscript {

bool Token::is(const char *word) const
{
    return kind == Tok::Identifier && !bracketed && text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

namespace {
bool isIdentStart(QChar c) { return c.isLetter(); }
bool isIdentChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }
bool isLineEnd(QChar c) { return c == QLatin1Char('\n') || c == QLatin1Char('\r'); }
bool isSpace(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QChar(0xA0) || c == QChar(0xFEFF); }
} // namespace

Lexer::Lexer(const QString &source) : m_src(source)
{
    m_lineStarts.push_back(0);
    for (int i = 0; i < m_src.size(); ++i) {
        const QChar c = m_src.at(i);
        if (c == QLatin1Char('\r') && i + 1 < m_src.size() && m_src.at(i + 1) == QLatin1Char('\n'))
            continue;
        if (isLineEnd(c))
            m_lineStarts.push_back(i + 1);
    }
    for (size_t l = 0; l < m_lineStarts.size(); ++l) {
        const int s = m_lineStarts[l];
        int e = l + 1 < m_lineStarts.size() ? m_lineStarts[l + 1] : int(m_src.size());
        while (e > s && isLineEnd(m_src.at(e - 1)))
            --e;
        m_lines << m_src.mid(s, e - s);
    }
}

int Lexer::lineOf(int pos) const
{
    auto it = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), pos);
    return int(it - m_lineStarts.begin());
}

int Lexer::columnOf(int pos) const
{
    return pos - m_lineStarts[lineOf(pos) - 1];
}

void Lexer::fail(int number, int pos) const
{
    const int line = lineOf(pos);
    throw ScriptError::compile(number, line, columnOf(pos), m_lines.value(line - 1));
}

// &H and &O literals: up to 16 bits without a suffix are Integers (&HFFFF is
// -1), wider ones and those ending in & are 32-bit values, which are again
// Integers when they fit.
Token Lexer::radixNumber(int start, int &pos)
{
    int radix = 8;
    int i = pos + 1;
    if (i < m_src.size() && (m_src.at(i) == QLatin1Char('h') || m_src.at(i) == QLatin1Char('H'))) {
        radix = 16;
        ++i;
    } else if (i < m_src.size() && (m_src.at(i) == QLatin1Char('o') || m_src.at(i) == QLatin1Char('O'))) {
        ++i;
    }
    quint64 value = 0;
    int digits = 0;
    for (; i < m_src.size(); ++i) {
        const QChar c = m_src.at(i).toLower();
        int d = -1;
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            d = c.unicode() - '0';
        else if (radix == 16 && c >= QLatin1Char('a') && c <= QLatin1Char('f'))
            d = c.unicode() - 'a' + 10;
        if (d < 0 || d >= radix)
            break;
        value = value * radix + d;
        ++digits;
        if (value > 0xFFFFFFFFull)
            fail(1031, start);
    }
    if (!digits)
        fail(1031, start);
    bool longSuffix = false;
    if (i < m_src.size() && m_src.at(i) == QLatin1Char('&')) {
        longSuffix = true;
        ++i;
    }
    pos = i;
    Token t;
    t.kind = Tok::Number;
    if (!longSuffix && value <= 0xFFFF) {
        t.value = Variant(qint16(quint16(value)));
    } else {
        const qint32 v = qint32(quint32(value));
        t.value = (v >= -32768 && v <= 32767) ? Variant(qint16(v)) : Variant(v);
    }
    return t;
}

Token Lexer::number(int start, int &pos)
{
    int i = pos;
    bool isFloat = false;
    while (i < m_src.size() && m_src.at(i).isDigit())
        ++i;
    if (i < m_src.size() && m_src.at(i) == QLatin1Char('.')) {
        isFloat = true;
        ++i;
        while (i < m_src.size() && m_src.at(i).isDigit())
            ++i;
    }
    if (i < m_src.size() && (m_src.at(i) == QLatin1Char('e') || m_src.at(i) == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < m_src.size() && (m_src.at(j) == QLatin1Char('+') || m_src.at(j) == QLatin1Char('-')))
            ++j;
        if (j < m_src.size() && m_src.at(j).isDigit()) {
            isFloat = true;
            while (j < m_src.size() && m_src.at(j).isDigit())
                ++j;
            i = j;
        }
    }
    const QByteArray text = m_src.mid(pos, i - pos).toLatin1();
    pos = i;
    const double d = readDecimalText(text.constData());
    if (std::isinf(d))
        fail(1031, start);
    Token t;
    t.kind = Tok::Number;
    if (!isFloat && d <= 32767)
        t.value = Variant(qint16(d));
    else if (!isFloat && d <= 2147483647.0)
        t.value = Variant(qint32(d));
    else
        t.value = Variant(d);
    return t;
}

std::vector<Token> Lexer::tokenize()
{
    std::vector<Token> out;
    int pos = 0;
    const int n = int(m_src.size());
    bool space = false;
    auto push = [&](Token t, int start) {
        t.line = lineOf(start);
        t.column = columnOf(start);
        t.spaceBefore = space;
        space = false;
        out.push_back(std::move(t));
    };
    while (pos < n) {
        const QChar c = m_src.at(pos);
        const int start = pos;
        if (isSpace(c)) {
            ++pos;
            space = true;
            continue;
        }
        if (isLineEnd(c)) {
            if (c == QLatin1Char('\r') && pos + 1 < n && m_src.at(pos + 1) == QLatin1Char('\n'))
                ++pos;
            ++pos;
            Token t;
            t.kind = Tok::Newline;
            push(t, start);
            continue;
        }
        if (c == QLatin1Char('\'')) {
            while (pos < n && !isLineEnd(m_src.at(pos)))
                ++pos;
            continue;
        }
        if (c == QLatin1Char('_')) {
            // A line continuation: '_' then only blanks up to the line end.
            int j = pos + 1;
            while (j < n && isSpace(m_src.at(j)))
                ++j;
            if (j < n && isLineEnd(m_src.at(j))) {
                if (m_src.at(j) == QLatin1Char('\r') && j + 1 < n && m_src.at(j + 1) == QLatin1Char('\n'))
                    ++j;
                pos = j + 1;
                space = true;
                continue;
            }
            fail(1032, start);
        }
        if (isIdentStart(c)) {
            int j = pos + 1;
            while (j < n && isIdentChar(m_src.at(j)))
                ++j;
            if (j - pos > 255)
                fail(1030, start);
            const QString word = m_src.mid(pos, j - pos);
            if (word.compare(QLatin1String("rem"), Qt::CaseInsensitive) == 0
                && (j >= n || !isIdentChar(m_src.at(j)))) {
                while (j < n && !isLineEnd(m_src.at(j)))
                    ++j;
                pos = j;
                continue;
            }
            pos = j;
            Token t;
            t.kind = Tok::Identifier;
            t.text = word;
            push(t, start);
            continue;
        }
        if (c == QLatin1Char('[')) {
            int j = pos + 1;
            while (j < n && m_src.at(j) != QLatin1Char(']') && !isLineEnd(m_src.at(j)))
                ++j;
            if (j >= n || m_src.at(j) != QLatin1Char(']'))
                fail(1007, j);
            Token t;
            t.kind = Tok::Identifier;
            t.text = m_src.mid(pos + 1, j - pos - 1);
            t.bracketed = true;
            pos = j + 1;
            push(t, start);
            continue;
        }
        if (c.isDigit() || (c == QLatin1Char('.') && pos + 1 < n && m_src.at(pos + 1).isDigit()
                            && !(out.size() && !space && out.back().kind == Tok::Identifier))) {
            Token t = number(start, pos);
            push(t, start);
            continue;
        }
        if (c == QLatin1Char('&') && pos + 1 < n
            && (m_src.at(pos + 1) == QLatin1Char('h') || m_src.at(pos + 1) == QLatin1Char('H')
                || m_src.at(pos + 1) == QLatin1Char('o') || m_src.at(pos + 1) == QLatin1Char('O')
                || m_src.at(pos + 1).isDigit())) {
            Token t = radixNumber(start, pos);
            push(t, start);
            continue;
        }
        if (c == QLatin1Char('"')) {
            QString s;
            int j = pos + 1;
            for (;;) {
                if (j >= n || isLineEnd(m_src.at(j)))
                    fail(1033, j);
                if (m_src.at(j) == QLatin1Char('"')) {
                    if (j + 1 < n && m_src.at(j + 1) == QLatin1Char('"')) {
                        s += QLatin1Char('"');
                        j += 2;
                        continue;
                    }
                    break;
                }
                s += m_src.at(j);
                ++j;
            }
            pos = j + 1;
            Token t;
            t.kind = Tok::String;
            t.value = Variant(s);
            push(t, start);
            continue;
        }
        if (c == QLatin1Char('#')) {
            int j = pos + 1;
            while (j < n && m_src.at(j) != QLatin1Char('#') && !isLineEnd(m_src.at(j)))
                ++j;
            if (j >= n || m_src.at(j) != QLatin1Char('#'))
                fail(1002, start);
            const auto d = OleDate::parseLiteral(m_src.mid(pos + 1, j - pos - 1));
            if (!d)
                fail(1002, start);
            pos = j + 1;
            Token t;
            t.kind = Tok::Date;
            t.value = Variant::date(*d);
            push(t, start);
            continue;
        }
        Token t;
        ++pos;
        switch (c.unicode()) {
        case '(': t.kind = Tok::LParen; break;
        case ')': t.kind = Tok::RParen; break;
        case ',': t.kind = Tok::Comma; break;
        case '.': t.kind = Tok::Dot; break;
        case ':': t.kind = Tok::Colon; break;
        case '+': case '-': case '*': case '/': case '\\': case '^': case '&':
            t.kind = Tok::Op;
            t.text = QString(c);
            break;
        case '=':
            t.kind = Tok::Op;
            t.text = QStringLiteral("=");
            if (pos < n && m_src.at(pos) == QLatin1Char('<')) {
                t.text = QStringLiteral("<=");
                ++pos;
            } else if (pos < n && m_src.at(pos) == QLatin1Char('>')) {
                t.text = QStringLiteral(">=");
                ++pos;
            }
            break;
        case '<':
            t.kind = Tok::Op;
            t.text = QStringLiteral("<");
            if (pos < n && (m_src.at(pos) == QLatin1Char('=') || m_src.at(pos) == QLatin1Char('>'))) {
                t.text += m_src.at(pos);
                ++pos;
            }
            break;
        case '>':
            t.kind = Tok::Op;
            t.text = QStringLiteral(">");
            if (pos < n && m_src.at(pos) == QLatin1Char('=')) {
                t.text = QStringLiteral(">=");
                ++pos;
            }
            break;
        default:
            fail(1032, start);
        }
        push(t, start);
    }
    Token eof;
    eof.kind = Tok::Eof;
    push(eof, n);
    return out;
}

} // namespace vbscript
