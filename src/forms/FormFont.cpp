#include "forms/FormFont.h"

#include <QFont>
#include <QWidget>

namespace nvtarnix {

void ApplyFormFont(QWidget *window, const QString &face, double size, int charset)
{
    Q_UNUSED(charset);
    if (!window)
        return;
    QFont font(face);
    if (size > 0)
        font.setPointSizeF(size);
    window->setFont(font);
    // Children that were given a font of their own do not inherit the window's.
    const auto children = window->findChildren<QWidget *>();
    for (QWidget *child : children)
        child->setFont(font);
}

} // namespace nvtarnix
