#pragma once

// The tokens the lexer hands the parser. Every word and operator the grammar
// names has a kind of its own, listed once below.

#include "vbscript/Variant.h"

#include <QString>

namespace vbscript {

// The language's words: X(Kind, spelling, class). A Reserved word names
// nothing but itself; a Soft one is a keyword only where the grammar asks for
// it (Step after a For, Get after Property) and a name anywhere else.
#define VBSCRIPT_KEYWORDS(X)                 \
    X(And, "and", Reserved)                  \
    X(ByRef, "byref", Reserved)              \
    X(ByVal, "byval", Reserved)              \
    X(Call, "call", Reserved)                \
    X(Case, "case", Reserved)                \
    X(Class, "class", Reserved)              \
    X(Const, "const", Reserved)              \
    X(Dim, "dim", Reserved)                  \
    X(Do, "do", Reserved)                    \
    X(Each, "each", Reserved)                \
    X(Else, "else", Reserved)                \
    X(ElseIf, "elseif", Reserved)            \
    X(Empty, "empty", Reserved)              \
    X(End, "end", Reserved)                  \
    X(Eqv, "eqv", Reserved)                  \
    X(Erase, "erase", Reserved)              \
    X(Exit, "exit", Reserved)                \
    X(False, "false", Reserved)              \
    X(For, "for", Reserved)                  \
    X(Function, "function", Reserved)        \
    X(GoTo, "goto", Reserved)                \
    X(If, "if", Reserved)                    \
    X(Imp, "imp", Reserved)                  \
    X(In, "in", Reserved)                    \
    X(Is, "is", Reserved)                    \
    X(Loop, "loop", Reserved)                \
    X(Me, "me", Reserved)                    \
    X(Mod, "mod", Reserved)                  \
    X(New, "new", Reserved)                  \
    X(Next, "next", Reserved)                \
    X(Not, "not", Reserved)                  \
    X(Nothing, "nothing", Reserved)          \
    X(Null, "null", Reserved)                \
    X(On, "on", Reserved)                    \
    X(Option, "option", Reserved)            \
    X(Or, "or", Reserved)                    \
    X(Preserve, "preserve", Reserved)        \
    X(Private, "private", Reserved)          \
    X(Public, "public", Reserved)            \
    X(ReDim, "redim", Reserved)              \
    X(Resume, "resume", Reserved)            \
    X(Select, "select", Reserved)            \
    X(Set, "set", Reserved)                  \
    X(Stop, "stop", Reserved)                \
    X(Sub, "sub", Reserved)                  \
    X(Then, "then", Reserved)                \
    X(To, "to", Reserved)                    \
    X(True, "true", Reserved)                \
    X(Until, "until", Reserved)              \
    X(Wend, "wend", Reserved)                \
    X(While, "while", Reserved)              \
    X(With, "with", Reserved)                \
    X(Xor, "xor", Reserved)                  \
    X(Default, "default", Soft)              \
    X(Error, "error", Soft)                  \
    X(Explicit, "explicit", Soft)            \
    X(Get, "get", Soft)                      \
    X(Let, "let", Soft)                      \
    X(Property, "property", Soft)            \
    X(Step, "step", Soft)

// Operators and punctuation: X(Kind, spelling). "=<", "=>" and "><" are
// other spellings of "<=", ">=" and "<>" that the lexer reads as those.
#define VBSCRIPT_SYMBOLS(X)  \
    X(Plus, "+")             \
    X(Minus, "-")            \
    X(Times, "*")            \
    X(Divide, "/")           \
    X(IntDivide, "\\")       \
    X(Power, "^")            \
    X(Concat, "&")           \
    X(Equal, "=")            \
    X(NotEqual, "<>")        \
    X(Less, "<")             \
    X(Greater, ">")          \
    X(LessEqual, "<=")       \
    X(GreaterEqual, ">=")    \
    X(LParen, "(")           \
    X(RParen, ")")           \
    X(Comma, ",")            \
    X(Dot, ".")              \
    X(Colon, ":")

enum class Tok : quint8 {
    Identifier,  // a name; [bracketed] names too, whatever they spell
    Number,      // integer, floating and &H/&O literals, typed by magnitude
    String,
    Date,
    Newline,
    Eof,
#define VBSCRIPT_SYMBOL_KIND(kind, spelling) kind,
    VBSCRIPT_SYMBOLS(VBSCRIPT_SYMBOL_KIND)
#undef VBSCRIPT_SYMBOL_KIND
#define VBSCRIPT_KEYWORD_KIND(kind, spelling, wordClass) kind,
    VBSCRIPT_KEYWORDS(VBSCRIPT_KEYWORD_KIND)
#undef VBSCRIPT_KEYWORD_KIND
};

// The keyword kind a word spells (case-insensitively), or Tok::Identifier.
Tok keywordKind(QStringView word);
// Whether `kind` is a word of the language, reserved or soft.
bool isKeyword(Tok kind);
bool isReservedWord(Tok kind);
// The spelling of a keyword or symbol kind, lower case for words.
const char *spellingOf(Tok kind);

struct Token
{
    Tok kind = Tok::Eof;
    QString text;     // a name (brackets removed) or a keyword as written
    Variant value;    // literal value
    int line = 1;     // 1-based
    int column = 0;   // 0-based in its line
    bool spaceBefore = false;

    bool is(Tok k) const { return kind == k; }
    // A name of a variable, procedure or class: an identifier, or a soft
    // keyword where the grammar does not ask for it.
    bool isName() const { return kind == Tok::Identifier || (isKeyword(kind) && !isReservedWord(kind)); }
    // Anything spelled as a word: the name of a member after a dot may be
    // any of them (o.End, o.Step).
    bool isWord() const { return kind == Tok::Identifier || isKeyword(kind); }
    bool endsStatement() const { return kind == Tok::Newline || kind == Tok::Colon || kind == Tok::Eof; }
};

} // namespace vbscript
