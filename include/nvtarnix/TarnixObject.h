#pragma once

#include <nvtarnix/Export.h>
#include <nvtarnix/Error.h>
#include <nvtarnix/KeyedCollection.h>
#include <nvtarnix/NameAmbiguity.h>
#include <nvtarnix/RowSource.h>
#include <nvtarnix/Schema.h>

#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>

// The function catalog is a pugixml document; a host that reads or edits it
// includes <pugixml.hpp> itself.
namespace pugi {
class xml_document;
}

namespace nvtarnix {

// The expression wizard as a host sees it. The host binds it to its schema
// and view, fills the variable and function catalogs, sets the expression and
// reads it back. Expressions exist in two forms: the display form names a
// variable by its caption ("[Customer.Name]"), the database form by its ID
// ("[CUST_NAME]"). Failures are thrown as nvtarnix::Error.
//
// Every property is also reachable by its name through Qt's meta-object
// system; methods are invokable by name.
class NVTARNIX_EXPORT TarnixObject : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Script READ Script WRITE setScript)
    Q_PROPERTY(QString DatabaseScript READ DatabaseScript WRITE setDatabaseScript)
    Q_PROPERTY(QString CurrentView READ CurrentView WRITE setCurrentView)
    Q_PROPERTY(QString CurrentCatalog READ CurrentCatalog WRITE setCurrentCatalog)
    Q_PROPERTY(bool ShowHelpString READ ShowHelpString WRITE setShowHelpString)
    Q_PROPERTY(QString FunctionRoot READ FunctionRoot WRITE setFunctionRoot)
    Q_PROPERTY(QString VariableRoot READ VariableRoot WRITE setVariableRoot)
    Q_PROPERTY(QString EditorTitle READ EditorTitle WRITE setEditorTitle)
    Q_PROPERTY(QString FunctionCaption READ FunctionCaption WRITE setFunctionCaption)
    Q_PROPERTY(QString VariableCaption READ VariableCaption WRITE setVariableCaption)
    Q_PROPERTY(bool ListButtonVisible READ ListButtonVisible WRITE setListButtonVisible)
    Q_PROPERTY(bool RemoveNewLine READ RemoveNewLine WRITE setRemoveNewLine)
    Q_PROPERTY(bool GuidedEditing READ GuidedEditing WRITE setGuidedEditing)

