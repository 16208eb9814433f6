#include <nvtarnix/TarnixObject.h>

#include "support/FailureHandling.h"
#include "schema/BracketReplacer.h"
#include "schema/NameAmbiguities.h"
#include "component/FunctionCatalog.h"
#include "component/VariableNumber.h"
#include "support/ComponentErrors.h"
#include "component/ViewConversion.h"
#include "component/BuilderEditorOwner.h"
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

struct TarnixObject::Private
{
    // Created by the first Edit and kept for the next.
    std::unique_ptr<frmEditor> editor;
    std::shared_ptr<Schema> BuilderSchema;
    QString CurrentCatalog;
    std::shared_ptr<Catalog> catalog;
    QString CurrentView;
    std::shared_ptr<View> view;
    QString Script;
    QString DatabaseScript;
    bool ListButtonVisible = true;
    QString VariableCaption;
    QString FunctionCaption;
    QString EditorTitle;
    QString VariableRoot;
    QString FunctionRoot;
    std::shared_ptr<pugi::xml_document> FunctionXml;
    bool ShowHelpString = false;
    std::shared_ptr<ErrorCollection> errors;
    bool RemoveNewLine = true;
    bool GuidedEditing = false;
    RowSource rows;
    // Keeps what the conversions work out from the view until it changes.
    ViewConversion conversion;
};

TarnixObject::TarnixObject(QObject *parent)
    : QObject(parent), d(std::make_unique<Private>())
{
    MainModule();
    InitLanguage(0);
    buildDefaultSchema();
    d->FunctionXml = std::make_shared<pugi::xml_document>();
    d->VariableCaption = GetMlString(17, QString());
    d->FunctionCaption = GetMlString(18, QString());
    d->EditorTitle = GetMlString(19, QString());
    d->ListButtonVisible = true;
    d->VariableRoot = GetMlString(20, QString());
    d->FunctionRoot = GetMlString(21, QString());
    d->RemoveNewLine = true;
    d->errors = std::make_shared<ErrorCollection>();
}

TarnixObject::~TarnixObject()
{
    // Released in this order; none of it can fail.
    d->editor.reset();
    d->FunctionXml.reset();
    d->catalog.reset();
    d->view.reset();
    d->BuilderSchema.reset();
    d->errors.reset();
}

bool TarnixObject::Edit()
{
    try {
        if (!d->editor)
            d->editor = std::make_unique<frmEditor>();
        // The window reads the builder through its own view of it, for this
        // run only.
        BuilderEditorOwner owner(*this);
        d->editor->setOwner(&owner);
        if (d->editor->WindowOpen(d->view, d->Script) != QDialog::Accepted)
            return false;
        d->DatabaseScript = ConvertScriptToDatabase(d->Script);
        ClearErrors();
        return true;
    } catch (const std::exception &error) {
        SaveError(error);
        d->editor.reset();
        RaiseSavedError();
    }
}

RowSource TarnixObject::rowSource() const { return d->rows; }
void TarnixObject::setRowSource(const RowSource &source) { d->rows = source; }
QString TarnixObject::Script() const { return d->Script; }
QString TarnixObject::DatabaseScript() const { return d->DatabaseScript; }
QString TarnixObject::CurrentView() const { return d->CurrentView; }
QString TarnixObject::CurrentCatalog() const { return d->CurrentCatalog; }
std::shared_ptr<Schema> TarnixObject::BuilderSchema() const { return d->BuilderSchema; }
void TarnixObject::setBuilderSchema(std::shared_ptr<Schema> value) { d->BuilderSchema = std::move(value); }
std::shared_ptr<pugi::xml_document> TarnixObject::FunctionXml() const { return d->FunctionXml; }
void TarnixObject::setFunctionXml(std::shared_ptr<pugi::xml_document> value) { d->FunctionXml = std::move(value); }
bool TarnixObject::ShowHelpString() const { return d->ShowHelpString; }
void TarnixObject::setShowHelpString(bool value) { d->ShowHelpString = value; }
QString TarnixObject::FunctionRoot() const { return d->FunctionRoot; }
void TarnixObject::setFunctionRoot(const QString &value) { d->FunctionRoot = value; }
QString TarnixObject::VariableRoot() const { return d->VariableRoot; }
void TarnixObject::setVariableRoot(const QString &value) { d->VariableRoot = value; }
QString TarnixObject::EditorTitle() const { return d->EditorTitle; }
void TarnixObject::setEditorTitle(const QString &value) { d->EditorTitle = value; }
QString TarnixObject::FunctionCaption() const { return d->FunctionCaption; }
void TarnixObject::setFunctionCaption(const QString &value) { d->FunctionCaption = value; }
QString TarnixObject::VariableCaption() const { return d->VariableCaption; }
void TarnixObject::setVariableCaption(const QString &value) { d->VariableCaption = value; }
bool TarnixObject::ListButtonVisible() const { return d->ListButtonVisible; }
void TarnixObject::setListButtonVisible(bool value) { d->ListButtonVisible = value; }
bool TarnixObject::RemoveNewLine() const { return d->RemoveNewLine; }
void TarnixObject::setRemoveNewLine(bool value) { d->RemoveNewLine = value; }
bool TarnixObject::GuidedEditing() const { return d->GuidedEditing; }
void TarnixObject::setGuidedEditing(bool value) { d->GuidedEditing = value; }

