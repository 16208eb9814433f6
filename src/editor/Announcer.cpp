#include "editor/Announcer.h"


#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace nvtarnix::editor {

namespace {

// The announcement label's class: the accessibility factory knows it by
// this name.
class AnnouncementLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;
};

// The label as a notification whose name is the message.
class AccessibleAnnouncement : public QAccessibleWidget
{
public:
    explicit AccessibleAnnouncement(QWidget *label) : QAccessibleWidget(label, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<const QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *announcementFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("nvtarnix::editor::AnnouncementLabel") && object && object->isWidgetType())
        return new AccessibleAnnouncement(static_cast<QWidget *>(object));
    return nullptr;
}

void installFactoryOnce()
{
    static const bool installed = [] {
        QAccessible::installFactory(announcementFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace

Announcer::Announcer(QWidget *window) : QObject(window), m_label(new AnnouncementLabel(window))
{
    installFactoryOnce();
    m_label->setObjectName(QStringLiteral("lblAnnouncement"));
    m_label->setTextFormat(Qt::PlainText);
    m_label->setFocusPolicy(Qt::NoFocus);
    // One pixel under the other controls: there for the screen reader, not
    // for the eye.
    m_label->setGeometry(0, 0, 1, 1);
    m_label->lower();
}

void Announcer::announce(const QString &message)
{
    if (message.isEmpty())
        return;
    m_last = message;
    m_label->setText(message);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(m_label, message);
    QAccessible::updateAccessibility(&event);
#else
    // A notification is spoken when it appears: hiding and showing it again
    // makes each message a new appearance.
    m_label->hide();
    m_label->show();
    QAccessibleEvent nameChanged(m_label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nameChanged);
#endif
    emit announced(message);
}

} // namespace nvtarnix::editor

#include "Announcer.moc"
