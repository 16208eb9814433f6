#include "editor/FocusRing.h"

#include "editor/Contrast.h"

#include <QApplication>
#include <QFocusFrame>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

namespace nvtarnix::editor {

namespace {

constexpr int kRingWidth = 2;

// What makes Qt's focus frame our ring: its own style, set on the frame alone,
// so the host's style of every other widget stays as it is.
class FocusRingStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_FocusFrameHMargin || metric == PM_FocusFrameVMargin)
            return kRingWidth;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        // Above the control means in the window itself: a panel that holds
        // the control flush with its edges would otherwise cut the ring off.
        if (hint == SH_FocusFrame_AboveWidget)
            return 1;
        if (hint == SH_FocusFrame_Mask && option) {
            if (auto *mask = qstyleoption_cast<QStyleHintReturnMask *>(returnData)) {
                mask->region
                    = QRegion(option->rect) - option->rect.adjusted(kRingWidth, kRingWidth, -kRingWidth, -kRingWidth);
                return 1;
            }
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        if (element != CE_FocusFrame)
            return QProxyStyle::drawControl(element, option, painter, widget);
        const QRect r = option->rect;
        const QColor colour(focusRingColour(option->palette));
        painter->fillRect(QRect(r.left(), r.top(), r.width(), kRingWidth), colour);
        painter->fillRect(QRect(r.left(), r.bottom() - kRingWidth + 1, r.width(), kRingWidth), colour);
        painter->fillRect(QRect(r.left(), r.top(), kRingWidth, r.height()), colour);
        painter->fillRect(QRect(r.right() - kRingWidth + 1, r.top(), kRingWidth, r.height()), colour);
    }
};

} // namespace

QRgb focusRingColour(const QPalette &palette)
{
    return readableOn(palette.color(QPalette::Active, QPalette::Highlight).rgb(),
                      palette.color(QPalette::Active, QPalette::Window).rgb(), kLineContrast);
}

void showFocusRing(QWidget *window)
{
    auto *ring = new QFocusFrame(window);
    ring->setObjectName(QStringLiteral("focusRing"));
    auto *style = new FocusRingStyle;
    style->setParent(ring);
    ring->setStyle(style);
    ring->setAttribute(Qt::WA_TransparentForMouseEvents);
    // The ring is where the focus is while this window has it; a window
    // above it (a message, the value list) takes the focus and the ring.
    QObject::connect(qApp, &QApplication::focusChanged, ring, [ring, window](QWidget *, QWidget *now) {
        ring->setWidget(now && now != window && now->window() == window ? now : nullptr);
    });
    if (QWidget *now = QApplication::focusWidget(); now && now != window && now->window() == window)
        ring->setWidget(now);
}

} // namespace nvtarnix::editor
