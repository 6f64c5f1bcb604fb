#include "data/RandomSource.h"

#include <chrono>

void SeededRandom::SeedFromClock()
{
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    // Both halves, so runs started within the same second still differ.
    Seed(static_cast<std::uint32_t>(ticks) ^ static_cast<std::uint32_t>(static_cast<std::uint64_t>(ticks) >> 32));
}

int SeededRandom::Below(int count)
{
    if (count < 1)
        return 0;
    return std::uniform_int_distribution<int>(0, count - 1)(m_engine);
}
