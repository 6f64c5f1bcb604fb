#pragma once

// What the sound libraries that were actually loaded at run time report,
// so a broken or mismatched installation is caught before the first window.
struct AudioLibraryInfo {
    int sdlMajor = 0;
    int sdlMinor = 0;
    int sdlPatch = 0;
    bool mpg123Initialised = false;  // mpg123_init succeeded
    bool mpg123Layer3 = false;       // can decode MP3
    bool mpg123Float = false;        // can hand out float samples
    bool mpg123Index = false;        // can build a seek index
};

AudioLibraryInfo LoadedAudioLibraries();

// SDL_InitSubSystem(SDL_INIT_AUDIO) with SDL's own SIGINT/SIGTERM handlers
// off: the program closes its window on those signals itself. Pair each
// success with SDL_QuitSubSystem(SDL_INIT_AUDIO).
bool InitSdlAudio();

// True when the loaded SDL is a 2.x no older than the one the program was
// built against and libmpg123 offers everything the lesson player uses.
bool AudioLibrariesUsable(const AudioLibraryInfo& info);
