#include "component/BuilderEditorOwner.h"

#include "component/TarnixObjectAccess.h"

#include <nvtarnix/TarnixObject.h>

namespace nvtarnix {

bool BuilderEditorOwner::showHelpLine() const
{
    return m_builder.ShowHelpString();
}

bool BuilderEditorOwner::removeNewLine() const
{
    return m_builder.RemoveNewLine();
}

bool BuilderEditorOwner::listButtonVisible() const
{
    return m_builder.ListButtonVisible();
}

bool BuilderEditorOwner::guidedEditing() const
{
    return m_builder.GuidedEditing();
}

QString BuilderEditorOwner::editorTitle() const
{
    return m_builder.EditorTitle();
}

QString BuilderEditorOwner::variableCaption() const
{
    return m_builder.VariableCaption();
}

QString BuilderEditorOwner::functionCaption() const
{
    return m_builder.FunctionCaption();
}

QString BuilderEditorOwner::variableRoot() const
{
    return m_builder.VariableRoot();
}

QString BuilderEditorOwner::functionRoot() const
{
    return m_builder.FunctionRoot();
}

QString BuilderEditorOwner::toDisplayForm(const QString &databaseText)
{
    return m_builder.ConvertScriptFromDatabase(databaseText);
}

QString BuilderEditorOwner::toDatabaseForm(const QString &displayText)
{
    return m_builder.ConvertScriptToDatabase(displayText);
}

QStringList BuilderEditorOwner::errorTexts() const
{
    QStringList texts;
    const auto errors = TarnixObjectAccess::ErrorList(m_builder);
    if (!errors)
        return texts;
    const qsizetype count = errors->Count();
    for (qsizetype i = 1; i <= count; ++i)
        texts.append(errors->Item(i));
    return texts;
}

QString BuilderEditorOwner::functionCatalogText()
{
    return TarnixObjectAccess::GetFunctionXmlText(m_builder);
}

QString BuilderEditorOwner::variableHelp(const QString &varID) const
{
    return TarnixObjectAccess::GetVariableHelpString(m_builder, varID);
}

QString BuilderEditorOwner::functionHelp(const QString &name) const
{
    return TarnixObjectAccess::GetFunctionHelpString(m_builder, name);
}

void BuilderEditorOwner::requestListSource(QString &listName, QVariant &data)
{
    TarnixObjectAccess::RaiseListSourceRequest(m_builder, listName, data);
}

RowSource BuilderEditorOwner::rowSource() const
{
    return m_builder.rowSource();
}

} // namespace nvtarnix
