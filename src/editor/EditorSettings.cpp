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

// The setting is the user's file, read again under whatever locale they run
// next: it is written the same in every locale, "10.25".
QLocale numberLocale()
{
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

// A size written with a decimal comma ("10,25", as a comma-decimal locale
// once wrote it) is read as the same size; a font size has no thousands.
std::optional<double> readSizeText(QString text)
{
    bool ok = false;
    double size = numberLocale().toDouble(text, &ok);
    if (!ok && !text.contains(QLatin1Char('.')) && text.count(QLatin1Char(',')) == 1)
        size = numberLocale().toDouble(text.replace(QLatin1Char(','), QLatin1Char('.')), &ok);
    if (!ok || !std::isfinite(size))
        return std::nullopt;
    return size;
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
    const std::optional<double> size = readSizeText(stored.toString().trimmed());
    if (!size)
        return std::nullopt;
    return toFixedPoint4(*size);
}

void writeFontSizeSetting(double size)
{
    QSettings settings = userSettings();
    settings.setValue(kFontSizeKey, fontSizeText(size));
    settings.sync();
}

} // namespace nvtarnix::editor
