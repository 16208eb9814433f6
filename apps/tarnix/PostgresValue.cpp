#include "PostgresValue.h"

#include "pushdown/PostgresTypes.h"
#include "vbscript/OleDate.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace tarnixcli {

using enum nvtarnix::pushdown::PostgresTypeOid;

namespace {

StoredValue textValue(std::string_view text, std::vector<char> &buffer)
{
    return StoredValue::withBytes(StoredValue::Kind::Text, text.data(), int(text.size()), buffer);
}

StoredValue integerValue(StoredValue::Kind kind, qint64 integer)
{
    StoredValue value;
    value.kind = kind;
    value.integer = integer;
    return value;
}

StoredValue realValue(StoredValue::Kind kind, double real)
{
    StoredValue value;
    value.kind = kind;
    value.real = real;
    return value;
}

template <typename Number>
std::optional<Number> wholeNumber(std::string_view text)
{
    Number number{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

// A finite float: NaN and the infinities, which no engine number holds, are
// left to be text.
template <typename Float>
std::optional<Float> finiteNumber(std::string_view text)
{
    const std::optional<Float> number = wholeNumber<Float>(text);
    if (!number || !std::isfinite(*number))
        return std::nullopt;
    return number;
}

// The value scaled by 10,000 when it has at most four decimals and fits
// Currency: digits, an optional point and more digits, as numeric's text is.
std::optional<qint64> currencyOf(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::string_view whole = text;
    std::string_view fraction;
    if (const size_t point = text.find('.'); point != std::string_view::npos) {
        whole = text.substr(0, point);
        fraction = text.substr(point + 1);
    }
    while (!fraction.empty() && fraction.back() == '0')
        fraction.remove_suffix(1);
    if ((whole.empty() && fraction.empty()) || fraction.size() > 4)
        return std::nullopt;

    const quint64 most = quint64(std::numeric_limits<qint64>::max()) + (negative ? 1 : 0);
    quint64 scaled = 0;
    const auto addDigits = [&](std::string_view digits) {
        for (char c : digits) {
            if (c < '0' || c > '9' || __builtin_mul_overflow(scaled, 10u, &scaled)
                || __builtin_add_overflow(scaled, quint64(c - '0'), &scaled))
                return false;
        }
        return true;
    };
    if (!addDigits(whole) || !addDigits(fraction))
        return std::nullopt;
    for (size_t i = fraction.size(); i < 4; ++i)
        if (__builtin_mul_overflow(scaled, 10u, &scaled))
            return std::nullopt;
    if (scaled > most)
        return std::nullopt;
    return negative ? qint64(0 - scaled) : qint64(scaled);
}

// Reads `count` digits at `at`, moving past them.
std::optional<int> digits(std::string_view text, size_t &at, size_t count)
{
    if (at + count > text.size())
        return std::nullopt;
    const std::optional<int> number = wholeNumber<int>(text.substr(at, count));
    if (!number || text[at] == '-' || text[at] == '+')
        return std::nullopt;
    at += count;
    return number;
}

bool expect(std::string_view text, size_t &at, char c)
{
    if (at >= text.size() || text[at] != c)
        return false;
    ++at;
    return true;
}

// The OLE date of ISO text: "yyyy-mm-dd", then for a time stamp
// " hh:mm:ss[.ffffff]" and, for one with a zone, "+hh[:mm[:ss]]" or "-...".
// nullopt for what the engine's Date cannot hold, "BC" and years beyond
// 9999 ("infinity" is no date at all).
std::optional<double> dateOf(std::string_view text, bool hasTime, bool hasZone)
{
    size_t at = 0;
    const auto year = digits(text, at, 4);
    if (!year || !expect(text, at, '-'))
        return std::nullopt;
    const auto month = digits(text, at, 2);
    if (!month || !expect(text, at, '-'))
        return std::nullopt;
    const auto day = digits(text, at, 2);
    if (!day)
        return std::nullopt;
    int hour = 0, minute = 0, second = 0;
    if (hasTime) {
        std::optional<int> h, m, s;
        if (!expect(text, at, ' ') || !(h = digits(text, at, 2)) || !expect(text, at, ':')
            || !(m = digits(text, at, 2)) || !expect(text, at, ':') || !(s = digits(text, at, 2)))
            return std::nullopt;
        hour = *h;
        minute = *m;
        second = *s;
        // Fractions of a second are dropped: the engine keeps whole seconds.
        if (at < text.size() && text[at] == '.') {
            ++at;
            while (at < text.size() && text[at] >= '0' && text[at] <= '9')
                ++at;
        }
    }
    if (hasZone) {
        if (at >= text.size() || (text[at] != '+' && text[at] != '-'))
            return std::nullopt;
        const int sign = text[at++] == '-' ? -1 : 1;
        int offset = 0;
        const auto h = digits(text, at, 2);
        if (!h)
            return std::nullopt;
        offset = *h * 3600;
        for (int unit : {60, 1}) {
            if (at >= text.size())
                break;
            std::optional<int> part;
            if (!expect(text, at, ':') || !(part = digits(text, at, 2)))
                return std::nullopt;
            offset += *part * unit;
        }
        // The time in UTC: local time minus the zone's offset.
        second -= sign * offset;
    }
    if (at != text.size())  // " BC", or anything else unforeseen
        return std::nullopt;
    return vbscript::OleDate::fromPartsRolling(*year, *month, *day, hour, minute, second);
}

std::optional<std::string> bytesOfHex(std::string_view text)
{
    if (text.size() < 2 || text[0] != '\\' || text[1] != 'x' || text.size() % 2 != 0)
        return std::nullopt;
    std::string bytes;
    bytes.reserve((text.size() - 2) / 2);
    for (size_t i = 2; i < text.size(); i += 2) {
        unsigned char byte = 0;
        const auto [end, error] = std::from_chars(text.data() + i, text.data() + i + 2, byte, 16);
        if (error != std::errc() || end != text.data() + i + 2)
            return std::nullopt;
        bytes.push_back(char(byte));
    }
    return bytes;
}

} // namespace

PostgresType postgresType(unsigned oid)
{
    switch (oid) {
    case PgInt2Oid: return PostgresType::SmallInteger;
    case PgInt4Oid: return PostgresType::Integer;
    case PgInt8Oid: return PostgresType::BigInteger;
    case PgFloat4Oid: return PostgresType::Single;
    case PgFloat8Oid: return PostgresType::Double;
    case PgNumericOid: return PostgresType::Numeric;
    case PgTextOid:
    case PgVarcharOid: return PostgresType::Text;
    case PgBpcharOid: return PostgresType::PaddedText;
    case PgBoolOid: return PostgresType::Boolean;
    case PgDateOid: return PostgresType::Date;
    case PgTimestampOid: return PostgresType::Timestamp;
    case PgTimestampTzOid: return PostgresType::TimestampWithZone;
    case PgByteaOid: return PostgresType::Bytea;
    default: return PostgresType::Other;
    }
}

StoredValue storedValue(PostgresType type, const char *bytes, int size, std::vector<char> &buffer)
{
    const std::string_view text(bytes, size_t(size));
    switch (type) {
    case PostgresType::SmallInteger:
        if (const auto n = wholeNumber<qint64>(text))
            return integerValue(StoredValue::Kind::SmallInteger, *n);
        break;
    case PostgresType::Integer:
    case PostgresType::BigInteger:
        if (const auto n = wholeNumber<qint64>(text))
            return integerValue(StoredValue::Kind::Integer, *n);
        break;
    case PostgresType::Single:
        if (const auto f = finiteNumber<float>(text))
            return realValue(StoredValue::Kind::Single, double(*f));
        break;
    case PostgresType::Double:
        if (const auto d = finiteNumber<double>(text))
            return realValue(StoredValue::Kind::Real, *d);
        break;
    case PostgresType::Numeric:
        if (const auto scaled = currencyOf(text))
            return integerValue(StoredValue::Kind::Currency, *scaled);
        // numeric's text never has an exponent; "NaN" and "Infinity" are no numbers.
        if (const auto d = finiteNumber<double>(text))
            return realValue(StoredValue::Kind::Real, *d);
        break;
    case PostgresType::Boolean:
        if (text == "t" || text == "f")
            return integerValue(StoredValue::Kind::Boolean, text == "t" ? 1 : 0);
        break;
    case PostgresType::Date:
    case PostgresType::Timestamp:
    case PostgresType::TimestampWithZone:
        if (const auto serial = dateOf(text, type != PostgresType::Date,
                                       type == PostgresType::TimestampWithZone))
            return realValue(StoredValue::Kind::Date, *serial);
        break;
    case PostgresType::Bytea:
        if (const auto decoded = bytesOfHex(text))
            return StoredValue::withBytes(StoredValue::Kind::Blob, decoded->data(), int(decoded->size()), buffer);
        break;
    case PostgresType::PaddedText: {
        std::string_view unpadded = text;
        while (!unpadded.empty() && unpadded.back() == ' ')
            unpadded.remove_suffix(1);
        return textValue(unpadded, buffer);
    }
    case PostgresType::Text:
    case PostgresType::Other:
        break;
    }
    return textValue(text, buffer);
}

} // namespace tarnixcli
