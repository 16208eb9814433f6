#pragma once

#include <nvtarnix/Recordset.h>

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

namespace nvtarnix {
class View;
}

// What the editor does when the user works with its trees, kept apart from
// the window so that each rule can be checked on its own: the help line of a
// node, when the value-list controls are enabled, what an insertion puts into
// the script and the exchange in which the host supplies a value list.

namespace nvtarnix::editor {

// The help line for a clicked node. A node with a tag, while the help line is
// shown, shows its help text, or when it has none the hint that names the
// node's text; every other node shows the neutral hint about the check.
// helpLookup is asked only when the node's help is wanted.
QString nodeHelpText(const QString &tag, const QString &nodeText, bool showHelpLine,
                     const std::function<QString()> &helpLookup);

// The value-list button follows the variable tree's clicked node: only a
// variable that offers a value list (image 6) enables it.
bool valueListEnabled(int image, const QString &tag);

// The text that inserting a function puts in place of the script's
// selection: its declaration, with every "%" replaced by the selected text
// (read only when the declaration holds one).
QString functionInsertion(const QString &declaration, const std::function<QString()> &selectedText);

// The items of the trees' context menu, enabled by the control that has the
// focus. valueList is empty when it is to stay as it was (the variable tree
// has no selected node).
struct ContextMenuEnabling
{
    bool insertVar = false;
    bool insertFunc = false;
    std::optional<bool> valueList;
};
ContextMenuEnabling contextMenuEnabling(const QString &activeControl, std::optional<int> selectedVariableImage);

// The recordset a host put into vData: null when it left vData empty or put
// an empty pointer there. A std::shared_ptr to nvtarnix::Recordset or to one
// of the component's recordset classes is taken; anything else is error 13
// "Type mismatch".
std::shared_ptr<Recordset> recordsetOf(const QVariant &vData);

// What the value-list exchange needs of the window and its owner.
struct ValueListExchange
{
    // Raises ListSourceRequest towards the host; the host answers in data.
    std::function<void(QString &listName, QVariant &data)> raiseListSourceRequest;
    // Opens the value list dialog and answers its result (1 when the user
    // picked a row, the code then in selectedValue).
    std::function<int(std::shared_ptr<Recordset> rsList, const QString &listField, const QString &listText,
                      qint32 &selectedValue)>
        openList;
    // Closes the value list dialog if it is open; called before an error is
    // passed on.
    std::function<void()> unloadList;
};

// Asks the host for the value list of the view field keyed key and lets the
// user pick a code. Answers the text to insert (the code's decimal digits)
// or nothing when the variable has no list, the host gave no recordset or the
// user cancelled. Every failure (a key that is not a field of the view, an
// answer that is not a recordset, a failing recordset or code) closes the
// dialog and is raised again unchanged as an nvtarnix::Error.
std::optional<QString> RequestValueList(const View *view, const QString &key, const ValueListExchange &exchange);

} // namespace nvtarnix::editor
