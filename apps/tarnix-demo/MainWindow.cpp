#include "MainWindow.h"

#include "DemoTexts.h"
#include "MatchesModel.h"
#include "RulePlace.h"
#include "SampleOrders.h"

#include <nvtarnix/Error.h>

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>

#include <algorithm>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarnixdemo {

namespace {

constexpr int RuleIdRole = Qt::UserRole;

// Columns of the rule list. The count and where the rule runs are shown
// beside the name, before the expression, which takes the rest of the width.
enum RuleColumn { NameColumn, ExpressionColumn, OrdersColumn, RunsInColumn, RuleColumns };

// Sizes a column of the rule list to its texts. The view's own measure
// leaves Greek texts ("στη βάση δεδομένων") a few pixels short, so each text
// is measured with its font, and given a character's room besides its margins.
void fitColumn(QTreeWidget *list, int column)
{
    list->resizeColumnToContents(column);
    const int margin = 2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
    const int icon = list->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, list) + margin;
    int widest = list->header()->sectionSize(column);
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = list->topLevelItem(i);
        const QFontMetrics metrics(item->font(column));
        const int width = metrics.horizontalAdvance(item->text(column)) + margin + metrics.averageCharWidth()
                          + (item->icon(column).isNull() ? 0 : icon);
        widest = std::max(widest, width);
    }
    list->header()->resizeSection(column, widest);
}

// One evaluation of a rule should take microseconds; one that takes this
// long stops the rule instead of the window.
constexpr int RuleTimeoutMs = 1000;

nvtarnix::ExpressionOptions ruleOptions()
{
    nvtarnix::ExpressionOptions options;
    options.timeoutMs = RuleTimeoutMs;
    return options;
}

} // namespace

