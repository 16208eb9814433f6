#pragma once

#include <QString>

#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

// What a screen reader calls the editor's controls, in the user-interface
// language. The trees are named after their captions, so a host's own
// caption names its tree; everything else comes from the string table.

namespace nvtarnix::editor {

// The name a caption gives the control under it: the caption without its
// trailing colon (and without a mnemonic's ampersand).
QString nameFromCaption(const QString &caption);

// The names of the controls that have no caption, by their number in the
// string table.
enum class ControlName { ScriptBox = 1301, Filter, CompletionList, ArgumentHint, Preview };
QString controlName(ControlName which);

// A label's name is what a screen reader reads of it, so a named label that
// shows a value is called "name: value" (just name while it is empty).
QString labelledValue(const QString &name, const QString &value);

// Names the controls of one opening of the editor that have no caption of
// their own (any may be null); called wherever the captions are set, so that a
// change of language renames them too.
void nameEditorControls(QPlainTextEdit *script, QLineEdit *filter, QListWidget *completion, QLabel *argumentHint,
                        QLabel *preview);

// Names a tree and its (hidden) header after the caption above it.
void nameTree(QTreeWidget *tree, const QString &caption);

// Gives every item of the tree that describe answers for a description a
// screen reader reads after its name; describe may answer rich text.
void describeTreeItems(QTreeWidget *tree, const std::function<QString(const QTreeWidgetItem *)> &describe);

// A rich-text tooltip as the plain text a screen reader speaks, one piece a
// line.
QString spokenText(const QString &richText);

} // namespace nvtarnix::editor
