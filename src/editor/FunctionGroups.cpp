#include "editor/FunctionGroups.h"

#include "editor/FunctionReference.h"

#include <QSet>

#include <algorithm>

namespace nvtarnix::editor {

namespace {

const QString kErrorInterface = QStringLiteral("ErrObj");

constexpr FunctionCategory kOrder[] = {FunctionCategory::Text,       FunctionCategory::DateTime,
                                       FunctionCategory::Numbers,    FunctionCategory::Conversion,
                                       FunctionCategory::Tests,      FunctionCategory::Other};

} // namespace

bool isBuiltinInterface(const QString &interfaceKey)
{
    return interfaceKey == QLatin1String("GlobalObj") || interfaceKey == kErrorInterface;
}

bool isOfferedInRule(const QString &name)
{
    static const QSet<QString> notOffered = {
        QStringLiteral("randomize"),     QStringLiteral("timer"),      QStringLiteral("inputbox"),
        QStringLiteral("msgbox"),        QStringLiteral("createobject"), QStringLiteral("getobject"),
        QStringLiteral("execute"),       QStringLiteral("executeglobal"), QStringLiteral("eval"),
        QStringLiteral("getref"),        QStringLiteral("loadpicture"), QStringLiteral("erase"),
        // The Err object's methods
        QStringLiteral("clear"),         QStringLiteral("raise"),
    };
    return !notOffered.contains(name.toLower());
}

QVector<FunctionGroup> categoriesFor(const QVector<CatalogInterface> &interfaces, bool guided)
{
    QVector<FunctionGroup> groups;
    if (!guided) {
        for (const CatalogInterface &i : interfaces)
            groups.append(FunctionGroup{i.key, i.description, i.functions});
        return groups;
    }
    QVector<FunctionGroup> categories;
    for (const FunctionCategory category : kOrder)
        categories.append(FunctionGroup{QStringLiteral("#%1").arg(int(category)), categoryCaption(category), {}});
    QVector<FunctionGroup> hosts;
    const FunctionReference &reference = FunctionReference::instance();
    for (const CatalogInterface &i : interfaces) {
        if (!isBuiltinInterface(i.key)) {
            hosts.append(FunctionGroup{i.key, i.description, i.functions});
            continue;
        }
        if (i.key == kErrorInterface)
            continue;
        for (const CatalogFunction &function : i.functions) {
            if (!isOfferedInRule(function.name))
                continue;
            const FunctionCategory category = reference.category(function.name).value_or(FunctionCategory::Other);
            categories[int(category)].functions.append(function);
        }
    }
    for (FunctionGroup &group : categories) {
        if (group.functions.isEmpty())
            continue;
        std::stable_sort(group.functions.begin(), group.functions.end(),
                         [](const CatalogFunction &a, const CatalogFunction &b) {
                             return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
                         });
        groups.append(group);
    }
    return groups + hosts;
}

} // namespace nvtarnix::editor