public:
    explicit TarnixObject(QObject *parent = nullptr);
    ~TarnixObject() override;

    // The expression in display form; setting it derives DatabaseScript.
    QString Script() const;
    void setScript(const QString &value);
    // The expression in database form; setting it derives Script.
    QString DatabaseScript() const;
    void setDatabaseScript(const QString &value);

    // Setting either ID runs Init(); a changed ID drops the object resolved
    // for the old one first.
    QString CurrentView() const;
    void setCurrentView(const QString &value);
    QString CurrentCatalog() const;
    void setCurrentCatalog(const QString &value);

    // The host's schema. Setting it keeps the catalog and view already
    // resolved; call Init with both IDs to resolve them in the new schema.
    std::shared_ptr<nvtarnix::Schema> BuilderSchema() const;
    void setBuilderSchema(std::shared_ptr<nvtarnix::Schema> value);

    // The function catalog document, shared, not copied.
    std::shared_ptr<pugi::xml_document> FunctionXml() const;
    void setFunctionXml(std::shared_ptr<pugi::xml_document> value);

    bool ShowHelpString() const;
    void setShowHelpString(bool value);
    QString FunctionRoot() const;
    void setFunctionRoot(const QString &value);
    QString VariableRoot() const;
    void setVariableRoot(const QString &value);
    QString EditorTitle() const;
    void setEditorTitle(const QString &value);
    QString FunctionCaption() const;
    void setFunctionCaption(const QString &value);
    QString VariableCaption() const;
    void setVariableCaption(const QString &value);
    bool ListButtonVisible() const;
    void setListButtonVisible(bool value);
    // Whether the conversions turn line breaks into blanks.
    bool RemoveNewLine() const;
    void setRemoveNewLine(bool value);
    // What users expect of an editor today, on top of the wizard as it has
    // always been: a name the view or the engine does not know is marked
    // and fails the check and OK (with the name it was probably meant to
    // be), a date or number compared with text is a warning, a passing check
    // says so, a failing one selects where the user's own text went wrong,
    // Esc cancels and Ctrl+Enter accepts, the text has the focus on opening,
    // the window keeps its size and place per user, large views open with
    // their groups collapsed, and the value list follows the caret and makes
    // a whole comparison of the code picked. False by default: the wizard
    // then behaves exactly as it always has.
    bool GuidedEditing() const;
    void setGuidedEditing(bool value);

    // The host's rows, which the editor counts the expression against while
    // it is written (nvtarnix/RowSource.h); a null RowSource, the default,
    // shows no count. Set before Edit().
    RowSource rowSource() const;
    void setRowSource(const RowSource &source);

    // Shows the modal expression editor over the current view and Script.
    // When the user accepts, Script and DatabaseScript both hold the edited
    // text in database form, the error list is cleared and Edit returns true;
    // Cancel and the close box change nothing and return false, so a host
    // knows whether to store DatabaseScript even when the text is unchanged.
    // An error drops the editor window and reaches the caller with its
    // number, source and description.
    Q_INVOKABLE bool Edit();

    // Stores non-empty IDs (dropping what was resolved for the old ones) and
    // resolves the catalog and view that are not held yet. Without a schema:
    // error 102.
    Q_INVOKABLE void Init(QString vCatalog = {}, QString vView = {});

    // Without a current view: error 101.
    Q_INVOKABLE QString ConvertScriptToDatabase(const QString &vScriptText);
    Q_INVOKABLE QString ConvertScriptFromDatabase(const QString &vScriptText);

    // The names of the current view that a script cannot tell apart: the
    // same display name twice (as written, through the dots of a group and
    // a caption, or in other letter case), a display name that is another
    // variable's "[ID]", and captions holding a bracket. Each comes with the
    // variables involved. A rule that names one of them may be converted to
    // another variable than the user meant, so a host shows them to whoever
    // keeps the schema. Empty without a current view.
    QList<nvtarnix::NameAmbiguity> NameAmbiguities() const;

    // Replaces the function catalog by the built-in VBScript functions.
    Q_INVOKABLE void LoadDefaultFunctions();
    // Appends a function to its interface (created with its name as caption
    // when missing). Always returns an empty value.
    Q_INVOKABLE QVariant AddFunction(const QString &FunctionInterface, const QString &FunctionName,
                                     const QString &FunctionDeclaration, const QString &FunctionDeclText,
                                     const QString &FunctionHelpString, bool FunctionVisible = true);
    // Replaces the function catalog by an empty one.
    Q_INVOKABLE void ClearFunctions();

    // Writes a variable into the current catalog and view. vartype,
    // searchtype and hasvaluelist must read as numbers (error 13 otherwise).
    Q_INVOKABLE void AddVariable(const QString &varID, const QString &vardescription,
                                 const QString &vartype, const QString &varsize,
                                 const QString &searchtype = QStringLiteral("3"),
                                 const QString &hasvaluelist = QStringLiteral("0"),
                                 const QString &valuelist = {}, const QString &listvalue = {},
                                 const QString &ListText = {}, const QString &groupcaption = {},
                                 const QString &sampledata = {}, const QString &helpstring = {});
    // Starts over on a new default schema; a host schema is released, not
    // emptied.
    Q_INVOKABLE void ClearVariables();

    // Texts the editor marks as errors in the expression. Line and Position
    // are accepted for the host's convenience and not kept.
    Q_INVOKABLE void AddError(const QString &ErrorString, int Line = 0, int Position = 0);
    Q_INVOKABLE void ClearErrors();

signals:
    // Asks the host for the rows of a value list: the host puts a
    // std::shared_ptr<nvtarnix::Recordset> into vData. Connect directly.
    void ListSourceRequest(QString &vListName, QVariant &vData);

private:
    friend class TarnixObjectAccess;

    using ErrorCollection = KeyedCollection<QString>;

    // Operations for the component's own windows.
    std::shared_ptr<ErrorCollection> ErrorList() const;
    QVariant RaiseListSourceRequest(QString &vListName, QVariant &vData);
    QString GetVariableHelpString(const QString &varID) const;
    QString GetFunctionHelpString(const QString &name) const;
    QString GetFunctionXmlText();
    std::shared_ptr<nvtarnix::View> CurrentViewObject() const;

    void buildDefaultSchema();
    pugi::xml_document &functionCatalog() const;

    // The builder's state: its schema, the catalog and view resolved in it,
    // the texts, the function catalog, the editor window and the conversion
    // cache. Hidden here so that hosts see neither the window nor pugixml.
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace nvtarnix
