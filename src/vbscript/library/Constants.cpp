// The vb* constants, each with the subtype VBScript gives it: Integer where
// the value fits in 16 bits, Long for the larger ones, the colours and the
// MsgBox options beyond the documented ones.

#include "vbscript/library/LibrarySupport.h"

namespace vbscript::lib {

namespace {

struct IntegerConstant
{
    const char *name;
    qint16 value;
};

struct LongConstant
{
    const char *name;
    qint32 value;
};

const IntegerConstant kIntegers[] = {
    // Days of the week and the first week of the year
    {"vbUseSystemDayOfWeek", 0}, {"vbSunday", 1}, {"vbMonday", 2}, {"vbTuesday", 3},
    {"vbWednesday", 4}, {"vbThursday", 5}, {"vbFriday", 6}, {"vbSaturday", 7},
    {"vbUseSystem", 0}, {"vbFirstJan1", 1}, {"vbFirstFourDays", 2}, {"vbFirstFullWeek", 3},
    // Date formats
    {"vbGeneralDate", 0}, {"vbLongDate", 1}, {"vbShortDate", 2}, {"vbLongTime", 3},
    {"vbShortTime", 4},
    // Comparison
    {"vbBinaryCompare", 0}, {"vbTextCompare", 1}, {"vbDatabaseCompare", 2},
    // Tristate
    {"vbUseDefault", -2}, {"vbTrue", -1}, {"vbFalse", 0},
    // VarType results
    {"vbEmpty", 0}, {"vbNull", 1}, {"vbInteger", 2}, {"vbLong", 3}, {"vbSingle", 4},
    {"vbDouble", 5}, {"vbCurrency", 6}, {"vbDate", 7}, {"vbString", 8}, {"vbObject", 9},
    {"vbError", 10}, {"vbBoolean", 11}, {"vbVariant", 12}, {"vbDataObject", 13},
    {"vbDecimal", 14}, {"vbByte", 17}, {"vbArray", 8192},
    // MsgBox buttons, icons, defaults and modality
    {"vbOKOnly", 0}, {"vbOKCancel", 1}, {"vbAbortRetryIgnore", 2}, {"vbYesNoCancel", 3},
    {"vbYesNo", 4}, {"vbRetryCancel", 5}, {"vbCritical", 16}, {"vbQuestion", 32},
    {"vbExclamation", 48}, {"vbInformation", 64}, {"vbDefaultButton1", 0},
    {"vbDefaultButton2", 256}, {"vbDefaultButton3", 512}, {"vbDefaultButton4", 768},
    {"vbApplicationModal", 0}, {"vbSystemModal", 4096},
    // MsgBox results
    {"vbOK", 1}, {"vbCancel", 2}, {"vbAbort", 3}, {"vbRetry", 4}, {"vbIgnore", 5},
    {"vbYes", 6}, {"vbNo", 7},
};

const LongConstant kLongs[] = {
    // The MsgBox options the language reference does not list came as one
    // family of Longs, the help button too, although 16384 would fit.
    {"vbMsgBoxHelpButton", 16384}, {"vbMsgBoxSetForeground", 65536}, {"vbMsgBoxRight", 524288},
    {"vbMsgBoxRtlReading", 1048576}, {"vbObjectError", -2147221504},
    // Colours, 0xBBGGRR
    {"vbBlack", 0x000000}, {"vbRed", 0x0000FF}, {"vbGreen", 0x00FF00}, {"vbYellow", 0x00FFFF},
    {"vbBlue", 0xFF0000}, {"vbMagenta", 0xFF00FF}, {"vbCyan", 0xFFFF00}, {"vbWhite", 0xFFFFFF},
};

} // namespace

void registerConstants(BuiltinRegistry &r)
{
    for (const IntegerConstant &c : kIntegers)
        r.addConstant(QString::fromLatin1(c.name), Variant(c.value));
    for (const LongConstant &c : kLongs)
        r.addConstant(QString::fromLatin1(c.name), Variant(c.value));
    const struct
    {
        const char *name;
        QString value;
    } strings[] = {
        {"vbCr", QStringLiteral("\r")},
        {"vbLf", QStringLiteral("\n")},
        {"vbCrLf", QStringLiteral("\r\n")},
        {"vbNewLine", QStringLiteral("\r\n")},
        {"vbTab", QStringLiteral("\t")},
        // Static text, as the literals above: every thread reads these, and
        // text with a reference count would have them write to it too.
        {"vbVerticalTab", QStringLiteral("\x0B")},
        {"vbFormFeed", QStringLiteral("\x0C")},
        {"vbNullChar", QStringLiteral("\0")},
        {"vbNullString", QString()},
    };
    for (const auto &c : strings)
        r.addConstant(QString::fromLatin1(c.name), Variant(c.value));
}

} // namespace vbscript::lib
