#include "editor/NameChangeQuestion.h"

#include "support/MlStringModule.h"

#include <QMessageBox>
#include <QPushButton>

namespace nvtarnix::editor {

bool askKeepNameChanges(QWidget *parent, const QVector<NameChange> &changes)
{
    const auto text = [](int id) { return GetMlStringOrDefault(id, QString()); };
    QMessageBox box(QMessageBox::Warning, text(1406), text(1407).arg(nameChangeLines(changes)), QMessageBox::NoButton,
                    parent);
    box.setObjectName(QStringLiteral("msgNameChanges"));
    box.setTextFormat(Qt::PlainText);
    QPushButton *keep = box.addButton(text(1409), QMessageBox::AcceptRole);
    keep->setObjectName(QStringLiteral("cmdKeep"));
    QPushButton *goBack = box.addButton(text(1410), QMessageBox::RejectRole);
    goBack->setObjectName(QStringLiteral("cmdGoBack"));
    // Going back is the safe answer: Enter and Esc both give it.
    box.setDefaultButton(goBack);
    box.setEscapeButton(goBack);
    box.exec();
    return box.clickedButton() == keep;
}

} // namespace nvtarnix::editor
