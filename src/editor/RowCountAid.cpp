#include "editor/RowCountAid.h"

#include "check/ExpressionCheck.h"
#include "editor/EditorOwner.h"
#include "editor/EditorSession.h"
#include "editor/RowCountText.h"
#include "rows/RowCountRunner.h"
#include "support/FailureHandling.h"
#include "support/MlStringModule.h"

#include <nvtarnix/Language.h>

#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace nvtarnix::editor {

namespace {

// Greek until the string service has settled a language.
int uiLanguage()
{
    return CurrentLanguage() > 0 ? CurrentLanguage() : GreekLanguage;
}

QTreeWidget *rowList(QWidget *parent, const QString &name, QStringList header, const QList<rows::CountedRow> &rows,
                     bool withError)
{
    auto *list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setRootIsDecorated(false);
    if (withError)
        header.append(GetMlStringOrDefault(1611, QString()));
    list->setHeaderLabels(header);
    for (const rows::CountedRow &row : rows) {
        QStringList cells;
        for (const QVariant &value : row.values)
            cells.append(rowValueText(value));
        if (withError)
            cells.append(GetMlStringOrDefault(1209, QString()).arg(row.errorNumber).arg(row.error));
        list->addTopLevelItem(new QTreeWidgetItem(cells));
    }
    list->header()->resizeSections(QHeaderView::ResizeToContents);
    return list;
}

} // namespace

RowCountAid::RowCountAid(QWidget *area, EditorOwner &owner, EditorSession &session)
    : QObject(area), m_line(new QLabel(area)), m_button(new QToolButton(area)), m_owner(owner), m_session(session),
      m_source(owner.rowSource())
{
    m_line->setObjectName(QStringLiteral("lblRowCount"));
    m_line->setTextFormat(Qt::PlainText);
    m_line->setFocusPolicy(Qt::NoFocus);
    m_line->setToolTip(GetMlStringOrDefault(1612, QString()));
    m_line->setWordWrap(false);
    m_line->setMinimumWidth(0);
    m_line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_button->setObjectName(QStringLiteral("cmdRows"));
    m_button->setText(GetMlStringOrDefault(1607, QString()));
    m_button->setToolTip(GetMlStringOrDefault(1613, QString()));
    m_button->setAutoRaise(true);
    m_button->setEnabled(false);
    m_runner = new rows::RowCountRunner(this);
    connect(m_runner, &rows::RowCountRunner::counted, this, [this](const rows::RowCount &count) { show(count); });
    connect(m_button, &QToolButton::clicked, this, [this] { m_session.runHandler([this] { showRows(); }); });
}

void RowCountAid::start(const QString &displayText)
{
    if (displayText.trimmed().isEmpty()) {
        m_runner->cancel();
        show({});
        return;
    }
    rows::RowCountJob job;
    // A reference that is no variable stays as written, and the count says
    // it is no column; a conversion that fails leaves the last count shown.
    try {
        job.databaseText = m_owner.toDatabaseForm(displayText);
    } catch (...) {
        logSkippedFailure();
        return;
    }
    job.source = m_source;
    job.language = uiLanguage();
    job.now = QDateTime::currentDateTime();
    job.rowTimeoutMs = check::kCheckTimeoutMs;
    m_runner->request(std::move(job));
}

void RowCountAid::show(const rows::RowCount &count)
{
    m_last = count;
    m_line->setText(rowCountText(count, uiLanguage()));
    m_button->setEnabled(!count.selectedRows.isEmpty() || !count.failedRows.isEmpty());
}

QDialog *RowCountAid::showRows()
{
    delete m_rows;
    m_rows = new QDialog(m_line->window());
    m_rows->setObjectName(QStringLiteral("frmRows"));
    m_rows->setAttribute(Qt::WA_DeleteOnClose);
    m_rows->setWindowTitle(GetMlStringOrDefault(1608, QString()));
    // The columns under the names the user writes: the variables' display
    // names where the view has them.
    QStringList header;
    for (const QString &variable : m_last.columns) {
        QString shown = variable;
        skipOnError([&] {
            const QString display = m_owner.toDisplayForm(QLatin1Char('[') + variable + QLatin1Char(']'));
            if (display.startsWith(QLatin1Char('[')) && display.endsWith(QLatin1Char(']')))
                shown = display.mid(1, display.size() - 2);
        });
        header.append(shown);
    }
    auto *layout = new QVBoxLayout(m_rows);
    layout->addWidget(new QLabel(GetMlStringOrDefault(1609, QString()), m_rows));
    layout->addWidget(rowList(m_rows, QStringLiteral("lvSelectedRows"), header, m_last.selectedRows, false));
    layout->addWidget(new QLabel(GetMlStringOrDefault(1610, QString()), m_rows));
    layout->addWidget(rowList(m_rows, QStringLiteral("lvFailedRows"), header, m_last.failedRows, true));
    m_rows->resize(560, 420);
    m_rows->show();
    return m_rows;
}

void RowCountAid::place(QPlainTextEdit *script)
{
    const QRect area = script->geometry();
    const int height = std::min(std::max(m_line->sizeHint().height(), m_button->sizeHint().height()), area.height());
    const int buttonWidth = std::min(m_button->sizeHint().width(), area.width() / 2);
    script->setGeometry(area.adjusted(0, 0, 0, -height));
    m_line->setGeometry(area.left(), area.bottom() + 1 - height, area.width() - buttonWidth, height);
    m_button->setGeometry(area.right() + 1 - buttonWidth, area.bottom() + 1 - height, buttonWidth, height);
}

} // namespace nvtarnix::editor
