#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

// The bytes of one fuzz input read as several values: texts from the front,
// each up to a NUL byte; numbers and flags from the back, one byte each, the
// last byte first. Running out gives empty texts and the smallest numbers, so
// every input is read to the end without failing. fuzz/make-seeds.py writes
// seeds in the same layout.
class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size) : m_data(data), m_front(0), m_back(size) {}

    // A number from `least` to `most`: one byte from the back, or as many as
    // the range needs.
    int number(int least, int most)
    {
        const unsigned range = unsigned(most - least) + 1;
        unsigned value = 0;
        for (unsigned span = 1; span < range && m_back > m_front; span <<= 8)
            value = value << 8 | m_data[--m_back];
        return least + int(value % range);
    }

    bool flag() { return number(0, 1) == 1; }

    // UTF-8 up to the next NUL byte, or to the numbers' end.
    QString text()
    {
        const size_t start = m_front;
        while (m_front < m_back && m_data[m_front] != 0)
            ++m_front;
        const QString result = QString::fromUtf8(reinterpret_cast<const char *>(m_data + start),
                                                 qsizetype(m_front - start));
        if (m_front < m_back)
            ++m_front;  // the NUL
        return result;
    }

    // Everything not read yet, as UTF-8.
    QString rest()
    {
        const QString result = QString::fromUtf8(reinterpret_cast<const char *>(m_data + m_front),
                                                 qsizetype(m_back - m_front));
        m_front = m_back;
        return result;
    }

private:
    const uint8_t *m_data;
    size_t m_front;
    size_t m_back;
};
