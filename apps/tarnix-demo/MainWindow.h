#pragma once

#include "DemoHost.h"

#include <QHash>
#include <QMainWindow>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace nvtarnix {
class Error;
}

namespace tarnixdemo {

// The demo's window: the stored rules with their display form, an Edit...
// button (and double-click) that opens the wizard on the selected rule, and a
// language switch. Every failure is shown in a message box; nothing the user
// accepted is dropped, even when the database refuses to store it.
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

    // Re-reads the rules and shows them; keeps the selection.
    void refresh();
    int selectedRuleId() const;
    bool selectRule(int id);
    // The rule's expression as the user last accepted it: waiting to be saved
    // when the database refused it, otherwise as stored.
    QString pendingExpression(int id) const { return m_unsaved.value(id); }
    bool hasUnsaved(int id) const { return m_unsaved.contains(id); }

private:
    void retranslate();
    void showError(const nvtarnix::Error &error);

    DemoHost m_host;
    QLabel *m_intro = nullptr;
    QTreeWidget *m_rules = nullptr;
    QPushButton *m_edit = nullptr;
    QLabel *m_languageLabel = nullptr;
    QComboBox *m_languages = nullptr;
    QLabel *m_status = nullptr;
    // Accepted expressions the database did not take, by rule id.
    QHash<int, QString> m_unsaved;
};

} // namespace tarnixdemo
