#include "StoredValue.h"

#include "vbscript/ExecutionSettings.h"
#include "vbscript/ScriptError.h"

#include <limits>

namespace tarnixcli {

qsizetype StoredValue::longestText()
{
    return vbscript::Limits().maxStringLength;
}

StoredValue StoredValue::withBytes(Kind kind, const char *bytes, int size, std::vector<char> &buffer)
{
    StoredValue value;
    if (size > longestText()) {
        value.kind = Kind::TooLong;
        return value;
    }
    value.kind = kind;
    value.bytes.offset = qsizetype(buffer.size());
    value.bytes.size = size;
    buffer.insert(buffer.end(), bytes, bytes + size);
    return value;
}

vbscript::Variant engineValue(const StoredValue &value, const std::vector<char> &buffer)
{
    switch (value.kind) {
    case StoredValue::Kind::Integer:
        if (value.integer >= std::numeric_limits<qint32>::min()
            && value.integer <= std::numeric_limits<qint32>::max())
            return vbscript::Variant(qint32(value.integer));
        return vbscript::Variant(double(value.integer));
    case StoredValue::Kind::Real:
        return vbscript::Variant(value.real);
    case StoredValue::Kind::Text:
    case StoredValue::Kind::Blob:
        return vbscript::Variant(
            QString::fromUtf8(buffer.data() + value.bytes.offset, value.bytes.size));
    case StoredValue::Kind::Boolean:
        return vbscript::Variant(value.integer != 0);
    case StoredValue::Kind::SmallInteger:
        return vbscript::Variant(qint16(value.integer));
    case StoredValue::Kind::Single:
        return vbscript::Variant(float(value.real));
    case StoredValue::Kind::Currency:
        return vbscript::Variant::currency(value.integer);
    case StoredValue::Kind::Date:
        return vbscript::Variant::date(value.real);
    case StoredValue::Kind::TooLong:
        vbscript::raise(vbscript::err::OutOfStringSpace);
    case StoredValue::Kind::Null:
        break;
    }
    return vbscript::Variant::null();
}

} // namespace tarnixcli