MainWindow::MainWindow(DemoDatabase &database, QWidget *parent)
    : QMainWindow(parent), m_host(database), m_evaluator(ruleOptions())
{
    setObjectName(QStringLiteral("frmDemo"));
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);

    m_intro = new QLabel(central);
    m_intro->setObjectName(QStringLiteral("lbIntro"));
    m_intro->setWordWrap(true);
    layout->addWidget(m_intro);

    auto *splitter = new QSplitter(Qt::Vertical, central);
    splitter->setObjectName(QStringLiteral("splRules"));
    splitter->setChildrenCollapsible(false);

    m_rules = new QTreeWidget(splitter);
    m_rules->setObjectName(QStringLiteral("lstRules"));
    m_rules->setColumnCount(RuleColumns);
    m_rules->setRootIsDecorated(false);
    m_rules->setUniformRowHeights(true);
    m_rules->setAllColumnsShowFocus(true);
    m_rules->header()->moveSection(OrdersColumn, ExpressionColumn);
    m_rules->header()->moveSection(RunsInColumn, ExpressionColumn + 1);
    m_rules->header()->setStretchLastSection(true);

    auto *matchesPane = new QWidget(splitter);
    auto *matchesLayout = new QVBoxLayout(matchesPane);
    matchesLayout->setContentsMargins(0, 0, 0, 0);
    m_matchesCaption = new QLabel(matchesPane);
    m_matchesCaption->setObjectName(QStringLiteral("lbMatches"));
    m_matchesCaption->setWordWrap(true);
    m_matchesCaption->setTextFormat(Qt::PlainText);
    m_matches = new QTableView(matchesPane);
    m_matches->setObjectName(QStringLiteral("tblMatches"));
    m_matchesModel = new MatchesModel(this);
    m_matchesOrder = new QSortFilterProxyModel(this);
    m_matchesOrder->setSourceModel(m_matchesModel);
    m_matchesOrder->setSortRole(MatchesModel::SortRole);
    m_matchesOrder->setSortLocaleAware(true);
    m_matches->setModel(m_matchesOrder);
    m_matches->setSortingEnabled(true);
    m_matches->sortByColumn(MatchesModel::Number, Qt::AscendingOrder);
    m_matches->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_matches->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_matches->setAlternatingRowColors(true);
    m_matches->setWordWrap(false);
    m_matches->verticalHeader()->hide();
    m_matches->verticalHeader()->setDefaultSectionSize(m_matches->fontMetrics().height() + 6);
    m_ordersNote = new QLabel(matchesPane);
    m_ordersNote->setObjectName(QStringLiteral("lbOrders"));
    m_ordersNote->setWordWrap(true);
    matchesLayout->addWidget(m_matchesCaption);
    matchesLayout->addWidget(m_matches, 1);
    matchesLayout->addWidget(m_ordersNote);

    splitter->addWidget(m_rules);
    splitter->addWidget(matchesPane);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    layout->addWidget(splitter, 1);

    auto *buttons = new QHBoxLayout;
    m_languageLabel = new QLabel(central);
    m_languages = new QComboBox(central);
    m_languages->setObjectName(QStringLiteral("cboLanguage"));
    m_languages->addItem(QStringLiteral("Ελληνικά"), nvtarnix::GreekLanguage);
    m_languages->addItem(QStringLiteral("English"), nvtarnix::EnglishLanguage);
    m_languageLabel->setBuddy(m_languages);
    m_saveAgain = new QPushButton(central);
    m_saveAgain->setObjectName(QStringLiteral("cmdSaveAgain"));
    m_edit = new QPushButton(central);
    m_edit->setObjectName(QStringLiteral("cmdEdit"));
    m_edit->setDefault(true);
    buttons->addWidget(m_languageLabel);
    buttons->addWidget(m_languages);
    buttons->addStretch(1);
    buttons->addWidget(m_saveAgain);
    buttons->addWidget(m_edit);
    layout->addLayout(buttons);
    setCentralWidget(central);

    m_languages->setCurrentIndex(m_languages->findData(m_host.language() == nvtarnix::EnglishLanguage ? nvtarnix::EnglishLanguage : nvtarnix::GreekLanguage));

    connect(m_edit, &QPushButton::clicked, this, &MainWindow::editSelectedRule);
    connect(m_saveAgain, &QPushButton::clicked, this, [this] { saveAgain(); });
    connect(m_rules, &QTreeWidget::itemActivated, this, [this] { editSelectedRule(); });
    connect(m_rules, &QTreeWidget::currentItemChanged, this, [this] { showMatches(); });
    connect(m_languages, &QComboBox::activated, this,
            [this](int index) { setLanguage(m_languages->itemData(index).toInt()); });

    retranslate();
    loadValueListTexts();
    refresh();
    if (m_rules->topLevelItemCount() > 0)
        m_rules->setCurrentItem(m_rules->topLevelItem(0));
    resize(960, 680);
}

MainWindow::~MainWindow() = default;

void MainWindow::retranslate()
{
    const int language = m_host.language();
    setWindowTitle(demoText(DemoText::WindowTitle, language));
    m_intro->setText(demoText(DemoText::Intro, language));
    m_rules->setHeaderLabels({demoText(DemoText::ColumnName, language),
                              demoText(DemoText::ColumnExpression, language),
                              demoText(DemoText::ColumnOrders, language),
                              demoText(DemoText::ColumnRunsIn, language)});
    m_edit->setText(demoText(DemoText::EditButton, language));
    m_saveAgain->setText(demoText(DemoText::RetryButton, language));
    m_languageLabel->setText(demoText(DemoText::LanguageLabel, language));
}

void MainWindow::loadValueListTexts()
{
    QHash<int, QString> countries, statuses;
    try {
        countries = m_host.database().valueListTexts(QStringLiteral("countries"), m_host.language());
        statuses = m_host.database().valueListTexts(QStringLiteral("order_statuses"), m_host.language());
    } catch (const nvtarnix::Error &) {
        // The table shows the codes instead; the wizard reports the list
        // itself when the user asks for it.
    }
    m_matchesModel->setLanguage(m_host.language(), countries, statuses);
}

