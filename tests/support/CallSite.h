#pragma once

namespace testsupport {

// Where a helper was called from, so that its failure points at the test's
// line. The same as std::source_location, which clang 14 (the sanitizer and
// fuzz build) cannot give with GCC's standard library.
class CallSite
{
public:
    static constexpr CallSite current(const char *file = __builtin_FILE(), unsigned line = __builtin_LINE()) noexcept
    {
        return CallSite(file, line);
    }
    constexpr const char *file_name() const noexcept { return m_file; }
    constexpr unsigned line() const noexcept { return m_line; }

private:
    constexpr CallSite(const char *file, unsigned line) noexcept : m_file(file), m_line(line) {}
    const char *m_file;
    unsigned m_line;
};

} // namespace testsupport
