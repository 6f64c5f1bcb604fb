// The lesson voice's mix() runs on the audio thread, where nothing may be
// allocated: this binary counts every operator new made while the mixer
// renders, at every speed, with the pitch kept and without.
#include "audio/LessonAudio.h"
#include "audio/LessonVoice.h"
#include "audio/Mixer.h"
#include "audio/Mp3Decoder.h"
#include "support/MakeMp3.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};

void* Allocate(std::size_t size)
{
    if (g_counting.load(std::memory_order_relaxed))
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void* AllocateOrNull(std::size_t size) noexcept
{
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

TEST(MixAllocation, LessonVoiceMixesEverySpeedWithoutAllocating)
{
    // At the mixer's rate, and at another rate that needs the resampler too.
    const QByteArray recordings[] = {MakeTestMp3(3.0, 2, 44100, 128), MakeTestMp3(3.0, 1, 22050, 64)};
    const std::vector<std::vector<int>> plans = {{8}, {12}, {10, 8, 12}, {12, 8, 10, 11, 9}};
    Mixer mixer;
    LessonAudio owner(mixer);
    std::vector<float> block(512 * 2);
    for (const QByteArray& mp3 : recordings) {
        ASSERT_FALSE(mp3.isEmpty());
        LessonVoice voice(mixer, Mp3Decoder::open(mp3), &owner);
        ASSERT_TRUE(voice.isValid());
        for (bool keepPitch : {true, false}) {
            voice.setKeepPitch(keepPitch);
            for (const std::vector<int>& plan : plans) {
                SCOPED_TRACE(::testing::Message() << "keep pitch " << keepPitch << ", first speed " << plan.front());
                voice.setSpeed(plan.front());
                voice.playSpan(2000, 50000, 0, 0);
                size_t step = 0;
                for (int guard = 0; guard < 2000 && voice.isPlaying(); ++guard) {
                    if (guard % 16 == 15 && step + 1 < plan.size())
                        voice.setSpeed(plan[++step]);
                    g_counting = true;
                    mixer.render(block.data(), 512);
                    g_counting = false;
                }
                EXPECT_FALSE(voice.isPlaying());
                EXPECT_EQ(g_allocations.exchange(0), 0);
            }
        }
    }
}

} // namespace
