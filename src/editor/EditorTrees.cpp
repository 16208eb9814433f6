#include "editor/EditorTrees.h"

#include "editor/FunctionGroups.h"
#include "schema/DisplayName.h"
#include "support/FailureHandling.h"

#include <nvtarnix/View.h>

#include <QSet>

#include <pugixml.hpp>

namespace nvtarnix::editor {

namespace {

const QString kRootKey = QStringLiteral("ROOT");

// Adds nodes the way the tree control does: a taken key, or a parent key that
// no node holds, refuses the node and changes nothing.
class NodeList
{
public:
    bool add(const QString &parentKey, const QString &key, const QString &text, int image,
             const QString &tag = {}, bool expanded = false)
    {
        if (m_keys.contains(key) || (!parentKey.isEmpty() && !m_keys.contains(parentKey)))
            return false;
        m_keys.insert(key);
        m_nodes.append(TreeNode{parentKey, key, text, image, tag, expanded});
        return true;
    }
    QVector<TreeNode> take() { return std::move(m_nodes); }

private:
    QSet<QString> m_keys;
    QVector<TreeNode> m_nodes;
};

QString attribute(const pugi::xml_node &element, const char *name)
{
    return QString::fromUtf8(element.attribute(name).value());
}

bool isVisible(const pugi::xml_node &element)
{
    return attribute(element, "visible") == QLatin1String("-1");
}

} // namespace


int variableImage(int vartype, int hasvaluelist)
{
    if (isTextType(vartype))
        return ImgVarText;
    if (isDateType(vartype))
        return ImgVarDate;
    if (offersValueList(hasvaluelist))
        return ImgVarValueList;
    return ImgVarOther;
}

QVector<TreeNode> buildVariableTree(const QString &rootText, const QVector<EditorVariable> &variables,
                                    WordList &words)
{
    NodeList nodes;
    nodes.add({}, kRootKey, rootText, ImgVarRoot, {}, true);
    // Groups come first, in the order their captions first occur.
    for (const EditorVariable &v : variables) {
        if (!v.groupcaption.isEmpty())
            nodes.add(kRootKey, v.groupcaption, v.groupcaption, ImgVarGroup, {}, true);
    }
    for (const EditorVariable &v : variables) {
        const QString parent = v.groupcaption.isEmpty() ? kRootKey : v.groupcaption;
        const QString tag = v.displayName();
        if (nodes.add(parent, v.varID, v.vardescription, variableImage(v.vartype, v.hasvaluelist), tag))
            words.AddWord(tag, words.variableColour(), false);
    }
    return nodes.take();
}

void registerErrorWords(const QStringList &errors, WordList &words)
{
    for (const QString &error : errors)
        words.AddWord(error, words.errorColour(), false);
}

QVector<TreeNode> buildFunctionTree(const QString &rootText, const QString &catalogText, WordList &words,
                                    bool guided)
{
    NodeList nodes;
    pugi::xml_document document;
    const QByteArray utf8 = catalogText.toUtf8();
    // The editor works on its own copy of the catalog; the text is already
    // Unicode, whatever its declaration says.
    const bool parsed = document.load_buffer(utf8.constData(), utf8.size(), pugi::parse_default,
                                             pugi::encoding_utf8);
    pugi::xml_node interfaces;
    if (parsed) {
        try {
            interfaces = document.select_node(".//Interfaces").node();
        } catch (const pugi::xpath_exception &) {
            logSkippedFailure();
        }
    }
    nodes.add({}, kRootKey, rootText, ImgFuncRoot, {}, true);
    if (!interfaces)
        return nodes.take();

    QVector<CatalogInterface> catalog;
    for (pugi::xml_node item : interfaces.children()) {
        if (item.type() != pugi::node_element || !isVisible(item))
            continue;
        CatalogInterface iface{attribute(item, "name"), attribute(item, "description"), {}};
        for (pugi::xml_node function : item.child("Functions").children()) {
            if (function.type() != pugi::node_element || !isVisible(function))
                continue;
            iface.functions.append(CatalogFunction{iface.key, attribute(function, "name"),
                                                   attribute(function, "declarationext"),
                                                   attribute(function, "declaration")});
        }
        catalog.append(iface);
    }
    for (const FunctionGroup &group : categoriesFor(catalog, guided)) {
        nodes.add(kRootKey, group.key, group.caption, ImgInterface, {}, true);
        // A refused interface (its name taken) lends its functions to the node
        // that holds the name, as the tree finds parents by key.
        for (const CatalogFunction &function : group.functions) {
            const QString &tag = function.declaration;
            if (!nodes.add(group.key, function.name, function.declarationext, ImgFunction, tag))
                continue;
            if (tag.contains(QLatin1Char('%'))) {
                const QStringList pieces = tag.split(QLatin1Char('%'));
                words.AddWord(pieces.at(0), words.functionColour(), true);
                words.AddWord(pieces.at(1), words.functionColour(), true);
            } else {
                words.AddWord(tag, words.functionColour(), true);
            }
        }
    }
    return nodes.take();
}

} // namespace nvtarnix::editor
