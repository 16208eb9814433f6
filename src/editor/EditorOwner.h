#pragma once

#include <nvtarnix/RowSource.h>

#include <QString>
#include <QStringList>
#include <QVariant>

// What the editor window needs of the builder that runs it, and nothing
// more: the captions and options the host set, the two forms of the script,
// the host's error texts, the function catalog, the help lines and the value
// lists. The component implements it over its builder; the window knows no
// builder.

namespace nvtarnix::editor {

class EditorOwner
{
public:
    virtual ~EditorOwner() = default;

    // The host's options and captions, as read when a run begins.
    virtual bool showHelpLine() const = 0;
    virtual bool removeNewLine() const = 0;
    virtual bool listButtonVisible() const = 0;
    virtual QString editorTitle() const = 0;
    virtual QString variableCaption() const = 0;
    virtual QString functionCaption() const = 0;
    virtual QString variableRoot() const = 0;
    virtual QString functionRoot() const = 0;

    // The script between the database form (IDs) and the display form
    // (captions); without a view these raise the builder's error.
    virtual QString toDisplayForm(const QString &databaseText) = 0;
    virtual QString toDatabaseForm(const QString &displayText) = 0;

    // The texts the host marks as errors in an expression, in its order.
    virtual QStringList errorTexts() const = 0;
    // The function catalog's document text; an empty catalog is first
    // filled with the built-in functions.
    virtual QString functionCatalogText() = 0;

    // Guided editing, the host's option for what users expect of an editor
    // today (functions by category, those of no use in a rule not offered,
    // the function reference in the help line). Off unless the owner turns
    // it on, so that a host that sets nothing gets the specified editor.
    virtual bool guidedEditing() const { return false; }

    // The help line of a variable (by ID) or of a function (by name).
    virtual QString variableHelp(const QString &varID) const = 0;
    virtual QString functionHelp(const QString &name) const = 0;

    // Asks the host for the rows of the value list listName; the host
    // answers in data.
    virtual void requestListSource(QString &listName, QVariant &data) = 0;

    // The host's rows, which the editor counts the expression against; null
    // when the host gave none.
    virtual RowSource rowSource() const { return {}; }
};

// Which of the owner's help lines a tree node or a word of the script has.
enum class HelpKind { Variable, Function };

// The owner's help line for a variable ID or a function name; empty without
// an owner. Errors of the owner pass to the caller.
QString ownerHelp(const EditorOwner *owner, HelpKind kind, const QString &key);

} // namespace nvtarnix::editor
