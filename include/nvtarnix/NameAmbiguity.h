#pragma once

#include <QString>
#include <QStringList>

namespace nvtarnix {

// Two or more variables of a view that a script's text cannot tell apart, or
// one whose display name cannot be read back at all. The conversions between
// display and database form rewrite every occurrence of a name, one variable
// after the other, so such a name may silently turn a rule into one that
// reads another variable. TarnixObject::NameAmbiguities() lists them.
struct NameAmbiguity
{
    enum Kind {
        // Two variables have the same display name, group and caption alike.
        SameName,
        // Two display names differ in letter case only; VBScript names do not.
        CaseOnly,
        // Two display names are the same text through the dots of a group
        // or a caption: group "Cust.Addr" with caption "City" against group
        // "Cust" with caption "Addr.City".
        ThroughDots,
        // A display name is another variable's database name "[ID]".
        CaptionIsId,
        // A group or caption holds a bracket, which ends the name early.
        BracketInCaption,
    };

    Kind kind = SameName;
    // The text that is ambiguous as a script writes it: the display name
    // shared (the first one's for CaseOnly), or the display name holding the
    // bracket.
    QString name;
    // The IDs of the variables involved, in the view's order.
    QStringList varIDs;
    // Their display names, in the same order.
    QStringList displayNames;

    friend bool operator==(const NameAmbiguity &, const NameAmbiguity &) = default;
};

} // namespace nvtarnix
