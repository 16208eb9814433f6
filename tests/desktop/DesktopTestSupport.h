#pragma once

#include <nvtarnix/MemoryRecordset.h>
#include <nvtarnix/TarnixObject.h>

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include <QWidget>

#include "WindowVisit.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace desktop {

constexpr int Greek = 1032;
constexpr int English = 1033;

// Sets the user-interface language of the string service.
void setLanguage(int language);

// Opens a modal window with `open`, which returns once that window has
// closed, and runs `act` inside it once a visible modal window that `wanted`
// accepts is up: a bounded visit of tests/support, which fails the test when
// no such window comes. True when it came and `act` closed it.
bool whileModal(const std::function<void()> &open, const std::function<bool(QWidget *)> &wanted,
                const std::function<void(QWidget *)> &act);
bool whileNamed(const std::function<void()> &open, const QString &objectName,
                const std::function<void(QWidget *)> &act);

// A host's builder: grouped variables (text, number, date, one with a value
// list named "statuses"), the built-in functions and one function with a
// long declaration and a help text; help line and value-list button on.
std::unique_ptr<nvtarnix::TarnixObject> makeBuilder();
// Answers every value-list request with rows (code, description).
void answerValueLists(nvtarnix::TarnixObject &builder, const QList<QPair<QVariant, QString>> &rows);

// The declaration and help text of the long function makeBuilder adds.
QString longDeclaration();
QString longFunctionHelp();

using testsupport::child;
using testsupport::press;
QTreeWidgetItem *nodeByText(QTreeWidget *tree, const QString &text);
// Clicks a node as the user does, leaving it selected.
void clickNode(QTreeWidget *tree, QTreeWidgetItem *node);

// Every caption of the window that does not fit its control: the control's
// name, its text, the text's width and the room it has, in pixels. Buttons,
// one-line labels and the column headers of lists are measured.
QStringList clippedCaptions(QWidget *window);

} // namespace desktop
