#pragma once

#include <cstdint>
#include <random>

// Where the exercises get their random numbers. Tests hand in a seeded or a
// scripted source so that a draw is known in advance. GUI thread only.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A number drawn uniformly from 0 .. count - 1; 0 when count < 1.
    virtual int Below(int count) = 0;
};

// A Mersenne twister. The program seeds it from the clock at start-up; a
// fixed seed repeats the same sequence.
class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(std::uint32_t seed = 1) : m_engine(seed) {}
    void Seed(std::uint32_t seed) { m_engine.seed(seed); }
    void SeedFromClock();
    int Below(int count) override;

private:
    std::mt19937 m_engine;
};
