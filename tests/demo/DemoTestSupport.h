#pragma once

// What the demo's suites ask of its database and window alike.

#include "DemoDatabase.h"
#include "MainWindow.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace demotest {

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The id of the sample rule called `name`; 0 when there is none.
inline int ruleId(const tarnixdemo::DemoDatabase &db, const QString &name)
{
    for (const tarnixdemo::Rule &r : db.rules())
        if (r.name == name)
            return r.id;
    return 0;
}

// Puts the window in `language` and selects the rule called `name`, as a user
// does before editing it; its id, or 0 when the window could not select it.
inline int selectRule(tarnixdemo::MainWindow &window, const tarnixdemo::DemoDatabase &db, int language,
                      const QString &name)
{
    window.setLanguage(language);
    const int id = ruleId(db, name);
    return window.selectRule(id) ? id : 0;
}

} // namespace demotest
