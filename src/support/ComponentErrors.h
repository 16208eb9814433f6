#pragma once

#include <nvtarnix/Error.h>

#include <QString>

namespace nvtarnix {

// The errors the component raises itself, once: name, number, source and
// text. The numbers below 100 and their texts are the platform's own (a host
// written for the platform compares them); 101 and up are the component's.
//
//   NVTARNIX_COMPONENT_ERROR(Name, number, source, "text")
//
// Source is Component ("nvTarnix") or Class ("nvTarnix.class", the errors of
// the wizard's class about its own state).
#define NVTARNIX_COMPONENT_ERRORS(X)                                                              \
    X(InvalidProcedureCall, 5, Component, "Invalid procedure call or argument")                   \
    X(OutOfMemory, 7, Component, "Out of memory")                                                 \
    X(TypeMismatch, 13, Component, "Type mismatch")                                               \
    X(InternalError, 51, Component, "Internal error")                                             \
    X(ObjectNotSet, 91, Component, "Object variable or With block variable not set")              \
    X(CurrentViewMissing, 101, Class, "Current View is missing")                                  \
    X(SchemaNotInitialized, 102, Class, "Schema file was not being initialized")

enum class ComponentError : int {
#define NVTARNIX_COMPONENT_ERROR(name, number, source, text) name = number,
    NVTARNIX_COMPONENT_ERRORS(NVTARNIX_COMPONENT_ERROR)
#undef NVTARNIX_COMPONENT_ERROR
};

// The source of every error of the component and of its schema, catalogs and
// function catalog.
QString componentSource();

// The error `error` with its source and text; `detail`, when given, follows
// the text (": 0 is not a language id").
Error componentError(ComponentError error, const QString &detail = QString());

} // namespace nvtarnix
