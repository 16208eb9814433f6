#include "editor/EditorSettings.h"

#include <QLocale>
#include <QSettings>

#include <cmath>

namespace nvtarnix::editor {

namespace {

const QString kFontSizeKey = QStringLiteral("Editor/fontsize");

QSettings userSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tarnix"));
}

QLocale numberLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

} // namespace

double toFixedPoint4(double size)
{
    return std::nearbyint(size * 10000.0) / 10000.0;
}

QString fontSizeText(double size)
{
    return numberLocale().toString(toFixedPoint4(size), 'f', QLocale::FloatingPointShortest);
}

std::optional<double> readFontSizeSetting(double defaultSize)
{
    const QVariant stored = userSettings().value(kFontSizeKey);
    if (!stored.isValid())
        return toFixedPoint4(defaultSize);
    bool ok = false;
    const double size = numberLocale().toDouble(stored.toString().trimmed(), &ok);
    if (!ok || !std::isfinite(size))
        return std::nullopt;
    return toFixedPoint4(size);
}

void writeFontSizeSetting(double size)
{
    QSettings settings = userSettings();
    settings.setValue(kFontSizeKey, fontSizeText(size));
    settings.sync();
}

} // namespace nvtarnix::editor
