#include "editor/TreeInteraction.h"

#include "support/FailureHandling.h"

#include "support/ComponentErrors.h"
#include "editor/EditorTrees.h"
#include "support/MlStringModule.h"
#include "support/SavedError.h"

#include <nvtarnix/Error.h>
#include <nvtarnix/ForwardOnlyRecordset.h>
#include <nvtarnix/MemoryRecordset.h>
#include <nvtarnix/SqlRecordset.h>
#include <nvtarnix/View.h>

#include <QDialog>

namespace nvtarnix::editor {

namespace {

const QString kVariableTree = QStringLiteral("tvVariables");
const QString kFunctionTree = QStringLiteral("tvFunctions");

} // namespace

QString nodeHelpText(const QString &tag, const QString &nodeText, bool showHelpLine,
                     const std::function<QString()> &helpLookup)
{
    if (tag.isEmpty() || !showHelpLine)
        return GetMlString(1002, QString());
    QString text = helpLookup();
    if (text.isEmpty()) {
        // Not arg(): the node's text may itself hold "%1" or "%2".
        text = GetMlString(1001, QString());
        text.replace(QLatin1String("%1"), nodeText);
    }
    return text;
}

bool valueListEnabled(int image, const QString &tag)
{
    return image == ImgVarValueList && !tag.isEmpty();
}

QString functionInsertion(const QString &declaration, const std::function<QString()> &selectedText)
{
    if (!declaration.contains(QLatin1Char('%')))
        return declaration;
    QString text = declaration;
    return text.replace(QLatin1Char('%'), selectedText());
}

ContextMenuEnabling contextMenuEnabling(const QString &activeControl, std::optional<int> selectedVariableImage)
{
    ContextMenuEnabling enabling;
    enabling.insertVar = activeControl == kVariableTree;
    enabling.insertFunc = activeControl == kFunctionTree;
    if (!enabling.insertVar)
        enabling.valueList = false;
    else if (selectedVariableImage)
        enabling.valueList = *selectedVariableImage == ImgVarValueList;
    return enabling;
}

namespace {

// A host may hand over the pointer to the recordset class it built rather
// than to the base; the component's own classes are taken as they come.
template <typename Derived>
bool takeRecordset(const QVariant &vData, std::shared_ptr<Recordset> &rsList)
{
    if (vData.metaType() != QMetaType::fromType<std::shared_ptr<Derived>>())
        return false;
    rsList = vData.value<std::shared_ptr<Derived>>();
    return true;
}

} // namespace

std::shared_ptr<Recordset> recordsetOf(const QVariant &vData)
{
    if (!vData.isValid())
        return nullptr;
    std::shared_ptr<Recordset> rsList;
    if (takeRecordset<Recordset>(vData, rsList) || takeRecordset<SqlRecordset>(vData, rsList)
        || takeRecordset<MemoryRecordset>(vData, rsList) || takeRecordset<ForwardOnlyRecordset>(vData, rsList))
        return rsList;
    throw componentError(ComponentError::TypeMismatch);
}

std::optional<QString> RequestValueList(const View *view, const QString &key, const ValueListExchange &exchange)
{
    try {
        if (!view)
            throw objectNotSetError();
        const std::shared_ptr<ViewField> field = view->Fields().Item(key);
        if (!field->offersValueList())
            return std::nullopt;

        QString listName = field->valuelist();
        QVariant data;
        exchange.raiseListSourceRequest(listName, data);
        const std::shared_ptr<Recordset> rsList = recordsetOf(data);
        if (!rsList)
            return std::nullopt;

        // Every request starts from 0: OK with no row selected hands back
        // whatever the editor put in.
        qint32 selectedValue = 0;
        if (exchange.openList(rsList, field->listvalue(), field->ListText(), selectedValue) != QDialog::Accepted)
            return std::nullopt;
        return QString::number(selectedValue);
    } catch (const std::exception &error) {
        SaveError(error);
    } catch (...) {
        SaveError(componentError(ComponentError::InternalError));
    }
    // Closing the dialog must not replace the error being passed on.
    skipOnError([&] { exchange.unloadList(); });
    RaiseSavedError(QString());
}

} // namespace nvtarnix::editor
