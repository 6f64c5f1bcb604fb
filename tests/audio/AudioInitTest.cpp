// InitAudio's checks; each case of this binary runs in a process of its own
// under CTest, so the broken driver below cannot leak into other tests.
#include "audio/AudioLibraries.h"
#include "audio/LessonAudio.h"
#include "support/RecordingMessages.h"

#include <SDL2/SDL.h>

#include <gtest/gtest.h>

#include <csignal>

namespace {

TEST(AudioInitTest, LibrariesMustBeTheOnesTheProgramWasBuiltFor)
{
    const AudioLibraryInfo loaded = LoadedAudioLibraries();
    EXPECT_TRUE(AudioLibrariesUsable(loaded));

    struct Case {
        const char* what;
        void (*breakIt)(AudioLibraryInfo&);
    };
    const Case cases[] = {
        {"SDL 1.x", [](AudioLibraryInfo& i) { i.sdlMajor = 1; }},
        {"SDL 3.x", [](AudioLibraryInfo& i) { i.sdlMajor = 3; }},
        {"older SDL 2", [](AudioLibraryInfo& i) { i.sdlMinor = SDL_MINOR_VERSION - 1; }},
        {"older SDL patch", [](AudioLibraryInfo& i) { i.sdlMinor = SDL_MINOR_VERSION; i.sdlPatch = SDL_PATCHLEVEL - 1; }},
        {"mpg123 failed to start", [](AudioLibraryInfo& i) { i.mpg123Initialised = false; }},
        {"no MP3 decoder", [](AudioLibraryInfo& i) { i.mpg123Layer3 = false; }},
        {"no float output", [](AudioLibraryInfo& i) { i.mpg123Float = false; }},
        {"no seek index", [](AudioLibraryInfo& i) { i.mpg123Index = false; }},
    };
    for (const Case& c : cases) {
        AudioLibraryInfo info = loaded;
        c.breakIt(info);
        EXPECT_FALSE(AudioLibrariesUsable(info)) << c.what;
    }
    AudioLibraryInfo newer = loaded;
    newer.sdlMinor += 1;
    EXPECT_TRUE(AudioLibrariesUsable(newer));
}

TEST(AudioInitTest, SdlLeavesTheSessionSignalsToTheProgram)
{
    ASSERT_TRUE(InitSdlAudio());
    for (int signal : {SIGINT, SIGTERM}) {
        struct sigaction action {};
        ASSERT_EQ(sigaction(signal, nullptr, &action), 0);
        EXPECT_EQ(action.sa_handler, SIG_DFL) << signal;
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

TEST(AudioInitTest, NoOutputDeviceEndsTheProgramWithItsMessage)
{
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    RecordingMessages messages;
    ScopedMessages installed(&messages);
    LessonAudio audio;
    EXPECT_FALSE(audio.InitAudio());
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].kind, RecordingMessages::Kind::Error);
    EXPECT_EQ(messages.entries[0].text, QStringLiteral("初始化声音设备错误！"));
    qunsetenv("SDL_AUDIODRIVER");
}

} // namespace
