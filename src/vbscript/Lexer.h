#pragma once

#include "vbscript/ScriptError.h"
#include "vbscript/Token.h"
#include "vbscript/WorkMeter.h"

#include <QStringList>
#include <vector>

namespace vbscript {

// Splits source text into tokens: comments and line continuations are
// dropped, words become keyword kinds or identifiers, literals carry their
// typed values. Throws compile errors (1002, 1007, 1030, 1031, 1032, 1033)
// with their position.
class Lexer
{
public:
    // Text longer than kMaxSource characters is refused at once with 1001
    // "Out of memory": reading it would take seconds and a gigabyte before
    // any other limit could stop it. `meter`, when given, counts the work
    // of reading (the run's time limit, for Eval and Execute).
    explicit Lexer(const QString &source, WorkMeter *meter = nullptr);
    static constexpr qsizetype kMaxSource = 1024 * 1024;
    std::vector<Token> tokenize();
    const QStringList &lines() const { return m_lines; }

private:
    [[noreturn]] void fail(err::Code code, int pos) const;
    int columnOf(int pos) const;
    int lineOf(int pos) const;
    QChar at(int pos) const { return pos < m_src.size() ? m_src.at(pos) : QChar(); }

    // Each scan* reads one token starting at m_pos and leaves m_pos after it.
    Token scanWord();
    Token scanBracketedName();
    Token scanNumber();
    Token scanRadixNumber();
    Token scanString();
    Token scanDate();
    Token scanSymbol();
    bool startsNumber() const;
    bool startsRadixNumber() const;
    bool skipLineContinuation();
    void push(Token t, int start);

    QString m_src;
    QStringList m_lines;
    std::vector<int> m_lineStarts;
    std::vector<Token> m_out;
    int m_pos = 0;
    bool m_spaceBefore = false;
    WorkMeter *m_meter = nullptr;
};

} // namespace vbscript
