#include "vbscript/Token.h"

#include <QHash>

namespace vbscript {

namespace {

enum WordClass { Reserved, Soft };

struct KeywordInfo
{
    Tok kind;
    const char *spelling;
    WordClass wordClass;
};

constexpr KeywordInfo kKeywords[] = {
#define VBSCRIPT_KEYWORD_INFO(kind, spelling, wordClass) {Tok::kind, spelling, wordClass},
    VBSCRIPT_KEYWORDS(VBSCRIPT_KEYWORD_INFO)
#undef VBSCRIPT_KEYWORD_INFO
};

constexpr struct
{
    Tok kind;
    const char *spelling;
} kSymbols[] = {
#define VBSCRIPT_SYMBOL_INFO(kind, spelling) {Tok::kind, spelling},
    VBSCRIPT_SYMBOLS(VBSCRIPT_SYMBOL_INFO)
#undef VBSCRIPT_SYMBOL_INFO
};

constexpr Tok kFirstKeyword = kKeywords[0].kind;

const KeywordInfo *keywordInfo(Tok kind)
{
    const int i = int(kind) - int(kFirstKeyword);
    return i >= 0 && size_t(i) < std::size(kKeywords) ? &kKeywords[i] : nullptr;
}

const QHash<QString, Tok> &keywordsBySpelling()
{
    static const QHash<QString, Tok> table = [] {
        QHash<QString, Tok> t;
        for (const KeywordInfo &k : kKeywords)
            t.insert(QString::fromLatin1(k.spelling), k.kind);
        return t;
    }();
    return table;
}

} // namespace

Tok keywordKind(QStringView word)
{
    // No keyword is longer than "explicit" and "preserve"; most names are.
    if (word.size() > 8)
        return Tok::Identifier;
    return keywordsBySpelling().value(word.toString().toLower(), Tok::Identifier);
}

bool isKeyword(Tok kind)
{
    return keywordInfo(kind) != nullptr;
}

bool isReservedWord(Tok kind)
{
    const KeywordInfo *k = keywordInfo(kind);
    return k && k->wordClass == Reserved;
}

const char *spellingOf(Tok kind)
{
    if (const KeywordInfo *k = keywordInfo(kind))
        return k->spelling;
    for (const auto &s : kSymbols)
        if (s.kind == kind)
            return s.spelling;
    return "";
}

} // namespace vbscript
