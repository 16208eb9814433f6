// Rnd and Randomize over the engine's generator state.

#include "vbscript/library/LibrarySupport.h"
#include "vbscript/library/RandomGenerator.h"

#include <QTime>

namespace vbscript::lib {

namespace {

Variant fnRnd(ExecContext &ctx, std::span<Variant> a)
{
    RndState &state = ctx.rnd();
    uint32_t seed = state.seed;
    float result;
    if (!given(a, 0)) {
        result = rnd::next(seed);
    } else {
        const float x = a[0].valueOf().toSingle(ctx.locale());
        if (x < 0)
            result = rnd::reseedAndNext(seed, x);
        else if (x == 0)
            result = rnd::current(seed);
        else
            result = rnd::next(seed);
    }
    state.seed = seed;
    state.last = result;
    return Variant(result);
}

Variant fnRandomize(ExecContext &ctx, std::span<Variant> a)
{
    // Without a number the seed comes from the system timer, as Timer gives it.
    const double number = given(a, 0)
                              ? a[0].valueOf().toDouble(ctx.locale())
                              : double(float(QTime::currentTime().msecsSinceStartOfDay() / 1000.0));
    uint32_t seed = ctx.rnd().seed;
    rnd::randomize(seed, number);
    ctx.rnd().seed = seed;
    return Variant();
}

} // namespace

void registerRandomFunctions(BuiltinRegistry &r)
{
    r.add({.name = "Rnd", .minArgs = 0, .maxArgs = 1, .fn = fnRnd, .catalog = {CatalogGroup::Global, 27, "number"}});
    r.add({.name = "Randomize", .minArgs = 0, .maxArgs = 1, .fn = fnRandomize,
           .isSub = true, .catalog = {CatalogGroup::Global, 26, "number"}});
}

} // namespace vbscript::lib
