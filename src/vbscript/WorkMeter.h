#pragma once

#include <QtGlobal>

namespace vbscript {

// Counts the work a run does between two readings of its clock, so that the
// time limit is tested often enough to hold within a fraction of a second
// whatever the run is doing, and seldom enough to cost nothing: a reading of
// the clock costs as much as a dozen statements, a count costs one addition.
//
// Work is counted in units of about a nanosecond: a statement, a round of a
// loop or a call is kStep; a built-in that reads or writes text counts its
// characters (kCharacter each for a scan, kCopiedCharacters per unit for a
// plain copy). Once a quantum is spent, overdrawn() reads the clock.
class WorkMeter
{
public:
    static constexpr qint64 kStep = 32;
    static constexpr qint64 kCharacter = 1;
    static constexpr qint64 kCopiedCharacters = 8;
    static constexpr qint64 kQuantum = 32 * 1024;

    void spend(qint64 units)
    {
        m_left -= units;
        if (m_left < 0) [[unlikely]]
            overdrawn();
    }
    // `n` characters read or compared one by one.
    void spendScan(qsizetype n) { spend(qint64(n) * kCharacter); }
    // `n` characters copied as a block.
    void spendCopy(qsizetype n) { spend(qint64(n) / kCopiedCharacters); }

protected:
    WorkMeter() = default;
    ~WorkMeter() = default;
    // Starts a new quantum; the next overdrawn() comes after kQuantum more.
    void refill() { m_left = kQuantum; }
    // Makes the next spend() read the clock, whatever is left of the quantum.
    void drain() { m_left = 0; }
    // Called when a quantum is spent: reads the clock, refills, and raises
    // the time limit when it has passed.
    virtual void overdrawn() = 0;

private:
    qint64 m_left = kQuantum;
};

} // namespace vbscript
