#include "audio/AudioLibraries.h"

#include <SDL2/SDL.h>
#include <mpg123.h>

#include <tuple>

AudioLibraryInfo LoadedAudioLibraries()
{
    AudioLibraryInfo info;
    SDL_version sdl{};
    SDL_GetVersion(&sdl);
    info.sdlMajor = sdl.major;
    info.sdlMinor = sdl.minor;
    info.sdlPatch = sdl.patch;
    info.mpg123Initialised = mpg123_init() == MPG123_OK;
    info.mpg123Layer3 = mpg123_feature(MPG123_FEATURE_DECODE_LAYER3) != 0;
    info.mpg123Float = mpg123_feature(MPG123_FEATURE_OUTPUT_FLOAT32) != 0;
    info.mpg123Index = mpg123_feature(MPG123_FEATURE_INDEX) != 0;
    return info;
}

bool InitSdlAudio()
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

bool AudioLibrariesUsable(const AudioLibraryInfo& info)
{
    const bool sdlOk = info.sdlMajor == SDL_MAJOR_VERSION
        && std::tie(info.sdlMinor, info.sdlPatch) >= std::make_tuple(SDL_MINOR_VERSION, SDL_PATCHLEVEL);
    return sdlOk && info.mpg123Initialised && info.mpg123Layer3 && info.mpg123Float && info.mpg123Index;
}