QList<NameAmbiguity> TarnixObject::NameAmbiguities() const
{
    return findNameAmbiguities(variablesOfView(d->view.get()));
}
std::shared_ptr<TarnixObject::ErrorCollection> TarnixObject::ErrorList() const { return d->errors; }
std::shared_ptr<View> TarnixObject::CurrentViewObject() const { return d->view; }

void TarnixObject::buildDefaultSchema()
{
    d->catalog.reset();
    d->view.reset();
    d->BuilderSchema = std::make_shared<Schema>();
    d->BuilderSchema->LoadFromText(QString::fromUtf8(DefaultSchemaDocument));
    setCurrentCatalog(QStringLiteral("_defaultcatalog"));
    setCurrentView(QStringLiteral("_defaultview"));
}

void TarnixObject::setScript(const QString &value)
{
    d->Script = value;
    d->DatabaseScript = ConvertScriptToDatabase(value);
}

void TarnixObject::setDatabaseScript(const QString &value)
{
    d->DatabaseScript = value;
    d->Script = ConvertScriptFromDatabase(value);
}

void TarnixObject::setCurrentView(const QString &value)
{
    if (value != d->CurrentView)
        d->view.reset();
    d->CurrentView = value;
    Init();
}

void TarnixObject::setCurrentCatalog(const QString &value)
{
    if (value != d->CurrentCatalog)
        d->catalog.reset();
    d->CurrentCatalog = value;
    Init();
}

void TarnixObject::Init(QString vCatalog, QString vView)
{
    if (!vCatalog.isEmpty()) {
        d->CurrentCatalog = vCatalog;
        d->catalog.reset();
    }
    if (!vView.isEmpty()) {
        d->CurrentView = vView;
        d->view.reset();
    }
    if (!d->BuilderSchema)
        throw componentError(ComponentError::SchemaNotInitialized);
    if (!d->BuilderSchema->IsOpen())
        d->BuilderSchema->Open();
    if (!d->catalog && !d->CurrentCatalog.isEmpty())
        d->catalog = d->BuilderSchema->GetCatalog(d->CurrentCatalog);
    if (!d->view && !d->CurrentView.isEmpty()) {
        if (!d->catalog)
            throw objectNotSetError();
        d->view = d->catalog->Views().Item(d->CurrentView);
    }
}

QString TarnixObject::ConvertScriptToDatabase(const QString &vScriptText)
{
    QString text = vScriptText;
    if (!d->view)
        throw componentError(ComponentError::CurrentViewMissing);
    if (!text.isEmpty())
        text = d->conversion.convert(text, d->view, ViewConversion::Direction::ToDatabase);
    return d->RemoveNewLine ? RemoveLineBreaks(text) : text;
}

QString TarnixObject::ConvertScriptFromDatabase(const QString &vScriptText)
{
    if (!d->view)
        throw componentError(ComponentError::CurrentViewMissing);
    QString text = vScriptText;
    if (!text.isEmpty())
        text = d->conversion.convert(text, d->view, ViewConversion::Direction::FromDatabase);
    return d->RemoveNewLine ? RemoveLineBreaks(text) : text;
}

pugi::xml_document &TarnixObject::functionCatalog() const
{
    if (!d->FunctionXml)
        throw objectNotSetError();
    return *d->FunctionXml;
}

void TarnixObject::LoadDefaultFunctions()
{
    d->FunctionXml = FunctionCatalog::loadBuiltin();
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
    d->FunctionXml = std::make_shared<pugi::xml_document>();
}

QString TarnixObject::GetFunctionHelpString(const QString &name) const
{
    if (!d->FunctionXml)
        return {};
    return FunctionCatalog::helpString(*d->FunctionXml, name);
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
    if (!d->catalog)
        throw objectNotSetError();
    const auto catalogField = d->catalog->AddField(varID, vardescription, vartype, varsize);
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

    if (!d->view)
        throw objectNotSetError();
    const auto viewField = d->view->AddField(varID, vardescription);
    viewField->setVartype(VariableNumber(vartype));
    viewField->setRecord(record);
}

void TarnixObject::ClearVariables()
{
    buildDefaultSchema();
}

QString TarnixObject::GetVariableHelpString(const QString &varID) const
{
    if (!d->catalog || !d->catalog->Fields().Exists(varID))
        return {};
    return d->catalog->Fields().Item(varID)->helpstring();
}

void TarnixObject::AddError(const QString &ErrorString, int Line, int Position)
{
    Q_UNUSED(Line);
    Q_UNUSED(Position);
    if (!d->errors)
        throw objectNotSetError();
    d->errors->Add(ErrorString);
}

void TarnixObject::ClearErrors()
{
    d->errors = std::make_shared<ErrorCollection>();
}

QVariant TarnixObject::RaiseListSourceRequest(QString &vListName, QVariant &vData)
{
    emit ListSourceRequest(vListName, vData);
    return {};
}

} // namespace nvtarnix
