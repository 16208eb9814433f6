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

// The offset of the first byte of a UTF-8 sequence that is not well formed
// (overlong forms, surrogates and code points past U+10FFFF included), or -1.
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

// Where the byte at `offset` lies: its line, and its column in characters.
void locate(DecodedText &result, QByteArrayView bytes, qsizetype offset, const QByteArray &encoding)
{
    QStringDecoder decoder(encoding.constData());
    const QString before = decoder(bytes.first(offset));
    const qsizetype lineStart = before.lastIndexOf(QLatin1Char('\n')) + 1;
    result.line = before.count(QLatin1Char('\n')) + 1;
    result.column = before.size() - lineStart + 1;
}

} // namespace

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