void MainWindow::refresh()
{
    QList<Rule> stored;
    try {
        stored = m_host.database().rules();
    } catch (const nvtarnix::Error &e) {
        // Keep showing what was read last.
        showError(e);
        return;
    }

    m_rulesShown.clear();
    m_deleted.clear();
    for (Rule rule : stored) {
        if (const auto pending = m_pending.find(rule.id))
            rule.expression = pending->expression;
        m_rulesShown.append(rule);
    }
    for (const Rule &pending : m_pending.rules()) {
        const bool stillStored = std::any_of(stored.cbegin(), stored.cend(),
                                             [&](const Rule &r) { return r.id == pending.id; });
        if (!stillStored) {
            m_rulesShown.append(pending);
            m_deleted.insert(pending.id);
        }
    }

    QStringList expressions;
    for (const Rule &rule : std::as_const(m_rulesShown))
        expressions.append(rule.expression);
    try {
        m_evaluation = m_evaluator.evaluate(m_host.database(), expressions);
    } catch (const nvtarnix::Error &e) {
        // The orders cannot be read: every rule says so, and the window goes on.
        m_evaluation = {};
        m_evaluation.rules.resize(m_rulesShown.size());
        for (RuleOutcome &outcome : m_evaluation.rules) {
            outcome.kind = RuleOutcome::Kind::CannotRun;
            outcome.error = e;
        }
    }
    showRules();
}

QString MainWindow::ruleCaption(const Rule &rule) const
{
    const int language = m_host.language();
    if (m_deleted.contains(rule.id))
        return rule.name + QLatin1Char(' ') + demoText(DemoText::NotSavedDeleted, language);
    if (m_pending.contains(rule.id))
        return rule.name + QLatin1Char(' ') + demoText(DemoText::NotSaved, language);
    return rule.name;
}

QString MainWindow::countText(const RuleOutcome &outcome) const
{
    const int language = m_host.language();
    const QLocale locale = demoLocale(language);
    QString text;
    switch (outcome.kind) {
    case RuleOutcome::Kind::NoExpression:
        return demoText(DemoText::NoExpression, language);
    case RuleOutcome::Kind::CannotRun:
        return demoText(DemoText::CountError, language).arg(outcome.error ? outcome.error->number() : 0);
    case RuleOutcome::Kind::Condition:
        text = locale.toString(outcome.selected);
        break;
    case RuleOutcome::Kind::Value:
        text = demoText(DemoText::CountValue, language);
        break;
    }
    if (outcome.failed == 1)
        text += demoText(DemoText::FailuresOne, language).arg(outcome.error->number());
    else if (outcome.failed > 1)
        text += demoText(DemoText::FailuresMany, language)
                    .arg(outcome.error->number())
                    .arg(locale.toString(outcome.failed));
    return text;
}

void MainWindow::showRules()
{
    const int selected = selectedRuleId();
    const int language = m_host.language();
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    {
        // One selection change at the end, not one per row.
        const QSignalBlocker quiet(m_rules);
        m_rules->clear();
        for (int i = 0; i < m_rulesShown.size(); ++i) {
            const Rule &rule = m_rulesShown[i];
            const RuleOutcome &outcome = m_evaluation.rules.value(i);
            QString display;
            try {
                display = m_host.displayForm(rule.expression);
            } catch (const nvtarnix::Error &) {
                display = rule.expression;
            }
            auto *item = new QTreeWidgetItem(m_rules);
            item->setText(NameColumn, ruleCaption(rule));
            item->setText(ExpressionColumn, display);
            item->setText(OrdersColumn, countText(outcome));
            item->setData(NameColumn, RuleIdRole, rule.id);
            item->setToolTip(ExpressionColumn, rule.expression);
            item->setTextAlignment(OrdersColumn, Qt::AlignRight | Qt::AlignVCenter);
            item->setText(RunsInColumn, placeText(outcome, language));
            item->setToolTip(RunsInColumn, placeToolTip(outcome, language, [this](const QString &part) {
                                 try {
                                     return m_host.displayForm(part);
                                 } catch (const nvtarnix::Error &) {
                                     return part;
                                 }
                             }));
            if (outcome.error) {
                item->setIcon(OrdersColumn, warning);
                item->setToolTip(OrdersColumn, errorText(*outcome.error, language));
            }
        }
        for (const int column : {NameColumn, OrdersColumn, RunsInColumn})
            fitColumn(m_rules, column);
        if (selected != 0)
            selectRule(selected);
    }
    m_saveAgain->setVisible(!m_pending.isEmpty());
    // Where the data comes from, under the data; the status bar stays free
    // for what just happened.
    QString today = QStringLiteral("[TODAY]");
    try {
        today = m_host.displayForm(today);
    } catch (const nvtarnix::Error &) {
        // The field's database name says it as well.
    }
    QString note = demoText(DemoText::OrdersNote, language)
                       .arg(demoLocale(language).toString(int(m_evaluation.orders.size())),
                            demoLocale(language).toString(sampleToday(), QStringLiteral("dd/MM/yyyy")), today);
    if (m_host.database().ordersInMemory())
        note += QLatin1Char(' ') + demoText(DemoText::OrdersInMemory, language);
    note += QLatin1Char(' ') + demoText(DemoText::DatabaseStatus, language).arg(m_host.database().path());
    m_ordersNote->setText(note);
    showMatches();
}

