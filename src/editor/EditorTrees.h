#pragma once

#include "editor/WordList.h"

#include "schema/ViewVariable.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace nvtarnix {
class View;
}

// What the editor's two trees are built from, as plain data: the nodes to add,
// in order, each naming its parent by key. A node whose key the tree already
// holds is refused, as is a node whose parent key is unknown.

namespace nvtarnix::editor {

// One variable of the current view, as the editor reads it.
using EditorVariable = nvtarnix::ViewVariable;
using nvtarnix::isDateType;
using nvtarnix::isTextType;
using nvtarnix::variablesOfView;

struct TreeNode
{
    QString parentKey; // empty for the root
    QString key;
    QString text;
    int image = 0;    // 1-based index into the tree's image list
    QString tag;      // the text an insertion puts into the script
    bool expanded = false;

    friend bool operator==(const TreeNode &, const TreeNode &) = default;
};

// Images of the variable tree.
enum VariableImage { ImgVarRoot = 1, ImgVarOther = 2, ImgVarText = 3, ImgVarDate = 4, ImgVarGroup = 5, ImgVarValueList = 6 };
// Images of the function tree.
enum FunctionImage { ImgFunction = 1, ImgFuncRoot = 2, ImgInterface = 3 };

int variableImage(int vartype, int hasvaluelist);

// Builds the variable tree and registers each variable's display name.
QVector<TreeNode> buildVariableTree(const QString &rootText, const QVector<EditorVariable> &variables,
                                    WordList &words);

// Registers the host's error texts, in list order, in the error colour.
void registerErrorWords(const QStringList &errors, WordList &words);

// Builds the function tree from the catalog text and registers each shown
// function's declaration (split at the insertion placeholder "%") in bold.
// A text that does not parse, or has no Interfaces element, gives the root
// only. Guided editing groups the built-in functions by category
// (FunctionGroups.h).
QVector<TreeNode> buildFunctionTree(const QString &rootText, const QString &catalogText, WordList &words,
                                    bool guided = false);

} // namespace nvtarnix::editor
