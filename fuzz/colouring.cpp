// The editor's colouring pass over any text with any word list and selection.
// Besides crashes and sanitizer reports, a pass that was applied must give
// runs that cover the text from start to end in order, as the highlighter
// relies on.

#include "editor/ScriptColouring.h"
#include "editor/WordList.h"

#include "FuzzInput.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace nvtarnix::editor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    WordList words;
    words.InitWordColours();
    const QString colours[] = {words.variableColour(), words.errorColour(), words.functionColour()};
    for (int n = input.number(0, 12); n > 0; --n) {
        const QString word = input.text();
        const QString colour = input.flag() ? colours[input.number(0, 2)] : input.text();
        words.AddWord(word, colour, input.flag());
    }
    if (input.flag())
        words.ClearErrorWords(false);
    const qint64 selectionStart = input.number(-2, 40000);
    const qint64 selectionLength = input.number(-2, 40000);
    const QString text = input.rest();

    const ColouringResult result = ColourScript(words, text, selectionStart, selectionLength);
    if (result.applied) {
        int next = 0;
        for (const ColourRun &run : result.runs) {
            if (run.start != next || run.length <= 0)
                std::abort();
            next += run.length;
        }
        if (next != text.size())
            std::abort();
    }
    return 0;
}