int MainWindow::indexOfRule(int id) const
{
    for (int i = 0; i < m_rulesShown.size(); ++i)
        if (m_rulesShown[i].id == id)
            return i;
    return -1;
}

const RuleOutcome *MainWindow::outcome(int id) const
{
    const int i = indexOfRule(id);
    return i < 0 || i >= m_evaluation.rules.size() ? nullptr : &m_evaluation.rules[i];
}

void MainWindow::showMatches()
{
    const int language = m_host.language();
    const int i = indexOfRule(selectedRuleId());
    if (i < 0 || i >= m_evaluation.rules.size()) {
        m_matchesModel->clear();
        m_matchesCaption->setText(demoText(DemoText::MatchesNone, language));
        return;
    }
    const Rule &rule = m_rulesShown[i];
    const RuleOutcome &outcome = m_evaluation.rules[i];
    const QLocale locale = demoLocale(language);
    QString caption;
    switch (outcome.kind) {
    case RuleOutcome::Kind::NoExpression:
        caption = demoText(DemoText::MatchesNoExpression, language).arg(rule.name);
        break;
    case RuleOutcome::Kind::CannotRun:
        caption = demoText(DemoText::MatchesCannotRun, language)
                      .arg(rule.name)
                      .arg(outcome.error ? outcome.error->number() : 0)
                      .arg(outcome.error ? outcome.error->descriptionIn(language) : QString());
        break;
    case RuleOutcome::Kind::Condition:
        caption = demoText(DemoText::MatchesCondition, language)
                      .arg(rule.name, locale.toString(outcome.selected),
                           locale.toString(int(m_evaluation.orders.size())));
        break;
    case RuleOutcome::Kind::Value:
        caption = demoText(DemoText::MatchesValue, language)
                      .arg(rule.name, locale.toString(int(m_evaluation.orders.size())));
        break;
    }
    m_matchesCaption->setText(caption);
    m_matchesModel->show(m_evaluation.orders, outcome);
    // The result, when there is one, or else the customer takes the room left.
    QHeaderView *header = m_matches->horizontalHeader();
    const int wide = m_matchesModel->columnCount() > MatchesModel::Result ? MatchesModel::Result
                                                                           : MatchesModel::Customer;
    for (int c = 0; c < m_matchesModel->columnCount(); ++c)
        header->setSectionResizeMode(c, c == wide ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
}

int MainWindow::selectedRuleId() const
{
    const QTreeWidgetItem *item = m_rules->currentItem();
    return item ? item->data(NameColumn, RuleIdRole).toInt() : 0;
}

bool MainWindow::selectRule(int id)
{
    for (int i = 0; i < m_rules->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_rules->topLevelItem(i);
        if (item->data(NameColumn, RuleIdRole).toInt() == id) {
            m_rules->setCurrentItem(item);
            return true;
        }
    }
    return false;
}

QString MainWindow::pendingExpression(int id) const
{
    const auto pending = m_pending.find(id);
    return pending ? pending->expression : QString();
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
        // A pending edit is where the user left off, even when another
        // program deleted its rule meanwhile.
        const auto pending = m_pending.find(id);
        rule = pending ? *pending : m_host.database().rule(id);
        accepted = m_host.edit(rule.expression);
    } catch (const nvtarnix::Error &e) {
        showError(e);
        return false;
    }
    if (!accepted)
        return false;

    // Keep the accepted text until the database has it, so that a read-only
    // or locked file costs the user nothing.
    rule.expression = *accepted;
    m_pending.keep(rule);
    try {
        const bool recreated = m_pending.save(id, m_host.database());
        statusBar()->showMessage(
            demoText(recreated ? DemoText::RecreatedStatus : DemoText::SavedStatus, language)
                .arg(rule.name),
            recreated ? 0 : 5000);
    } catch (const nvtarnix::Error &e) {
        statusBar()->showMessage(demoText(DemoText::UnsavedStatus, language).arg(rule.name));
        refresh();
        showError(e);
        return true;
    }
    refresh();
    return true;
}

