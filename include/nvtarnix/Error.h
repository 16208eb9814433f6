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
        : Error(number, std::move(source), std::move(description), 0, 0)
    {
    }

    // An error about a text (an expression that does not compile, or fails
    // while it runs) also says where it lies: `line` 1-based, `column` 0-based.
    Error(int number, QString source, QString description, int line, int column)
        : m_number(number), m_source(std::move(source)), m_description(std::move(description)),
          m_line(line), m_column(column),
          m_what(QStringLiteral("%1 (%2): %3").arg(m_number).arg(m_source, m_description).toStdString())
    {
    }

    int number() const noexcept { return m_number; }
    const QString &source() const noexcept { return m_source; }
    const QString &description() const noexcept { return m_description; }
    // 0 for errors that are not about a text.
    int line() const noexcept { return m_line; }
    int column() const noexcept { return m_column; }
    const char *what() const noexcept override { return m_what.c_str(); }

private:
    int m_number;
    QString m_source;
    QString m_description;
    int m_line = 0;
    int m_column = 0;
    std::string m_what;
};

} // namespace nvtarnix
