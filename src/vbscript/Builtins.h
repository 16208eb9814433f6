#pragma once

// How built-in functions plug into the engine.
//
// A built-in is a plain function registered by name (found case-insensitively)
// with its least and greatest argument count; the engine checks the count and
// raises 450 "Wrong number of arguments or invalid property assignment" before
// the function runs, so a built-in may index args[0 .. minArgs-1] freely.
//
// Arguments arrive evaluated, as values:
//  - Optional arguments the caller left off at the end are simply absent:
//    args.size() is the number the caller wrote.
//  - An argument left out in the middle, as in MsgBox "x", , "title", is
//    Variant::missing() (isMissing() true); treat it as not given.
//  - Objects arrive as object references (not their default values), so
//    IsObject and TypeName see them; call valueOf() to get the default value.
//  - By-reference arguments: args holds copies. No VBScript built-in changes its
//    caller's variables, so whatever a built-in writes into args is dropped.
//    (Object members are different: see Object::get in Variant.h.)
//
// A built-in reports a failure by throwing ScriptError, normally through
// raise(err::Code, name); the engine adds the line
// and column and routes it through On Error.
//
// The runtime library registers its functions, constants and creatable classes
// through registerLibrary() (vbscript/library/Library.h); the language's own
// conversion functions are registered by registerLanguageFunctions().

#include "vbscript/ExecutionSettings.h"
#include "vbscript/Variant.h"
#include "vbscript/WorkMeter.h"

#include <QHash>
#include <QString>
#include <functional>
#include <initializer_list>
#include <span>
#include <vector>

namespace vbscript {

class ErrObject;
class ExecContext;

using BuiltinFn = Variant (*)(ExecContext &ctx, std::span<Variant> args);

// The groups of the function catalog the editor shows, in its order: the
// interfaces of VBScript's own type library.
enum class CatalogGroup : quint8 {
    Unlisted,  // not in the catalog
    Global,    // "GlobalObj", "Global Functions"
    Err,       // "ErrObj", "Error Functions": the Err object's methods
};
struct CatalogGroupInfo
{
    const char *key;
    const char *caption;
};
CatalogGroupInfo catalogGroupInfo(CatalogGroup group);

// How the function catalog lists a name: its group, its place in the group
// (1, 2, ... as VBScript's type library lists them), and its parameters by
// name, which are the help the catalog gives: Mid(string, start, length).
struct CatalogEntry
{
    CatalogGroup group = CatalogGroup::Unlisted;
    int position = 0;
    const char *parameters = "";
    const char *spelling = nullptr;  // the name as listed, where it differs
};

// The entry of a name the catalog does not list (GetLocale and SetLocale,
// which VBScript's type library leaves out too).
inline constexpr CatalogEntry kUnlisted{};

struct BuiltinInfo
{
    const char *name = nullptr;
    int minArgs = 0;
    int maxArgs = 0;
    BuiltinFn fn = nullptr;
    // A procedure without a value (Randomize): calling it where a value is
    // needed raises 13 Type mismatch.
    bool isSub = false;
    // The parameters that take no Null, one bit each (bit i: argument i).
    // The engine raises 94 "Invalid use of Null" for them before the
    // function runs, so a Null there wins over any other argument's 5 or 13.
    quint32 refusesNull = 0;
    CatalogEntry catalog;
    // Eval, Execute and ExecuteGlobal: what they return was made, and
    // counted against the run's memory, by the code they ran.
    bool runsCode = false;
};

// One line of the function catalog.
struct CatalogListing
{
    QString name;
    CatalogEntry entry;
};

// The bits of BuiltinInfo::refusesNull for the given argument positions.
constexpr quint32 nullRefusedAt(std::initializer_list<int> positions)
{
    quint32 bits = 0;
    for (int i : positions)
        bits |= 1u << i;
    return bits;
}

// Creates an object for CreateObject("ProgId").
using ObjectFactory = std::function<std::shared_ptr<Object>(ExecContext &ctx)>;

// What MsgBox and InputBox ask the host to show.
struct UiRequest
{
    enum Kind { MessageBox, InputBox } kind = MessageBox;
    QString prompt;
    QString title;
    int buttons = 0;        // MsgBox: vbOKOnly, vbYesNo, ... plus icon and default-button bits
    QString defaultText;    // InputBox
    bool hasPosition = false;
    int x = 0, y = 0;       // InputBox, in twips
};
// Returns MsgBox's button number, or InputBox's text (Empty when cancelled).
using UiCallback = std::function<Variant(const UiRequest &request)>;

// The state behind Rnd and Randomize: VBScript's 24-bit generator seed.
struct RndState
{
    quint32 seed = 0x50000;
    float last = 0;
};

class BuiltinRegistry
{
public:
    void add(const BuiltinInfo &info);
    void addConstant(const QString &name, const Variant &value);
    void addClass(const QString &progId, ObjectFactory factory);
    // A catalog line for a name that is no function of the registry: the
    // Erase statement, the Err object's methods.
    void addCatalogEntry(const char *name, const CatalogEntry &entry);

