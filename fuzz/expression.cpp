// nvtarnix::Expression, the host's way to apply a rule: any text compiled,
// then evaluated with values bound to its variables. Errors are answers; a
// crash or a sanitizer report is a finding.

#include <nvtarnix/Error.h>
#include <nvtarnix/Expression.h>

#include <QDate>
#include <QVariant>

#include "FuzzInput.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

// Values of every kind a host binds, the awkward ones included: Null, huge
// and tiny numbers, NaN, dates at the ends of the calendar, Greek text.
QVariant someValue(FuzzInput &input)
{
    switch (input.number(0, 7)) {
    case 0: return QVariant();
    case 1: return QVariant(input.number(-32768, 32767) * 65536 + input.number(0, 65535));
    case 2: return QVariant(double(input.number(-32768, 32767)) * std::pow(10.0, input.number(-320, 310)));
    case 3: return QVariant(input.flag());
    case 4: return QVariant(QDate(1, 1, 1).addDays(input.number(-1000, 4000000)));
    case 5: return QVariant(input.text());
    case 6: return QVariant(std::nan(""));
    default: return QVariant(qint64(input.number(-32768, 32767)) << input.number(0, 48));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    QVariantList values;
    for (int n = input.number(0, 4); n > 0; --n)
        values << someValue(input);
    const QString text = input.rest();

    nvtarnix::ExpressionOptions options;
    options.locale = QLocale(QLocale::Greek, QLocale::Greece);
    options.timeoutMs = 50;
    try {
        const auto expression = nvtarnix::Expression::compile(text, options);
        (void)expression.variables();
        (void)expression.evaluate(values);
    } catch (const nvtarnix::Error &) {
    }
    return 0;
}
