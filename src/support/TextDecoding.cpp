#include "support/TextDecoding.h"

#include <QStringDecoder>

namespace nvtarnix {

namespace {

struct Mark
{
    const char *bytes;
    const char *encoding;
};

// UTF-32 marks are not looked for: no file this system reads is UTF-32, and
// "\xFF\xFE\0\0" would otherwise hide a UTF-16 file starting with a NUL.
const Mark Marks[] = {
    {"\xEF\xBB\xBF", "UTF-8"},
    {"\xFF\xFE", "UTF-16LE"},
    {"\xFE\xFF", "UTF-16BE"},
};


// The same for UTF-16 of either byte order: a lone surrogate or an odd byte
// at the end.
qsizetype firstInvalidUtf16(QByteArrayView bytes, bool bigEndian)
{
    const auto *b = reinterpret_cast<const uchar *>(bytes.data());
    const auto unit = [&](qsizetype i) {
        return bigEndian ? char16_t(b[i] << 8 | b[i + 1]) : char16_t(b[i + 1] << 8 | b[i]);
    };
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i + 1 < n; i += 2) {
        const char16_t u = unit(i);
        if (QChar::isLowSurrogate(u))
            return i;
        if (QChar::isHighSurrogate(u)) {
            if (i + 3 >= n || !QChar::isLowSurrogate(unit(i + 2)))
                return i;
            i += 2;
        }
    }
    return n % 2 ? n - 1 : -1;
}

// For any other encoding the decoder itself tells, though not where: the
// shortest prefix it refuses ends at the first byte it cannot read.
qsizetype firstUndecodableByte(QByteArrayView bytes, const QByteArray &encoding)
{
    const auto refuses = [&](qsizetype length) {
        QStringDecoder decoder(encoding.constData(), QStringConverter::Flag::Stateless);
        // The decoder's result is lazy: only making the text decodes.
        const QString text = decoder(bytes.first(length));
        return decoder.hasError();
    };
    qsizetype clean = 0, refused = bytes.size();
    while (refused - clean > 1) {
        const qsizetype middle = clean + (refused - clean) / 2;
        (refuses(middle) ? refused : clean) = middle;
    }
    return clean;
}

// Bytes a Windows code page leaves without a character. The decoder under Qt
// reads some of them all the same (windows-1253's 0xAA as U+00AA, the empty
// places among 0x80-0x9F as control characters), and a byte read as
// something it is not could change what a script does.
struct CodePageGaps
{
    const char *names[2];
    QByteArrayView bytes;
};

const CodePageGaps Gaps[] = {
    {{"windows-1253", "cp1253"},
     "\x81\x88\x8A\x8C\x8D\x8E\x8F\x90\x98\x9A\x9C\x9D\x9E\x9F\xAA\xD2\xFF"},
    {{"windows-1252", "cp1252"}, "\x81\x8D\x8F\x90\x9D"},
};

qsizetype firstByteWithoutCharacter(QByteArrayView bytes, const QByteArray &encoding)
{
    for (const CodePageGaps &gaps : Gaps) {
        if (qstricmp(encoding.constData(), gaps.names[0]) != 0 && qstricmp(encoding.constData(), gaps.names[1]) != 0)
            continue;
        bool undefined[256] = {};
        for (const char b : gaps.bytes)
            undefined[uchar(b)] = true;
        for (qsizetype i = 0; i < bytes.size(); ++i)
            if (undefined[uchar(bytes[i])])
                return i;
    }
    return -1;
}

// Where the byte at `offset` lies: its line, and its column in characters.
void locate(DecodedText &result, QByteArrayView bytes, qsizetype offset, const QByteArray &encoding)
{
    QStringDecoder decoder(encoding.constData());
    const QString before = decoder(bytes.first(offset));
    // Lines end as the script engine ends them: CR LF, LF, or CR alone.
    qsizetype line = 1, lineStart = 0;
    for (qsizetype i = 0; i < before.size(); ++i) {
        const QChar c = before[i];
        if (c == QLatin1Char('\r') && i + 1 < before.size() && before[i + 1] == QLatin1Char('\n'))
            ++i;
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            ++line;
            lineStart = i + 1;
        }
    }
    result.line = line;
    result.column = before.size() - lineStart + 1;
}

} // namespace

qsizetype firstInvalidUtf8(QByteArrayView bytes)
{
    const auto *b = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const uchar lead = b[i];
        int follow = 0;
        uchar low = 0x80, high = 0xBF;  // the range of the first continuation byte
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            follow = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            follow = 2;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            follow = 3;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return i;
        }
        if (i + follow >= n || b[i + 1] < low || b[i + 1] > high)
            return i;
        for (int k = 2; k <= follow; ++k)
            if (b[i + k] < 0x80 || b[i + k] > 0xBF)
                return i;
        i += follow + 1;
    }
    return -1;
}

QString byteOrderMarkEncoding(const QByteArray &bytes)
{
    for (const Mark &mark : Marks)
        if (bytes.startsWith(mark.bytes))
            return QString::fromLatin1(mark.encoding);
    return QString();
}

DecodedText decodeText(const QByteArray &bytes, const QString &encoding)
{
    DecodedText result;
    QByteArray body = bytes;
    result.encoding = byteOrderMarkEncoding(bytes);
    if (!result.encoding.isEmpty()) {
        for (const Mark &mark : Marks)
            if (result.encoding == QLatin1String(mark.encoding))
                body = bytes.mid(qsizetype(qstrlen(mark.bytes)));
    } else {
        result.encoding = encoding.isEmpty() ? QStringLiteral("UTF-8") : encoding;
    }

    const QByteArray name = result.encoding.toLatin1();
    // The mark is already gone: a second one is a character of the text.
    QStringDecoder decoder(name.constData(), QStringConverter::Flag::Stateless
                                                 | QStringConverter::Flag::ConvertInitialBom);
    if (!decoder.isValid()) {
        result.outcome = DecodedText::UnknownEncoding;
        return result;
    }
    // Qt's own UTF decoders replace what they cannot read without always
    // saying so, hence the checks of their own.
    qsizetype bad = -1;
    const auto known = QStringConverter::encodingForName(name.constData());
    if (known == QStringConverter::Utf8)
        bad = firstInvalidUtf8(body);
    else if (known == QStringConverter::Utf16LE || known == QStringConverter::Utf16BE)
        bad = firstInvalidUtf16(body, *known == QStringConverter::Utf16BE);
    else
        bad = firstByteWithoutCharacter(body, name);
    if (bad < 0) {
        result.text = decoder(body);
        if (decoder.hasError())
            bad = firstUndecodableByte(body, name);
    }
    if (bad >= 0) {
        result.outcome = DecodedText::Undecodable;
        result.text.clear();
        locate(result, body, bad, name);
    }
    return result;
}

} // namespace nvtarnix
