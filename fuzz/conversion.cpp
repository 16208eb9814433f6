// Both script conversions over a view made from the input: a few variables
// with any ID, caption and group, then any text converted to the database form
// and back. A crash or a sanitizer report is a finding.

#include <nvtarnix/Error.h>
#include <nvtarnix/TarnixObject.h>

#include "support/MainModule.h"

#include <QCoreApplication>

#include "FuzzInput.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    if (!QCoreApplication::instance())
        static QCoreApplication app(*argc, *argv);
    nvtarnix::MainModule();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    nvtarnix::TarnixObject builder;
    try {
        for (int n = input.number(0, 8); n > 0; --n) {
            const QString id = input.text();
            const QString caption = input.text();
            const QString group = input.flag() ? input.text() : QString();
            builder.AddVariable(id, caption, QString::number(input.number(0, 8)),
                                QStringLiteral("10"), QStringLiteral("3"), QStringLiteral("0"), {}, {}, {},
                                group);
        }
    } catch (const nvtarnix::Error &) {
        // A variable the view refuses (a repeated ID, ...) is an answer too;
        // the conversions then run over the ones it took.
    }
    const bool fromDatabase = input.flag();
    const QString text = input.rest();
    try {
        const QString converted = fromDatabase ? builder.ConvertScriptFromDatabase(text)
                                               : builder.ConvertScriptToDatabase(text);
        (void)(fromDatabase ? builder.ConvertScriptToDatabase(converted)
                            : builder.ConvertScriptFromDatabase(converted));
    } catch (const nvtarnix::Error &) {
    }
    return 0;
}
