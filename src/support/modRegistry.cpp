#include "support/modRegistry.h"

#include <QSettings>

namespace nvtarnix {

namespace {

QString rootName(RegistryRoot root)
{
    switch (root) {
    case RegistryRoot::HKEY_CLASSES_ROOT:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case RegistryRoot::HKEY_CURRENT_USER:
        return QStringLiteral("HKEY_CURRENT_USER");
    case RegistryRoot::HKEY_LOCAL_MACHINE:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case RegistryRoot::HKEY_USERS:
        return QStringLiteral("HKEY_USERS");
    }
    return {};
}

} // namespace

QString registrySettingsKey(RegistryRoot root, const QString &keyPath, const QString &valueName)
{
    QString path = keyPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return rootName(root) + QLatin1Char('/') + path + QLatin1Char('/') + valueName;
}

void SaveRegistryDword(RegistryRoot root, const QString &keyPath, const QString &valueName,
                       const qint32 &value)
{
    QSettings registry(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tarnix"),
                       QStringLiteral("registry"));
    registry.setValue(registrySettingsKey(root, keyPath, valueName),
                      QStringLiteral("dword:%1").arg(quint32(value), 8, 16, QLatin1Char('0')));
    registry.sync();
}

} // namespace nvtarnix