bool MainWindow::saveAgain()
{
    const int language = m_host.language();
    const PendingEdits::Report report = m_pending.saveAll(m_host.database());
    refresh();
    if (!report.recreated.isEmpty())
        statusBar()->showMessage(
            demoText(DemoText::RecreatedStatus, language).arg(report.recreated.last().name));
    else if (m_pending.isEmpty())
        statusBar()->showMessage(demoText(DemoText::AllSavedStatus, language), 5000);
    if (report.lastError)
        showError(*report.lastError);
    return m_pending.isEmpty();
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
    loadValueListTexts();
    // The texts change, what the rules select does not: no new evaluation.
    showRules();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (mayClose())
        event->accept();
    else
        event->ignore();
}

bool MainWindow::mayClose()
{
    std::optional<nvtarnix::Error> lastTry;
    while (!m_pending.isEmpty()) {
        switch (askAboutPendingEdits(lastTry)) {
        case QuitAnswer::Retry:
            lastTry = m_pending.saveAll(m_host.database()).lastError;
            refresh();
            break;
        case QuitAnswer::Discard:
            m_pending.clear();
            return true;
        case QuitAnswer::Stay:
            return false;
        }
    }
    return true;
}

MainWindow::QuitAnswer MainWindow::askAboutPendingEdits(const std::optional<nvtarnix::Error> &lastTry)
{
    const int language = m_host.language();
    QStringList names;
    for (const Rule &rule : m_pending.rules())
        names.append(QStringLiteral("• ") + rule.name
                     + (m_deleted.contains(rule.id)
                            ? QLatin1Char(' ') + demoText(DemoText::NotSavedDeleted, language)
                            : QString()));
    QString text = demoText(DemoText::QuitQuestion, language).arg(names.join(QLatin1Char('\n')));
    if (lastTry)
        text += QStringLiteral("\n\n")
                + demoText(DemoText::LastTryFailed, language)
                      .arg(lastTry->number())
                      .arg(lastTry->descriptionIn(language));

    QMessageBox box(QMessageBox::Warning, demoText(DemoText::ErrorTitle, language), text,
                    QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("msgUnsaved"));
    QPushButton *retry = box.addButton(demoText(DemoText::RetryButton, language), QMessageBox::AcceptRole);
    QPushButton *discard =
        box.addButton(demoText(DemoText::DiscardButton, language), QMessageBox::DestructiveRole);
    QPushButton *stay = box.addButton(demoText(DemoText::StayButton, language), QMessageBox::RejectRole);
    retry->setObjectName(QStringLiteral("cmdRetry"));
    discard->setObjectName(QStringLiteral("cmdDiscard"));
    stay->setObjectName(QStringLiteral("cmdStay"));
    box.setDefaultButton(retry);
    box.setEscapeButton(stay);
    box.exec();
    if (box.clickedButton() == retry)
        return QuitAnswer::Retry;
    if (box.clickedButton() == discard)
        return QuitAnswer::Discard;
    return QuitAnswer::Stay;
}

void MainWindow::showError(const nvtarnix::Error &error)
{
    const int language = m_host.language();
    QMessageBox box(QMessageBox::Critical, demoText(DemoText::ErrorTitle, language),
                    errorText(error, language),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("msgError"));
    box.exec();
}

} // namespace tarnixdemo
