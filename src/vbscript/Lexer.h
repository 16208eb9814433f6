#pragma once

#include "vbscript/Variant.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace vbscript {

enum class Tok : quint8 {
    Identifier,   // names and keywords alike; the parser tells them apart
    Number,       // integer, floating and &H/&O literals, typed by magnitude
    String,
    Date,
    Op,           // one of the operator spellings in `text`
    LParen, RParen, Comma, Dot, Colon, Newline, Eof,
};

struct Token
{
    Tok kind = Tok::Eof;
    QString text;     // identifier (brackets removed) or operator spelling
    Variant value;    // literal value
    int line = 1;     // 1-based
    int column = 0;   // 0-based in its line
    bool spaceBefore = false;
    bool bracketed = false;  // [name]: never a keyword

    bool is(const char *word) const;  // identifier equal to `word`, ignoring case
    bool isOp(const char *op) const { return kind == Tok::Op && text == QLatin1String(op); }
};

// Splits source text into tokens: comments and line continuations are
// dropped, literals carry their typed values. Throws compile errors (1002,
// 1030, 1031, 1032, 1033) with their position.
class Lexer
{
public:
    explicit Lexer(const QString &source);
    std::vector<Token> tokenize();
    const QStringList &lines() const { return m_lines; }

private:
    [[noreturn]] void fail(int number, int pos) const;
    int columnOf(int pos) const;
    int lineOf(int pos) const;
    Token number(int start, int &pos);
    Token radixNumber(int start, int &pos);

    QString m_src;
    QStringList m_lines;
    std::vector<int> m_lineStarts;
};

} // namespace vbscript
