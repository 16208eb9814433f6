#pragma once

#include <nvtarnix/Error.h>

#include <optional>
#include <utility>

// Numbered errors from a test's point of view. The component, the schema and
// the value list raise nvtarnix::Error; the engine raises
// vbscript::ScriptError, named as the type argument:
//
//     QCOMPARE(errorNumber([&] { o.Init("nope", "list"); }), 5);
//     QCOMPARE(errorNumber<vbscript::ScriptError>([&] { v.toLong(); }), 13);
//
// An error of any other type is not caught and fails the test as QtTest
// reports an escaping exception.

namespace testsupport {

// The error `action` raised, or nothing when it raised none.
template<typename ErrorType = nvtarnix::Error, typename Action>
std::optional<ErrorType> raisedError(Action &&action)
{
    try {
        std::forward<Action>(action)();
    } catch (const ErrorType &error) {
        return error;
    }
    return std::nullopt;
}

// The number of the error `action` raised, 0 when it raised none.
template<typename ErrorType = nvtarnix::Error, typename Action>
int errorNumber(Action &&action)
{
    const std::optional<ErrorType> error = raisedError<ErrorType>(std::forward<Action>(action));
    return error ? error->number() : 0;
}

} // namespace testsupport
