#include "MainWindow.h"

#include "DemoTexts.h"

#include <nvtarnix/Error.h>

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarnixdemo {

namespace {
constexpr int RuleIdRole = Qt::UserRole;
}

MainWindow::MainWindow(DemoDatabase &database, QWidget *parent)
    : QMainWindow(parent), m_host(database)
{
    setObjectName(QStringLiteral("frmDemo"));
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);

    m_intro = new QLabel(central);
    m_intro->setObjectName(QStringLiteral("lbIntro"));
    m_intro->setWordWrap(true);
    layout->addWidget(m_intro);

    m_rules = new QTreeWidget(central);
    m_rules->setObjectName(QStringLiteral("lstRules"));
    m_rules->setColumnCount(2);
    m_rules->setRootIsDecorated(false);
    m_rules->setUniformRowHeights(true);
    m_rules->setAllColumnsShowFocus(true);
    m_rules->header()->setStretchLastSection(true);
    layout->addWidget(m_rules, 1);

    auto *buttons = new QHBoxLayout;
    m_languageLabel = new QLabel(central);
    m_languages = new QComboBox(central);
    m_languages->setObjectName(QStringLiteral("cboLanguage"));
    m_languages->addItem(QStringLiteral("Ελληνικά"), Greek);
    m_languages->addItem(QStringLiteral("English"), English);
    m_languageLabel->setBuddy(m_languages);
    m_edit = new QPushButton(central);
    m_edit->setObjectName(QStringLiteral("cmdEdit"));
    m_edit->setDefault(true);
    buttons->addWidget(m_languageLabel);
    buttons->addWidget(m_languages);
    buttons->addStretch(1);
    buttons->addWidget(m_edit);
    layout->addLayout(buttons);
    setCentralWidget(central);

    m_status = new QLabel(this);
    statusBar()->addPermanentWidget(m_status);

    m_languages->setCurrentIndex(m_languages->findData(m_host.language() == English ? English : Greek));

    connect(m_edit, &QPushButton::clicked, this, &MainWindow::editSelectedRule);
    connect(m_rules, &QTreeWidget::itemActivated, this, [this] { editSelectedRule(); });
    connect(m_languages, &QComboBox::activated, this,
            [this](int index) { setLanguage(m_languages->itemData(index).toInt()); });

    retranslate();
    refresh();
    if (m_rules->topLevelItemCount() > 0)
        m_rules->setCurrentItem(m_rules->topLevelItem(0));
    resize(760, 420);
}

MainWindow::~MainWindow() = default;

void MainWindow::retranslate()
{
    const int language = m_host.language();
    setWindowTitle(demoText(DemoText::WindowTitle, language));
    m_intro->setText(demoText(DemoText::Intro, language));
    m_rules->setHeaderLabels({demoText(DemoText::ColumnName, language),
                              demoText(DemoText::ColumnExpression, language)});
    m_edit->setText(demoText(DemoText::EditButton, language));
    m_languageLabel->setText(demoText(DemoText::LanguageLabel, language));
    m_status->setText(demoText(DemoText::DatabaseStatus, language).arg(m_host.database().path()));
}

void MainWindow::refresh()
{
    const int selected = selectedRuleId();
    const int language = m_host.language();
    try {
        const QList<Rule> rules = m_host.database().rules();
        m_rules->clear();
        for (const Rule &rule : rules) {
            const bool unsaved = m_unsaved.contains(rule.id);
            const QString expression = unsaved ? m_unsaved.value(rule.id) : rule.expression;
            QString name = rule.name;
            if (unsaved)
                name += QLatin1Char(' ') + demoText(DemoText::NotSaved, language);
            auto *item = new QTreeWidgetItem(m_rules, {name, m_host.displayForm(expression)});
            item->setData(0, RuleIdRole, rule.id);
            item->setToolTip(1, expression);
        }
        m_rules->resizeColumnToContents(0);
    } catch (const nvtarnix::Error &e) {
        showError(e);
    }
    if (selected != 0)
        selectRule(selected);
}

int MainWindow::selectedRuleId() const
{
    const QTreeWidgetItem *item = m_rules->currentItem();
    return item ? item->data(0, RuleIdRole).toInt() : 0;
}

bool MainWindow::selectRule(int id)
{
    for (int i = 0; i < m_rules->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_rules->topLevelItem(i);
        if (item->data(0, RuleIdRole).toInt() == id) {
            m_rules->setCurrentItem(item);
            return true;
        }
    }
    return false;
}

void MainWindow::editSelectedRule()
{
    if (const int id = selectedRuleId())
        editRule(id);
}

bool MainWindow::editRule(int id)
{
    const int language = m_host.language();
    std::optional<QString> accepted;
    Rule rule;
    try {
        rule = m_host.database().rule(id);
        const QString start = m_unsaved.contains(id) ? m_unsaved.value(id) : rule.expression;
        accepted = m_host.edit(start);
    } catch (const nvtarnix::Error &e) {
        showError(e);
        return false;
    }
    if (!accepted)
        return false;

    // Keep the accepted text in memory until the database has it, so that a
    // read-only or locked file costs the user nothing.
    m_unsaved.insert(id, *accepted);
    try {
        m_host.database().saveRuleExpression(id, *accepted);
        m_unsaved.remove(id);
        statusBar()->showMessage(demoText(DemoText::SavedStatus, language).arg(rule.name), 5000);
    } catch (const nvtarnix::Error &e) {
        statusBar()->showMessage(demoText(DemoText::UnsavedStatus, language).arg(rule.name));
        refresh();
        showError(e);
        return true;
    }
    refresh();
    return true;
}

void MainWindow::setLanguage(int language)
{
    try {
        m_host.setLanguage(language);
    } catch (const nvtarnix::Error &e) {
        showError(e);
    }
    const int index = m_languages->findData(m_host.language());
    if (index >= 0)
        m_languages->setCurrentIndex(index);
    retranslate();
    refresh();
}

void MainWindow::showError(const nvtarnix::Error &error)
{
    const int language = m_host.language();
    QMessageBox box(QMessageBox::Critical, demoText(DemoText::ErrorTitle, language),
                    demoText(DemoText::ErrorMessage, language)
                        .arg(error.number())
                        .arg(error.description()),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("msgError"));
    box.exec();
}

} // namespace tarnixdemo
