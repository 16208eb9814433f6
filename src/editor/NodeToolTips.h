#pragma once

#include <QString>
#include <QStringList>

// The tooltips of the trees' nodes, so that a declaration or a caption cut
// off by the tree's edge can still be read whole, with its help text. They
// are rich text so that a long help text wraps; whatever the texts hold is
// shown as written.

namespace nvtarnix::editor {

// A function node: its whole declaration, then its help text when it has one,
// then the paragraphs of its reference, if any.
QString functionToolTip(const QString &declaration, const QString &help, const QStringList &reference = {});

// A variable node: its display name, its ID and its type (the kind by which
// the editor treats it and the host's type code), then its help text.
QString variableToolTip(const QString &displayName, const QString &varID, int vartype, int hasvaluelist,
                        const QString &help);

// A root, group or interface node: its text.
QString plainNodeToolTip(const QString &text);

} // namespace nvtarnix::editor
