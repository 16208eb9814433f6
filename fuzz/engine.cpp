// The engine on any script text: compiled, then run as a host runs it, with
// every limit on (time, string length, array size, no user interface). A
// script error is an answer; only a crash, a sanitizer report or a run past
// its time limit is a finding.

#include "vbscript/ExecutionSettings.h"
#include "vbscript/ScriptControl.h"

#include <QString>

#include <cstddef>
#include <cstdint>

namespace {

// Small enough that String(1E6, "x") or ReDim a(1E6) ends in the engine's
// own errors instead of in the fuzzer's memory limit.
vbscript::Limits fuzzLimits()
{
    vbscript::Limits limits;
    limits.maxStringLength = 1 << 16;
    limits.maxArrayElements = 1 << 16;
    return limits;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    vbscript::ScriptControl sc;
    sc.setLanguage(QStringLiteral("VBScript"));
    sc.setAllowUI(false);
    // Mutated scripts loop for ever often enough that, with 50 ms each,
    // such runs took a third of the target's time; 10 ms still lets a loop
    // run thousands of times under the sanitizers before it is stopped.
    sc.setTimeout(10);
    sc.setLimits(fuzzLimits());
    try {
        sc.addCode(text);
    } catch (const vbscript::ScriptError &) {
    }
    // The same text as one expression, as the wizard's Check evaluates it.
    try {
        sc.eval(text);
    } catch (const vbscript::ScriptError &) {
    }
    return 0;
}
