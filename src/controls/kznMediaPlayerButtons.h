#pragma once

#include <cstdint>
#include <initializer_list>

// The media player's buttons, left to right.
enum class TMPBtnType { btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject };
inline constexpr int kMPButtonCount = 9;

// A set of the player's buttons, bit n for the button of ordinal n.
class TButtonSet {
public:
    constexpr TButtonSet() = default;
    constexpr TButtonSet(std::initializer_list<TMPBtnType> buttons)
    {
        for (TMPBtnType button : buttons)
            m_bits |= Bit(button);
    }
    static constexpr TButtonSet All() { return TButtonSet(kAllBits); }

    constexpr uint16_t Bits() const { return m_bits; }
    constexpr bool Contains(TMPBtnType button) const { return (m_bits & Bit(button)) != 0; }
    constexpr int Count() const
    {
        int count = 0;
        for (uint16_t bits = m_bits; bits; bits &= uint16_t(bits - 1))
            ++count;
        return count;
    }
    constexpr TButtonSet operator+(TButtonSet other) const { return TButtonSet(uint16_t(m_bits | other.m_bits)); }
    constexpr TButtonSet operator-(TButtonSet other) const { return TButtonSet(uint16_t(m_bits & ~other.m_bits)); }
    constexpr bool operator==(const TButtonSet&) const = default;

private:
    static constexpr uint16_t kAllBits = 0x1FF;
    constexpr explicit TButtonSet(uint16_t bits) : m_bits(bits) {}
    static constexpr uint16_t Bit(TMPBtnType button) { return uint16_t(1u << int(button)); }

    uint16_t m_bits = 0;
};
