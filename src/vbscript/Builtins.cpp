#include "vbscript/Builtins.h"

#include "vbscript/ScriptError.h"
#include "vbscript/library/Library.h"

#include <algorithm>

namespace vbscript {

ExecContext::ExecContext()
    : m_settings(std::make_shared<ExecutionSettings>(ExecutionSettings{ScriptLocale::current(), Limits()}))
{
}

ExecContext::~ExecContext() = default;

void BuiltinRegistry::add(const BuiltinInfo &info)
{
    m_functions.insert(QString::fromLatin1(info.name).toLower(), info);
}

void BuiltinRegistry::addConstant(const QString &name, const Variant &value)
{
    m_constants.insert(name.toLower(), value);
}

void BuiltinRegistry::addClass(const QString &progId, ObjectFactory factory)
{
    m_classes.insert(progId.toLower(), std::move(factory));
}

void BuiltinRegistry::addCatalogEntry(const char *name, const CatalogEntry &entry)
{
    m_unlistedNames.push_back({QString::fromLatin1(name), entry});
}

std::vector<CatalogListing> BuiltinRegistry::catalog() const
{
    std::vector<CatalogListing> out = m_unlistedNames;
    for (const BuiltinInfo &f : m_functions) {
        if (f.catalog.group != CatalogGroup::Unlisted)
            out.push_back({QString::fromLatin1(f.catalog.spelling ? f.catalog.spelling : f.name), f.catalog});
    }
    std::sort(out.begin(), out.end(), [](const CatalogListing &a, const CatalogListing &b) {
        return std::pair(a.entry.group, a.entry.position) < std::pair(b.entry.group, b.entry.position);
    });
    return out;
}

CatalogGroupInfo catalogGroupInfo(CatalogGroup group)
{
    switch (group) {
    case CatalogGroup::Global: return {"GlobalObj", "Global Functions"};
    case CatalogGroup::Err: return {"ErrObj", "Error Functions"};
    case CatalogGroup::Unlisted: break;
    }
    return {"", ""};
}

const BuiltinInfo *BuiltinRegistry::find(const QString &name) const
{
    auto it = m_functions.constFind(name.toLower());
    return it == m_functions.constEnd() ? nullptr : &it.value();
}

const Variant *BuiltinRegistry::findConstant(const QString &name) const
{
    auto it = m_constants.constFind(name.toLower());
    return it == m_constants.constEnd() ? nullptr : &it.value();
}

const ObjectFactory *BuiltinRegistry::findClass(const QString &progId) const
{
    auto it = m_classes.constFind(progId.toLower());
    return it == m_classes.constEnd() ? nullptr : &it.value();
}

const BuiltinRegistry &BuiltinRegistry::standard()
{
    static const BuiltinRegistry registry = [] {
        BuiltinRegistry r;
        registerLanguageFunctions(r);
        registerLibrary(r);
        return r;
    }();
    return registry;
}

} // namespace vbscript
