#pragma once

#include "DemoHost.h"
#include "PendingEdits.h"
#include "RuleEvaluation.h"

#include <QHash>
#include <QMainWindow>
#include <QSet>

#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QTreeWidget;

namespace nvtarnix {
class Error;
}

namespace tarnixdemo {

class MatchesModel;

// The demo's window: the stored rules with their display form and how many
// orders each selects, the orders the selected rule selects below them, an
// Edit... button (and double-click) that opens the wizard on the selected
// rule, and a language switch. Every failure is shown in a message box;
// nothing the user accepted is dropped, even when the database refuses to
// store it: such edits stay marked "(not saved)" until a later try stores
// them, and quitting asks what to do with them.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(DemoDatabase &database, QWidget *parent = nullptr);
    ~MainWindow() override;

    DemoHost &host() { return m_host; }

    // Opens the wizard on a rule and stores what the user accepts. Returns
    // true when the user accepted.
    bool editRule(int id);
    void editSelectedRule();
    void setLanguage(int language);

    // Re-reads the rules, applies them to the orders and shows both; keeps
    // the selection.
    void refresh();
    int selectedRuleId() const;
    bool selectRule(int id);
    // The rule's expression as the user last accepted it: waiting to be saved
    // when the database refused it, otherwise as stored.
    QString pendingExpression(int id) const;
    bool hasUnsaved(int id) const { return m_pending.contains(id); }
    // Tries once more to store every edit waiting to be saved; true when
    // none is left waiting.
    bool saveAgain();
    // What the rule did to the orders when they were last applied; null for
    // a rule the list does not show.
    const RuleOutcome *outcome(int id) const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    enum class QuitAnswer { Retry, Discard, Stay };
    // Asks what to do with the edits waiting to be saved.
    QuitAnswer askAboutPendingEdits(const std::optional<nvtarnix::Error> &lastTry);
    bool mayClose();

    void retranslate();
    void loadValueListTexts();
    // Fills the rule list from what was read and applied last.
    void showRules();
    void showMatches();
    int indexOfRule(int id) const;
    QString ruleCaption(const Rule &rule) const;
    QString countText(const RuleOutcome &outcome) const;
    void showError(const nvtarnix::Error &error);

    DemoHost m_host;
    RuleEvaluator m_evaluator;
    PendingEdits m_pending;
    // As shown: the stored rules with their pending edits, then pending
    // rules that another program deleted (their ids are in m_deleted).
    QList<Rule> m_rulesShown;
    QSet<int> m_deleted;
    RuleEvaluation m_evaluation; // one outcome per rule shown

    QLabel *m_intro = nullptr;
    QTreeWidget *m_rules = nullptr;
    QLabel *m_matchesCaption = nullptr;
    QTableView *m_matches = nullptr;
    MatchesModel *m_matchesModel = nullptr;
    QSortFilterProxyModel *m_matchesOrder = nullptr;
    QLabel *m_ordersNote = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_saveAgain = nullptr;
    QLabel *m_languageLabel = nullptr;
    QComboBox *m_languages = nullptr;
};

} // namespace tarnixdemo
