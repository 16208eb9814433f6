#include "DemoHost.h"

#include <nvtarnix/Language.h>
#include <nvtarnix/SqlRecordset.h>

#include "SampleOrders.h"

namespace tarnixdemo {

DemoHost::DemoHost(DemoDatabase &database, QObject *parent)
    : QObject(parent), m_database(database)
{
    rebuildBuilder();
}

DemoHost::~DemoHost() = default;

void DemoHost::setLanguage(int language)
{
    nvtarnix::setUserInterfaceLanguage(language);
    rebuildBuilder();
}

void DemoHost::setGuidedEditing(bool on)
{
    m_guidedEditing = on;
    m_builder->setGuidedEditing(on);
}

void DemoHost::rebuildBuilder()
{
    // A builder takes its captions from the string service when it is made,
    // so a new language needs a new builder.
    auto builder = std::make_unique<nvtarnix::TarnixObject>();
    m_language = nvtarnix::userInterfaceLanguage();
    // The fields read in the user's language; the rules name them by varID,
    // so a stored rule shows in either.
    for (const DemoField &f : m_database.fields(m_language))
        builder->AddVariable(f.varID, f.vardescription, f.vartype, f.varsize, f.searchtype,
                             f.hasvaluelist, f.valuelist, f.listvalue, f.ListText, f.groupcaption,
                             f.sampledata, f.helpstring);
    builder->LoadDefaultFunctions();
    builder->setShowHelpString(true);
    // The demo shows the wizard as users expect it today.
    builder->setGuidedEditing(guidedEditing());
    connect(builder.get(), &nvtarnix::TarnixObject::ListSourceRequest, this,
            &DemoHost::answerListSourceRequest, Qt::DirectConnection);
    m_builder = std::move(builder);
}

QString DemoHost::displayForm(const QString &databaseForm)
{
    return m_builder->ConvertScriptFromDatabase(databaseForm);
}

nvtarnix::RowSource DemoHost::ordersRowSource() const
{
    // Orders kept in memory are on the demo's own connection only: a
    // second connection to the file would count none.
    if (m_database.ordersInMemory())
        return {};
    nvtarnix::RowSource orders;
    orders.connectionName = m_database.database().connectionName();
    orders.query = DemoDatabase::ordersSql();
    // As the rules are run over the orders (RuleEvaluator): date fields hold
    // ISO texts, and [TODAY] is the day the orders were taken.
    const QString today = QStringLiteral("TODAY");
    orders.columns.append({today, {}, nvtarnix::pushdown::Binding::RunConstant, sampleToday()});
    constexpr int DateType = 4;
    for (const DemoField &field : m_database.fields())
        if (field.vartype.toInt() == DateType && field.varID.compare(today, Qt::CaseInsensitive) != 0)
            orders.columns.append({field.varID, field.varID, nvtarnix::pushdown::Binding::SqliteIsoDate});
    return orders;
}

std::optional<QString> DemoHost::edit(const QString &databaseForm)
{
    m_builder->setDatabaseScript(databaseForm);
    // The connection may have been opened anew since the last edit.
    m_builder->setRowSource(ordersRowSource());
    if (!m_builder->Edit())
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
