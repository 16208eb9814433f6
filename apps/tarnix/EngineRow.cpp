#include "EngineRow.h"

#include <algorithm>

namespace tarnixcli {

EngineRow::EngineRow(int width) : m_values(width), m_text(width) {}

std::span<vbscript::Variant> EngineRow::load(const StoredValue *stored, const std::vector<char> &bytes)
{
    for (qsizetype i = 0; i < m_values.size(); ++i) {
        const StoredValue &value = stored[i];
        if (!value.hasBytes()) {
            m_values[i] = engineValue(value, bytes);
            continue;
        }
        // Let go of the last row's value first, so that its string may be
        // the text buffer's only owner again.
        m_values[i] = vbscript::Variant();
        QString &text = m_text[i];
        const char *utf8 = bytes.data() + value.bytes.offset;
        const int size = value.bytes.size;
        // ASCII reads the same as Latin-1, and QString takes Latin-1 into the
        // memory it has when no one else shares it.
        if (std::all_of(utf8, utf8 + size, [](char c) { return uchar(c) < 0x80; }))
            text = QLatin1StringView(utf8, size);
        else
            text = QString::fromUtf8(utf8, size);
        m_values[i] = vbscript::Variant(text);
    }
    return {m_values.data(), size_t(m_values.size())};
}

} // namespace tarnixcli
