#include "DemoHost.h"

#include "component/TarnixObjectAccess.h"
#include "support/MlStringModule.h"
#include "support/MlStringService.h"

#include <nvtarnix/SqlRecordset.h>

namespace tarnixdemo {

DemoHost::DemoHost(DemoDatabase &database, QObject *parent)
    : QObject(parent), m_database(database)
{
    rebuildBuilder();
}

DemoHost::~DemoHost() = default;

void DemoHost::setLanguage(int language)
{
    nvtarnix::MlStringService().setCurrentLanguage(qint16(language));
    rebuildBuilder();
}

void DemoHost::rebuildBuilder()
{
    // A builder takes its captions from the string service when it is made,
    // so a new language needs a new builder.
    auto builder = std::make_unique<nvtarnix::TarnixObject>();
    m_language = nvtarnix::CurrentLanguage();
    for (const DemoField &f : m_database.fields())
        builder->AddVariable(f.varID, f.vardescription, f.vartype, f.varsize, f.searchtype,
                             f.hasvaluelist, f.valuelist, f.listvalue, f.ListText, f.groupcaption,
                             f.sampledata, f.helpstring);
    builder->LoadDefaultFunctions();
    builder->setShowHelpString(true);
    connect(builder.get(), &nvtarnix::TarnixObject::ListSourceRequest, this,
            &DemoHost::answerListSourceRequest, Qt::DirectConnection);
    m_builder = std::move(builder);
}

QString DemoHost::displayForm(const QString &databaseForm)
{
    return m_builder->ConvertScriptFromDatabase(databaseForm);
}

std::optional<QString> DemoHost::edit(const QString &databaseForm)
{
    m_builder->setDatabaseScript(databaseForm);
    // Only an accepted run clears (replaces) the builder's error list.
    const auto errorsBefore = nvtarnix::TarnixObjectAccess::ErrorList(*m_builder);
    m_builder->Edit();
    if (nvtarnix::TarnixObjectAccess::ErrorList(*m_builder) == errorsBefore)
        return std::nullopt;
    return m_builder->DatabaseScript();
}

void DemoHost::answerListSourceRequest(QString &vListName, QVariant &vData)
{
    const QString query = m_database.valueListQuery(vListName, m_language);
    std::shared_ptr<nvtarnix::Recordset> rows =
        std::make_shared<nvtarnix::SqlRecordset>(m_database.database(), query);
    vData = QVariant::fromValue(rows);
}

} // namespace tarnixdemo
