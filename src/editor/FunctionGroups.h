#pragma once

#include <QString>
#include <QVector>

// How the function tree groups the catalog's functions. As specified, by the
// catalog's interfaces, in the catalog's order. With guided editing (the host
// option), the built-in functions sit under categories by what they work on
// (Text, Date and time, Numbers, Conversion, Tests, Other), sorted by name,
// and those that make no sense in a one-line rule are not offered; the
// host's own interfaces follow as they are.

namespace nvtarnix::editor {

// One visible function of the catalog.
struct CatalogFunction
{
    QString interfaceKey;      // the interface's name
    QString name;
    QString declarationext;    // what the tree shows
    QString declaration;       // what an insertion puts into the script
};

// One interface of the catalog: its visible functions, in order.
struct CatalogInterface
{
    QString key;
    QString description;
    QVector<CatalogFunction> functions;
};

struct FunctionGroup
{
    QString key;
    QString caption;
    QVector<CatalogFunction> functions;
};

// The interfaces that hold the built-in functions.
bool isBuiltinInterface(const QString &interfaceKey);

// Whether guided editing offers a built-in function in a rule: not those that
// ask the user, make objects, run code, depend on when they run or clear
// arrays (Randomize, Timer, InputBox, MsgBox, CreateObject, GetObject,
// Execute, ExecuteGlobal, Eval, GetRef, LoadPicture, Erase), nor the Err
// object's methods. Letter case does not count.
bool isOfferedInRule(const QString &name);

// The tree's groups: the interfaces as they are, or, guided, the categories
// that hold any function (category keys start with "#", which no name of the
// catalog can) and then the host's interfaces.
QVector<FunctionGroup> categoriesFor(const QVector<CatalogInterface> &interfaces, bool guided);

} // namespace nvtarnix::editor