    const BuiltinInfo *find(const QString &name) const;
    const Variant *findConstant(const QString &name) const;
    const ObjectFactory *findClass(const QString &progId) const;

    // Every listed name, by group and place: what the function catalog the
    // editor shows is generated from at build time.
    std::vector<CatalogListing> catalog() const;

    // The registry with the language functions and the whole runtime library.
    static const BuiltinRegistry &standard();

private:
    QHash<QString, BuiltinInfo> m_functions;   // keyed by lower-case name
    std::vector<CatalogListing> m_unlistedNames;  // catalog lines of names that are no functions
    QHash<QString, Variant> m_constants;
    QHash<QString, ObjectFactory> m_classes;
};

// What a built-in may ask of the running engine.
// The execution context: what a built-in may ask of the running engine, and
// the settings the run converts and allocates under. Built-ins convert their
// arguments with ctx.locale() and check what they build against
// ctx.limits(). A built-in whose work grows with its text counts that work
// (spendScan, spendCopy) as it goes, so the run's time limit can stop it.
class ExecContext : public WorkMeter
{
public:
    ExecContext();  // with the host's default locale (ScriptLocale::current())
    virtual ~ExecContext();

    // GetLocale/SetLocale: the locale text and dates convert through.
    const ScriptLocale &locale() const { return m_settings->locale; }
    void setLocale(const ScriptLocale &locale) { m_settings->locale = locale; }
    const Limits &limits() const { return m_settings->limits; }
    void setLimits(const Limits &limits) { m_settings->limits = limits; }
    // The instant Now, Date and Time read (ExecutionSettings::fixedNow).
    void setFixedNow(double serial) { m_settings->fixedNow = serial; }
    const ExecutionSettings &settings() const { return *m_settings; }
    // For objects that convert long after the call that made them (Err, a
    // Dictionary): the engine's settings as they will be then.
    std::shared_ptr<const ExecutionSettings> sharedSettings() const { return m_settings; }

    // MsgBox and InputBox: when AllowUI is off they raise 70 Permission denied;
    // otherwise they go through the host's callback (none installed: 70 too).
    virtual bool allowUI() const = 0;
    virtual const UiCallback &uiCallback() const = 0;

    virtual RndState &rnd() = 0;
    virtual ErrObject &err() = 0;

    // Eval: an expression in the scope of the caller.
    virtual Variant evalString(const QString &code) = 0;
    // Execute (global false: the caller's scope) and ExecuteGlobal (true).
    virtual void execute(const QString &code, bool global) = 0;
    // GetRef: an object whose default member calls the named procedure.
    virtual Variant getRef(const QString &name) = 0;
    // CreateObject: a class of the registry or one the host added; 429 otherwise.
    virtual std::shared_ptr<Object> createObject(const QString &progId) = 0;
    // Whether UseSafeSubset is on (objects not safe for scripting are refused).
    virtual bool useSafeSubset() const = 0;

protected:
    // A context without a time limit only starts a new quantum; the engine
    // reads its clock here.
    void overdrawn() override { refill(); }

private:
    std::shared_ptr<ExecutionSettings> m_settings;
};

// The conversion functions the language itself relies on (CInt, CLng, CDbl,
// Chr, Len, Array, ...).
void registerLanguageFunctions(BuiltinRegistry &registry);

} // namespace vbscript
