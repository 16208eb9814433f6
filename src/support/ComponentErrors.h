#pragma once

#include <nvtarnix/Error.h>

#include <QString>

namespace nvtarnix {

// The errors the component raises itself, once: name, source and text; the
// number is the one <nvtarnix/Error.h> gives the same name. The numbers below
// 100 and their texts are the platform's own (a host written for the platform
// compares them); 101 and up are the component's.
//
//   NVTARNIX_COMPONENT_ERROR(Name, source, "text")
//
// Source is Component ("nvTarnix") or Class ("nvTarnix.class", the errors of
// the wizard's class about its own state).
#define NVTARNIX_COMPONENT_ERRORS(X)                                                              \
    X(InvalidProcedureCall, Component, "Invalid procedure call or argument")                      \
    X(OutOfMemory, Component, "Out of memory")                                                    \
    X(TypeMismatch, Component, "Type mismatch")                                                   \
    X(InternalError, Component, "Internal error")                                                 \
    X(ObjectNotSet, Component, "Object variable or With block variable not set")                  \
    X(CurrentViewMissing, Class, "Current View is missing")                                       \
    X(SchemaNotInitialized, Class, "Schema file was not being initialized")

enum class ComponentError : int {
#define NVTARNIX_COMPONENT_ERROR(name, source, text) name = errors::name,
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
