#include "RuleBlocks.h"

#include "EngineRow.h"

#include "vbscript/Operators.h"
#include "vbscript/CatchScriptErrors.h"
#include "vbscript/ScriptLocale.h"
#include "vbscript/ValueText.h"


namespace tarnixcli {

namespace {

void appendKey(QByteArray &lines, const RowBlock &block, int row)
{
    // A key too long to copy names its row by number.
    if (!block.keys.empty() && block.keys[size_t(row)].kind != StoredValue::Kind::TooLong)
        lines += vbscript::ValueText::canonical(engineValue(block.keys[size_t(row)], block.bytes)).toUtf8();
    else if (!block.rowNumbers.empty())
        lines += QByteArray::number(block.rowNumbers[size_t(row)]);
    else
        lines += QByteArray::number(block.firstRow + row);
}

void appendKeyLine(QByteArray &lines, const RowBlock &block, int row)
{
    appendKey(lines, block, row);
    lines += '\n';
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
    rowNumbers.clear();
    decidedTrue.clear();
    if (bytes.capacity() > 4 * MostBytes)
        std::vector<char>().swap(bytes);
    rows = 0;
    evaluated = 0;
}

BlockOutcome evaluateBlock(const vbscript::CompiledExpression &rule,
                           const vbscript::RuleSettings &settings, RowBlock &block,
                           BlockReport report)
{
    // A String result is taken as True or False through the rule's locale, as
    // the rule's own If would take it.
    const vbscript::ExecutionSettings truthSettings{settings.locale, vbscript::Limits()};
    BlockOutcome outcome;
    EngineRow values(block.width);
    QByteArray &failures = report == BlockReport::EveryRow ? outcome.lines : outcome.errorLines;
    for (; block.evaluated < block.rows
           && size_t(outcome.lines.size() + outcome.errorLines.size()) < RowBlock::MostBytes;
         ++block.evaluated) {
        const int row = block.evaluated;
        ++outcome.rows;
        const auto fail = [&](const vbscript::ScriptError &error) {
            ++outcome.failedRows;
            appendKey(failures, block, row);
            appendFailure(failures, error);
        };
        if (!block.decidedTrue.empty() && block.decidedTrue[size_t(row)]) {
            ++outcome.trueRows;
            if (report == BlockReport::Matching)
                appendKeyLine(outcome.lines, block, row);
            continue;
        }
        ++outcome.evaluatedRows;
        vbscript::catchScriptErrors(
            [&] {
                const vbscript::Variant result = rule.evaluate(
                    values.load(block.values.data() + size_t(row) * size_t(block.width), block.bytes),
                    settings);
                if (report != BlockReport::EveryRow) {
                    if (vbscript::ops::truth(truthSettings, result)) {
                        ++outcome.trueRows;
                        if (report == BlockReport::Matching)
                            appendKeyLine(outcome.lines, block, row);
                    }
                    return;
                }
                appendKey(outcome.lines, block, row);
                outcome.lines += '\t';
                outcome.lines += vbscript::ValueText::resultLine(result).toUtf8();
                outcome.lines += '\n';
            },
            fail);
    }
    return outcome;
}

} // namespace tarnixcli
