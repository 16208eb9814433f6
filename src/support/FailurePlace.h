#pragma once

namespace nvtarnix {

// Where a failure was passed over: the caller's file, line and function, as
// std::source_location gives them. That class is out of reach of clang 14
// (the sanitizer and fuzz build) with GCC's standard library; the builtins
// behind it are not.
class FailurePlace
{
public:
    static constexpr FailurePlace current(const char *file = __builtin_FILE(), unsigned line = __builtin_LINE(),
                                          const char *function = __builtin_FUNCTION()) noexcept
    {
        return FailurePlace(file, line, function);
    }
    constexpr const char *file_name() const noexcept { return m_file; }
    constexpr unsigned line() const noexcept { return m_line; }
    constexpr const char *function_name() const noexcept { return m_function; }

private:
    constexpr FailurePlace(const char *file, unsigned line, const char *function) noexcept
        : m_file(file), m_line(line), m_function(function)
    {
    }
    const char *m_file;
    unsigned m_line;
    const char *m_function;
};

} // namespace nvtarnix
