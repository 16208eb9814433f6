#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QWidget;

namespace nvtarnix::editor {

// Tells a screen reader about a change that happens away from the focus (a
// help line, a preview, a passed check). Qt 6.8 and later have an
// announcement event for this; before it, a label with the notification
// role, invisible to the eye, is shown again with each message, which the
// AT-SPI bridge reports and screen readers speak.
class Announcer : public QObject
{
    Q_OBJECT
public:
    // The label is created in window.
    explicit Announcer(QWidget *window);

    void announce(const QString &message);
    // The last message, also what the label holds.
    QString lastMessage() const { return m_last; }
    QLabel *label() const { return m_label; }

signals:
    void announced(const QString &message);

private:
    QLabel *m_label;
    QString m_last;
};

} // namespace nvtarnix::editor
