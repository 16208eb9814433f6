#include "forms/CaptionFit.h"

#include <QPushButton>
#include <QStyle>

namespace nvtarnix {

QStyleOptionButton pushButtonOption(const QPushButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    if (button->isDefault())
        option.features |= QStyleOptionButton::DefaultButton;
    if (button->autoDefault())
        option.features |= QStyleOptionButton::AutoDefaultButton;
    return option;
}

int captionFitWidth(const QPushButton *button)
{
    const QStyleOptionButton option = pushButtonOption(button);
    const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    const int aroundContents = option.rect.width() - contents.width();
    const int caption = button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width();
    return caption + aroundContents;
}

} // namespace nvtarnix
