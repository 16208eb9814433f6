#pragma once

#include <QString>

// The per-user registry values the component writes, kept in a per-user
// settings file ("Tarnix/registry") that mirrors the key path and the value
// type: the value "JITDebug" under HKEY_CURRENT_USER\Software\Microsoft\Windows
// Script\Settings is the entry "HKEY_CURRENT_USER/Software/Microsoft/Windows
// Script/Settings/JITDebug" holding "dword:00000000".

namespace nvtarnix {

enum class RegistryRoot { HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS };

// Creates the key when it is missing and writes value as a REG_DWORD. Failures
// are not reported: the caller goes on either way.
void SaveRegistryDword(RegistryRoot root, const QString &keyPath, const QString &valueName,
                       const qint32 &value);

// The settings path of a registry value, as SaveRegistryDword writes it.
QString registrySettingsKey(RegistryRoot root, const QString &keyPath, const QString &valueName);

} // namespace nvtarnix
