#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace nvtarnix {

// Bytes of a file turned into text without ever guessing: a byte order mark
// (UTF-8, UTF-16 LE or BE) decides the encoding and is dropped; without one
// the bytes are read in the encoding the caller names. A byte that is not
// text in that encoding is never replaced: the result says where it lies.
struct DecodedText
{
    enum Outcome {
        Read,              // `text` holds the whole file
        UnknownEncoding,   // the encoding asked for is not one this system knows
        Undecodable,       // `line` and `column` locate the first byte that is not text
    };

    Outcome outcome = Read;
    QString text;
    QString encoding;      // the encoding the bytes were read in
    qsizetype line = 0;    // from 1; the line of the first undecodable byte
    qsizetype column = 0;  // from 1, in characters of that line
};

// `encoding` is an IANA name (UTF-8, windows-1253, ISO-8859-7, ...); empty
// means UTF-8.
DecodedText decodeText(const QByteArray &bytes, const QString &encoding = QString());

// The offset of the first byte of a UTF-8 sequence that is not well formed
// (overlong forms, surrogates and code points past U+10FFFF included), or -1.
qsizetype firstInvalidUtf8(QByteArrayView bytes);

// The byte order mark's encoding ("UTF-8", "UTF-16LE", "UTF-16BE"), empty when
// the bytes start with none.
QString byteOrderMarkEncoding(const QByteArray &bytes);

} // namespace nvtarnix
