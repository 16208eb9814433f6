#pragma once

#include "vbscript/ExecutionSettings.h"
#include "vbscript/ScriptError.h"
#include "vbscript/Variant.h"

namespace vbscript {

// VBScript's Err object: the last run-time error while On Error Resume Next
// is in force, with Clear and Raise.
class ErrObject : public Object
{
public:
    // `settings`: the engine's, which assigned values convert under.
    explicit ErrObject(std::shared_ptr<const ExecutionSettings> settings) : m_settings(std::move(settings)) {}
    QString typeName() const override { return QStringLiteral("ErrObject"); }
    Variant get(const QString &name, std::span<Variant> args) override;
    void put(const QString &name, std::span<Variant> args, const Variant &value, bool isSet) override;

    int number() const { return m_number; }
    const QString &description() const { return m_description; }
    const QString &source() const { return m_source; }
    const QString &helpFile() const { return m_helpFile; }
    int helpContext() const { return m_helpContext; }

    void clear();
    void set(const ScriptError &error);
    // Err.Raise: the error to throw, with VBScript's defaults for what is left out.
    static ScriptError makeRaised(std::span<Variant> args, const ScriptLocale &locale);

private:
    std::shared_ptr<const ExecutionSettings> m_settings;
    int m_number = 0;
    QString m_description;
    QString m_source;
    QString m_helpFile;
    int m_helpContext = 0;
};

} // namespace vbscript
