#pragma once

#include <QString>

#include <exception>
#include <string>

namespace nvtarnix {

// A numbered error as the host sees it: the number, the component or library
// that raised it (its source) and a description. The component's own errors,
// the schema's and the platform's (13 "Type mismatch", 91 "Object variable or
// With block variable not set", ...) all travel as this one type.
class Error : public std::exception
{
public:
    Error(int number, QString source, QString description)
        : m_number(number), m_source(std::move(source)), m_description(std::move(description)),
          m_what(QStringLiteral("%1 (%2): %3").arg(m_number).arg(m_source, m_description).toStdString())
    {
    }

    int number() const noexcept { return m_number; }
    const QString &source() const noexcept { return m_source; }
    const QString &description() const noexcept { return m_description; }
    const char *what() const noexcept override { return m_what.c_str(); }

private:
    int m_number;
    QString m_source;
    QString m_description;
    std::string m_what;
};

} // namespace nvtarnix
