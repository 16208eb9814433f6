#include <nvtarnix/TarnixObject.h>

#include "support/FailureHandling.h"
#include "schema/BracketReplacer.h"
#include "component/FunctionCatalog.h"
#include "component/VariableNumber.h"
#include "support/ComponentErrors.h"
#include "component/ViewConversion.h"
#include "editor/frmEditor.h"
#include "support/MainModule.h"
#include "support/MlStringModule.h"
#include "support/SavedError.h"

namespace nvtarnix {

namespace {

// The schema every builder starts with: one catalog with one empty view, so
// variables can be added before (or without) a host schema.
const char *const DefaultSchemaDocument =
    "<?xml version='1.0' encoding='windows-1253'?><NortavineXMLData version='2.6'><Schema Version='2.6'>"
    "<Catalogs CatalogPath=''><Catalog ID='_defaultcatalog' description='' source='' primarykey='' "
    "parentcatalog='' defaultview=''><Views><View ID='_defaultview' name='_defaultview' cardcaption=''>"
    "</View></Views></Catalog></Catalogs></Schema></NortavineXMLData>";

} // namespace

TarnixObject::TarnixObject(QObject *parent)
    : QObject(parent), m_conversion(std::make_unique<ViewConversion>())
{
    MainModule();
    InitLanguage(0);
    buildDefaultSchema();
    m_FunctionXml = std::make_shared<pugi::xml_document>();
    m_VariableCaption = GetMlString(17, QString());
    m_FunctionCaption = GetMlString(18, QString());
    m_EditorTitle = GetMlString(19, QString());
    m_ListButtonVisible = true;
    m_VariableRoot = GetMlString(20, QString());
    m_FunctionRoot = GetMlString(21, QString());
    m_RemoveNewLine = true;
    m_errors = std::make_shared<ErrorCollection>();
}

TarnixObject::~TarnixObject()
{
    // Released in this order; none of it can fail.
    m_editor.reset();
    m_FunctionXml.reset();
    m_catalog.reset();
    m_view.reset();
    m_BuilderSchema.reset();
    m_errors.reset();
}

bool TarnixObject::Edit()
{
    try {
        if (!m_editor)
            m_editor = std::make_unique<frmEditor>();
        m_editor->setOwner(this);
        if (m_editor->WindowOpen(m_view, m_Script) != QDialog::Accepted)
            return false;
        m_DatabaseScript = ConvertScriptToDatabase(m_Script);
        ClearErrors();
        return true;
    } catch (const std::exception &error) {
        SaveError(error);
        m_editor.reset();
        RaiseSavedError();
    }
}

void TarnixObject::buildDefaultSchema()
{
    m_catalog.reset();
    m_view.reset();
    m_BuilderSchema = std::make_shared<Schema>();
    m_BuilderSchema->LoadFromText(QString::fromUtf8(DefaultSchemaDocument));
    setCurrentCatalog(QStringLiteral("_defaultcatalog"));
    setCurrentView(QStringLiteral("_defaultview"));
}

void TarnixObject::setScript(const QString &value)
{
    m_Script = value;
    m_DatabaseScript = ConvertScriptToDatabase(value);
}

void TarnixObject::setDatabaseScript(const QString &value)
{
    m_DatabaseScript = value;
    m_Script = ConvertScriptFromDatabase(value);
}

void TarnixObject::setCurrentView(const QString &value)
{
    if (value != m_CurrentView)
        m_view.reset();
    m_CurrentView = value;
    Init();
}

void TarnixObject::setCurrentCatalog(const QString &value)
{
    if (value != m_CurrentCatalog)
        m_catalog.reset();
    m_CurrentCatalog = value;
    Init();
}

void TarnixObject::Init(QString vCatalog, QString vView)
{
    if (!vCatalog.isEmpty()) {
        m_CurrentCatalog = vCatalog;
        m_catalog.reset();
    }
    if (!vView.isEmpty()) {
        m_CurrentView = vView;
        m_view.reset();
    }
    if (!m_BuilderSchema)
        throw componentError(ComponentError::SchemaNotInitialized);
    if (!m_BuilderSchema->IsOpen())
        m_BuilderSchema->Open();
    if (!m_catalog && !m_CurrentCatalog.isEmpty())
        m_catalog = m_BuilderSchema->GetCatalog(m_CurrentCatalog);
    if (!m_view && !m_CurrentView.isEmpty()) {
        if (!m_catalog)
            throw objectNotSetError();
        m_view = m_catalog->Views().Item(m_CurrentView);
    }
}

QString TarnixObject::ConvertScriptToDatabase(const QString &vScriptText)
{
    QString text = vScriptText;
    if (!m_view)
        throw componentError(ComponentError::CurrentViewMissing);
    if (!text.isEmpty())
        text = m_conversion->convert(text, m_view, ViewConversion::Direction::ToDatabase);
    return m_RemoveNewLine ? RemoveLineBreaks(text) : text;
}

QString TarnixObject::ConvertScriptFromDatabase(const QString &vScriptText)
{
    if (!m_view)
        throw componentError(ComponentError::CurrentViewMissing);
    QString text = vScriptText;
    if (!text.isEmpty())
        text = m_conversion->convert(text, m_view, ViewConversion::Direction::FromDatabase);
    return m_RemoveNewLine ? RemoveLineBreaks(text) : text;
}

pugi::xml_document &TarnixObject::functionCatalog() const
{
    if (!m_FunctionXml)
        throw objectNotSetError();
    return *m_FunctionXml;
}

void TarnixObject::LoadDefaultFunctions()
{
    m_FunctionXml = FunctionCatalog::loadBuiltin();
}

QVariant TarnixObject::AddFunction(const QString &FunctionInterface, const QString &FunctionName,
                                   const QString &FunctionDeclaration, const QString &FunctionDeclText,
                                   const QString &FunctionHelpString, bool FunctionVisible)
{
    FunctionCatalog::addFunction(functionCatalog(), FunctionInterface, FunctionName, FunctionDeclaration,
                                 FunctionDeclText, FunctionHelpString, FunctionVisible);
    return {};
}

void TarnixObject::ClearFunctions()
{
    m_FunctionXml = std::make_shared<pugi::xml_document>();
}

QString TarnixObject::GetFunctionHelpString(const QString &name) const
{
    if (!m_FunctionXml)
        return {};
    return FunctionCatalog::helpString(*m_FunctionXml, name);
}

QString TarnixObject::GetFunctionXmlText()
{
    if (FunctionCatalog::text(functionCatalog()).trimmed().isEmpty())
        LoadDefaultFunctions();
    return FunctionCatalog::text(functionCatalog());
}

void TarnixObject::AddVariable(const QString &varID, const QString &vardescription,
                               const QString &vartype, const QString &varsize,
                               const QString &searchtype, const QString &hasvaluelist,
                               const QString &valuelist, const QString &listvalue,
                               const QString &ListText, const QString &groupcaption,
                               const QString &sampledata, const QString &helpstring)
{
    // Each step stays done when a later one fails: the host sees the error
    // and what was written before it, as it always has.
    if (!m_catalog)
        throw objectNotSetError();
    const auto catalogField = m_catalog->AddField(varID, vardescription, vartype, varsize);
    // Filled in the order the catalog field has always been written, so a
    // number that does not convert leaves the values before it in place.
    VariableRecord record = catalogField->record();
    try {
        record.groupcaption = groupcaption;
        record.hasvaluelist = VariableNumber(hasvaluelist);
        record.valuelist = valuelist;
        record.listvalue = listvalue;
        record.ListText = ListText;
        record.sampledata = sampledata;
        record.searchtype = VariableNumber(searchtype);
        record.helpstring = helpstring;
    } catch (...) {
        catalogField->setRecord(record);
        throw;
    }
    catalogField->setRecord(record);

    if (!m_view)
        throw objectNotSetError();
    const auto viewField = m_view->AddField(varID, vardescription);
    viewField->setVartype(VariableNumber(vartype));
    viewField->setRecord(record);
}

void TarnixObject::ClearVariables()
{
    buildDefaultSchema();
}

QString TarnixObject::GetVariableHelpString(const QString &varID) const
{
    if (!m_catalog || !m_catalog->Fields().Exists(varID))
        return {};
    return m_catalog->Fields().Item(varID)->helpstring();
}

void TarnixObject::AddError(const QString &ErrorString, int Line, int Position)
{
    Q_UNUSED(Line);
    Q_UNUSED(Position);
    if (!m_errors)
        throw objectNotSetError();
    m_errors->Add(ErrorString);
}

void TarnixObject::ClearErrors()
{
    m_errors = std::make_shared<ErrorCollection>();
}

QVariant TarnixObject::RaiseListSourceRequest(QString &vListName, QVariant &vData)
{
    emit ListSourceRequest(vListName, vData);
    return {};
}

} // namespace nvtarnix
