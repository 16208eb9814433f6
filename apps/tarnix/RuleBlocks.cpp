#include "RuleBlocks.h"

#include "vbscript/Operators.h"
#include "vbscript/ScriptError.h"
#include "vbscript/ScriptLocale.h"
#include "vbscript/ValueText.h"

#include <QVarLengthArray>

#include <new>

namespace tarnixcli {

namespace {

void appendKey(QByteArray &lines, const RowBlock &block, int row)
{
    if (block.keys.empty())
        lines += QByteArray::number(block.firstRow + row);
    else
        lines += vbscript::ValueText::canonical(engineValue(block.keys[size_t(row)], block.bytes)).toUtf8();
}

void appendFailure(QByteArray &lines, const vbscript::ScriptError &error)
{
    lines += "\terror\t";
    lines += QByteArray::number(error.number());
    lines += '\t';
    // Escaped as a String value is, so a description never breaks the line.
    lines += vbscript::ValueText::canonical(vbscript::Variant(error.description())).toUtf8();
    lines += '\n';
}

} // namespace

void RowBlock::clear()
{
    values.clear();
    keys.clear();
    bytes.clear();
    rows = 0;
}

BlockOutcome evaluateBlock(const vbscript::CompiledExpression &rule,
                           const vbscript::RuleSettings &settings, RowBlock &block,
                           BlockReport report)
{
    // A String result is taken as True or False through the rule's locale, as
    // the rule's own If would take it.
    const vbscript::ScriptLocaleScope locale(&settings.locale);
    BlockOutcome outcome;
    outcome.rows = block.rows;
    // One row's values, made afresh for every row: a run may change them
    // (Execute can assign to a variable).
    QVarLengthArray<vbscript::Variant, 8> values(block.width);
    const SqliteValue *stored = block.values.data();
    for (int row = 0; row < block.rows; ++row) {
        for (vbscript::Variant &value : values)
            value = engineValue(*stored++, block.bytes);
        try {
            try {
                const vbscript::Variant result = rule.evaluate(std::span<vbscript::Variant>(values.data(), size_t(values.size())), settings);
                if (report == BlockReport::Count) {
                    outcome.trueRows += vbscript::ops::truth(result) ? 1 : 0;
                } else {
                    appendKey(outcome.lines, block, row);
                    outcome.lines += '\t';
                    outcome.lines += vbscript::ValueText::resultLine(result).toUtf8();
                    outcome.lines += '\n';
                }
            } catch (const std::bad_alloc &) {
                throw vbscript::ScriptError::runtime(vbscript::err::OutOfMemory);
            }
        } catch (const vbscript::ScriptError &error) {
            ++outcome.failedRows;
            appendKey(outcome.lines, block, row);
            appendFailure(outcome.lines, error);
        }
    }
    return outcome;
}

} // namespace tarnixcli
