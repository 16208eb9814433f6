#pragma once

// The script control a host evaluates VBScript with:
//
//     vbscript::ScriptControl sc;
//     sc.setLanguage("VBScript");     // any letter case; other languages throw
//     sc.reset();
//     sc.setAllowUI(false);           // MsgBox/InputBox raise 70 Permission denied
//     sc.setUseSafeSubset(false);
//     sc.setTimeout(5000);            // milliseconds; -1 = no limit
//     try {
//         vbscript::Variant v = sc.eval(text);
//     } catch (const vbscript::ScriptError &) {
//         // sc.error().number(), description(), line(), column(), text()
//     }
//
// eval, executeStatement and addCode throw ScriptError on failure and leave
// the same error in error(); a successful call leaves error() as it was.
// Nothing a script does reaches files, processes or the network, so
// UseSafeSubset has nothing further to refuse; it is kept as a setting.

#include "vbscript/Builtins.h"
#include "vbscript/ScriptError.h"
#include "vbscript/ScriptLocale.h"
#include "vbscript/Variant.h"

#include <memory>

namespace vbscript {

class Runtime;

// The last failure of a ScriptControl: number, source, description and, for
// errors in code, line (1-based), column (0-based) and the line's text.
class ScriptControlError
{
public:
    int number() const { return m_error.number(); }
    QString source() const { return m_error.source(); }
    QString description() const { return m_error.description(); }
    int line() const { return m_error.line(); }
    int column() const { return m_error.column(); }
    QString text() const { return m_error.lineText(); }
    void clear() { m_error = ScriptError(); }
    bool isSet() const { return m_error.number() != 0; }
    const ScriptError &scriptError() const { return m_error; }
    void set(const ScriptError &e) { m_error = e; }

private:
    ScriptError m_error;
};

class ScriptControl
{
public:
    ScriptControl();
    ~ScriptControl();
    ScriptControl(const ScriptControl &) = delete;
    ScriptControl &operator=(const ScriptControl &) = delete;

    QString language() const { return m_language; }
    // "VBScript" in any letter case; anything else throws ScriptError 380.
    void setLanguage(const QString &language);

    // Drops all code, variables and objects added so far.
    void reset();

    bool allowUI() const { return m_allowUI; }
    void setAllowUI(bool allow);
    bool useSafeSubset() const { return m_safeSubset; }
    void setUseSafeSubset(bool on);
    int timeout() const { return m_timeout; }
    void setTimeout(int milliseconds);
    // The locale text and dates convert through; the process's by default.
    const ScriptLocale &locale() const { return m_locale; }
    void setLocale(const ScriptLocale &locale);
    // The settings its runs convert under, as the scripts' SetLocale has left
    // them: what a host object converts a script's values with.
    const ExecutionSettings &runSettings();
    // How long a string and how large an array its scripts may make, and how
    // much memory one run may build in all (Limits::memoryBudget).
    const Limits &limits() const { return m_limits; }
    void setLimits(const Limits &limits);
    // Shows MsgBox and InputBox for the host when AllowUI is on.
    void setUiCallback(UiCallback callback);

    Variant eval(const QString &expression);
    void executeStatement(const QString &statement);
    void addCode(const QString &code);
    // Makes a host object a global name of the scripts.
    void addObject(const QString &name, const std::shared_ptr<Object> &object);

    ScriptControlError &error() { return m_error; }
    const ScriptControlError &error() const { return m_error; }

private:
    Runtime &runtime();
    void apply();
    template<typename F> auto guarded(F &&f) -> decltype(f());

    QString m_language;
    bool m_allowUI = true;
    bool m_safeSubset = false;
    int m_timeout = 10000;
    ScriptLocale m_locale;
    Limits m_limits;
    UiCallback m_ui;
    std::shared_ptr<Runtime> m_runtime;
    ScriptControlError m_error;
};

} // namespace vbscript
