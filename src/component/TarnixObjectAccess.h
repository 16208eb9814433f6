#pragma once

#include <nvtarnix/TarnixObject.h>

namespace nvtarnix {

// The builder's operations that only the component's own windows use (and
// the tests that drive them). Not part of the public interface.
class TarnixObjectAccess
{
public:
    static std::shared_ptr<KeyedCollection<QString>> ErrorList(const TarnixObject &owner)
    {
        return owner.ErrorList();
    }
    static QVariant RaiseListSourceRequest(TarnixObject &owner, QString &vListName, QVariant &vData)
    {
        return owner.RaiseListSourceRequest(vListName, vData);
    }
    static QString GetVariableHelpString(const TarnixObject &owner, const QString &varID)
    {
        return owner.GetVariableHelpString(varID);
    }
    static QString GetFunctionHelpString(const TarnixObject &owner, const QString &name)
    {
        return owner.GetFunctionHelpString(name);
    }
    static QString GetFunctionXmlText(TarnixObject &owner) { return owner.GetFunctionXmlText(); }
    // The view the builder is working on; null when none is resolved.
    static std::shared_ptr<View> CurrentView(const TarnixObject &owner)
    {
        return owner.CurrentViewObject();
    }
};

} // namespace nvtarnix
