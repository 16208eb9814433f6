#include "vbscript/Lexer.h"

#include "vbscript/NumberText.h"
#include "vbscript/OleDate.h"
#include "vbscript/ScriptError.h"

#include <algorithm>
#include <cmath>

namespace vbscript {

namespace {
bool isIdentStart(QChar c) { return c.isLetter(); }
bool isIdentChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }
bool isLineEnd(QChar c) { return c == QLatin1Char('\n') || c == QLatin1Char('\r'); }
bool isSpace(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QChar(0xA0) || c == QChar(0xFEFF); }
bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
} // namespace

Lexer::Lexer(const QString &source, WorkMeter *meter) : m_src(source), m_meter(meter)
{
    if (source.size() > kMaxSource)
        throw ScriptError::compile(err::CompilerOutOfMemory, 1, 1, QString());
    m_lineStarts.push_back(0);
    for (int i = 0; i < m_src.size(); ++i) {
        const QChar c = m_src.at(i);
        if (c == QLatin1Char('\r') && at(i + 1) == QLatin1Char('\n'))
            continue;  // CR LF ends one line
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

void Lexer::fail(err::Code code, int pos) const
{
    const int line = lineOf(pos);
    throw ScriptError::compile(code, line, columnOf(pos), m_lines.value(line - 1));
}

void Lexer::push(Token t, int start)
{
    t.line = lineOf(start);
    t.column = columnOf(start);
    t.spaceBefore = m_spaceBefore;
    m_spaceBefore = false;
    m_out.push_back(std::move(t));
    if (m_meter)
        m_meter->spend(WorkMeter::kStep + (m_pos - start) * WorkMeter::kCharacter);
}

std::vector<Token> Lexer::tokenize()
{
    m_out.clear();
    m_pos = 0;
    m_spaceBefore = false;
    const int n = int(m_src.size());
    while (m_pos < n) {
        const QChar c = m_src.at(m_pos);
        const int start = m_pos;
        if (isSpace(c)) {
            ++m_pos;
            m_spaceBefore = true;
        } else if (isLineEnd(c)) {
            m_pos += (c == QLatin1Char('\r') && at(m_pos + 1) == QLatin1Char('\n')) ? 2 : 1;
            Token t;
            t.kind = Tok::Newline;
            push(t, start);
        } else if (c == QLatin1Char('\'')) {
            while (m_pos < n && !isLineEnd(m_src.at(m_pos)))
                ++m_pos;
        } else if (c == QLatin1Char('_')) {
            if (!skipLineContinuation())
                fail(err::InvalidCharacter, start);
        } else if (isIdentStart(c)) {
            Token t = scanWord();
            if (t.kind != Tok::Newline)  // Rem: a comment to the end of the line
                push(std::move(t), start);
        } else if (c == QLatin1Char('[')) {
            push(scanBracketedName(), start);
        } else if (startsNumber()) {
            push(scanNumber(), start);
        } else if (startsRadixNumber()) {
            push(scanRadixNumber(), start);
        } else if (c == QLatin1Char('"')) {
            push(scanString(), start);
        } else if (c == QLatin1Char('#')) {
            push(scanDate(), start);
        } else {
            push(scanSymbol(), start);
        }
    }
    Token eof;
    eof.kind = Tok::Eof;
    push(eof, n);
    return std::move(m_out);
}

// A '_' continues the line when nothing but blanks follows it on its line;
// the next line then reads as if it stood after a blank.
bool Lexer::skipLineContinuation()
{
    int j = m_pos + 1;
    while (j < m_src.size() && isSpace(m_src.at(j)))
        ++j;
    if (j >= m_src.size() || !isLineEnd(m_src.at(j)))
        return false;
    if (m_src.at(j) == QLatin1Char('\r') && at(j + 1) == QLatin1Char('\n'))
        ++j;
    m_pos = j + 1;
    m_spaceBefore = true;
    return true;
}

// A word: a keyword kind, or an identifier. "Rem" starts a comment, which is
// skipped here and answered with a Newline kind that is not pushed.
Token Lexer::scanWord()
{
    const int start = m_pos;
    int j = m_pos + 1;
    while (j < m_src.size() && isIdentChar(m_src.at(j)))
        ++j;
    if (j - start > 255)
        fail(err::IdentifierTooLong, start);
    const QStringView word = QStringView(m_src).mid(start, j - start);
    m_pos = j;
    Token t;
    if (word.compare(QLatin1String("rem"), Qt::CaseInsensitive) == 0) {
        while (m_pos < m_src.size() && !isLineEnd(m_src.at(m_pos)))
            ++m_pos;
        t.kind = Tok::Newline;
        return t;
    }
    t.kind = keywordKind(word);
    t.text = word.toString();
    return t;
}

// [any text]: a name that may hold blanks and punctuation and is never a
// keyword; it ends on its own line.
Token Lexer::scanBracketedName()
{
    int j = m_pos + 1;
    while (j < m_src.size() && m_src.at(j) != QLatin1Char(']') && !isLineEnd(m_src.at(j)))
        ++j;
    if (at(j) != QLatin1Char(']'))
        fail(err::ExpectedCloseBracket, j);
    Token t;
    t.kind = Tok::Identifier;
    t.text = m_src.mid(m_pos + 1, j - m_pos - 1);
    m_pos = j + 1;
    return t;
}

// A digit, or a '.' before one: ".5" is a number, but in "a.5" the dot
// follows a word it belongs to.
bool Lexer::startsNumber() const
{
    const QChar c = m_src.at(m_pos);
    if (isDigit(c))
        return true;
    return c == QLatin1Char('.') && isDigit(at(m_pos + 1))
        && !(!m_out.empty() && !m_spaceBefore && m_out.back().isWord());
}

// '&' starts a number before H, O or a digit (octal without the O);
// anywhere else it is the concatenation operator.
bool Lexer::startsRadixNumber() const
{
    if (m_src.at(m_pos) != QLatin1Char('&'))
        return false;
    const QChar c = at(m_pos + 1).toLower();
    return c == QLatin1Char('h') || c == QLatin1Char('o') || isDigit(c);
}

// Digits, an optional fraction and an optional exponent. A whole number is an
// Integer up to 32767, a Long up to 2147483647 and a Double beyond; anything
// with a fraction or an exponent is a Double.
Token Lexer::scanNumber()
{
    const int start = m_pos;
    int i = m_pos;
    bool isFloat = false;
    while (isDigit(at(i)))
        ++i;
    if (at(i) == QLatin1Char('.')) {
        isFloat = true;
        ++i;
        while (isDigit(at(i)))
            ++i;
    }
    if (at(i) == QLatin1Char('e') || at(i) == QLatin1Char('E')) {
        // The exponent marker belongs to the number: without digits after
        // it (1e, 1e+) the literal is malformed.
        int j = i + 1;
        if (at(j) == QLatin1Char('+') || at(j) == QLatin1Char('-'))
            ++j;
        if (!isDigit(at(j)))
            fail(err::SyntaxError, start);
        isFloat = true;
        while (isDigit(at(j)))
            ++j;
        i = j;
    }
    const QByteArray text = m_src.mid(start, i - start).toLatin1();
    m_pos = i;
    const double d = readDecimal(text.constData());
    if (std::isinf(d))
        fail(err::InvalidNumber, start);
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

// &H and &O literals (and & with octal digits): up to 16 bits without a
// suffix are Integers (&HFFFF is -1), wider ones and those ending in & are
// 32-bit values, which are again Integers when they fit.
Token Lexer::scanRadixNumber()
{
    const int start = m_pos;
    int radix = 8;
    int i = m_pos + 1;
    const QChar prefix = at(i).toLower();
    if (prefix == QLatin1Char('h')) {
        radix = 16;
        ++i;
    } else if (prefix == QLatin1Char('o')) {
        ++i;
    }
    quint64 value = 0;
    int digits = 0;
    for (;; ++i) {
        const int d = digitValue(at(i), radix);
        if (d < 0)
            break;
        value = value * radix + d;
        ++digits;
        if (value > 0xFFFFFFFFull)
            fail(err::InvalidNumber, start);
    }
    // "&H" or "&O" without a digit of the radix is no number at all.
    if (!digits)
        fail(err::SyntaxError, start);
    bool longSuffix = false;
    if (at(i) == QLatin1Char('&')) {
        longSuffix = true;
        ++i;
    }
    m_pos = i;
    Token t;
    t.kind = Tok::Number;
    t.value = radixLiteral(value, longSuffix);
    return t;
}

// "text" with "" for a quote; it must end on its own line.
Token Lexer::scanString()
{
    QString s;
    int j = m_pos + 1;
    for (;;) {
        if (j >= m_src.size() || isLineEnd(m_src.at(j)))
            fail(err::UnterminatedString, j);
        if (m_src.at(j) == QLatin1Char('"')) {
            if (at(j + 1) != QLatin1Char('"'))
                break;
            ++j;
        }
        s += m_src.at(j);
        ++j;
    }
    m_pos = j + 1;
    Token t;
    t.kind = Tok::String;
    t.value = Variant(s);
    return t;
}

// #date and time#, read in the forms OleDate::parseLiteral accepts.
Token Lexer::scanDate()
{
    const int start = m_pos;
    int j = m_pos + 1;
    while (j < m_src.size() && m_src.at(j) != QLatin1Char('#') && !isLineEnd(m_src.at(j)))
        ++j;
    if (at(j) != QLatin1Char('#'))
        fail(err::SyntaxError, start);
    const auto d = OleDate::parseLiteral(m_src.mid(start + 1, j - start - 1));
    if (!d)
        fail(err::SyntaxError, start);
    m_pos = j + 1;
    Token t;
    t.kind = Tok::Date;
    t.value = Variant::date(*d);
    return t;
}

// Operators and punctuation, the two-character comparisons included.
Token Lexer::scanSymbol()
{
    const int start = m_pos;
    const QChar c = m_src.at(m_pos);
    const QChar after = at(m_pos + 1);
    ++m_pos;
    Token t;
    auto twoCharacters = [&](char second, Tok kind) {
        if (after != QLatin1Char(second))
            return false;
        ++m_pos;
        t.kind = kind;
        return true;
    };
    switch (c.unicode()) {
    case '(': t.kind = Tok::LParen; break;
    case ')': t.kind = Tok::RParen; break;
    case ',': t.kind = Tok::Comma; break;
    case '.': t.kind = Tok::Dot; break;
    case ':': t.kind = Tok::Colon; break;
    case '+': t.kind = Tok::Plus; break;
    case '-': t.kind = Tok::Minus; break;
    case '*': t.kind = Tok::Times; break;
    case '/': t.kind = Tok::Divide; break;
    case '\\': t.kind = Tok::IntDivide; break;
    case '^': t.kind = Tok::Power; break;
    case '&': t.kind = Tok::Concat; break;
    // The Windows parser also reads "=<", "=>" and "><" for "<=", ">=" and "<>".
    case '=':
        if (!twoCharacters('<', Tok::LessEqual) && !twoCharacters('>', Tok::GreaterEqual))
            t.kind = Tok::Equal;
        break;
    case '<':
        if (!twoCharacters('=', Tok::LessEqual) && !twoCharacters('>', Tok::NotEqual))
            t.kind = Tok::Less;
        break;
    case '>':
        if (!twoCharacters('=', Tok::GreaterEqual) && !twoCharacters('<', Tok::NotEqual))
            t.kind = Tok::Greater;
        break;
    default: fail(err::InvalidCharacter, start);
    }
    return t;
}

} // namespace vbscript
