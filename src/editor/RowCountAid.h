#pragma once

#include "rows/RowCount.h"

#include <nvtarnix/RowSource.h>

#include <QObject>
#include <QPointer>

class QDialog;
class QLabel;
class QPlainTextEdit;
class QToolButton;
class QWidget;

namespace nvtarnix::rows {
class RowCountRunner;
}

namespace nvtarnix::editor {

class EditorOwner;
class EditorSession;

// The count of the host's rows under the script: after a typing pause the
// text in database form is counted off the UI thread against the rows the
// host gave ("selects 146 of 2,400"); a button beside it lists the first rows
// the rule selects and the first on which it fails. A newer pause cancels
// the older count.
class RowCountAid : public QObject
{
    Q_OBJECT
public:
    // The line and the button are created in area; the owner and the session
    // outlive the aid.
    RowCountAid(QWidget *area, EditorOwner &owner, EditorSession &session);

    QLabel *line() const { return m_line; }
    QToolButton *rowsButton() const { return m_button; }
    rows::RowCountRunner *runner() const { return m_runner; }
    const rows::RowCount &lastCount() const { return m_last; }

    // Counts the display text; a newer call replaces what still runs.
    void start(const QString &displayText);
    // The list of the last count's rows, a window of its own.
    QDialog *showRows();
    // Gives the line the bottom of the script box's area.
    void place(QPlainTextEdit *script);

private:
    void show(const rows::RowCount &count);

    QLabel *m_line;
    QToolButton *m_button;
    rows::RowCountRunner *m_runner;
    EditorOwner &m_owner;
    EditorSession &m_session;
    RowSource m_source;
    rows::RowCount m_last;
    QPointer<QDialog> m_rows;
};

} // namespace nvtarnix::editor
