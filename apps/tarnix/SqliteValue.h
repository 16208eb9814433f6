#pragma once

#include "vbscript/Variant.h"

#include <vector>

namespace tarnixcli {

// A value as SQLite hands it over, copied out of the statement before the
// next step. The bytes of TEXT and BLOB values live in a buffer beside it,
// so that reading a row allocates nothing: the reading thread is the one
// that cannot be shared out, and turning bytes into strings is left to the
// threads that evaluate.
struct SqliteValue
{
    // The longest TEXT or BLOB copied out, in bytes: the engine's longest
    // string. Longer ones would cost the reading thread, and every block
    // waiting for a worker, their size for a row that can only fail.
    static qsizetype longestText();

    // TooLong: a TEXT or BLOB longer than any string the engine may hold,
    // left in the database rather than copied.
    enum class Kind : quint8 { Null, Integer, Real, Text, Blob, TooLong };
    Kind kind = Kind::Null;
    union {
        qint64 integer;
        double real;
        struct
        {
            qsizetype offset;  // into the buffer
            int size;
        } bytes;
    };

    SqliteValue() : integer(0) {}
};

// The engine's value for a stored one: NULL is Null, an INTEGER is a Long
// when it fits 32 bits and a Double when it does not, REAL is Double, TEXT is
// String, and a BLOB is a String of its bytes read as UTF-8. (QtSql's values
// reach nvtarnix::Expression typed the same way.) `buffer` holds the bytes.
// A value too long to copy raises 14 "Out of string space", as a string past
// the engine's limit does.
vbscript::Variant engineValue(const SqliteValue &value, const std::vector<char> &buffer);

} // namespace tarnixcli
