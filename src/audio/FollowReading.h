#pragma once

#include "audio/ReadingPorts.h"

#include <QString>

#include <functional>

// The recorder's file "tmpwav.wav" in the data folder, found regardless of
// letter case; where it is missing, the path it would have.
QString TakeFilePath(const QString& dataDir);

// One page's follow-reading button over the recorder the pages share: idle
// or recording a take, and whether a take has ended on this page (which
// enables its compare button). The take itself lives in the recorder, so a
// take made on one page is what the other page's compare plays. The take
// file is only opened, never written.
//
// GUI thread only.
class FollowReading {
public:
    FollowReading(TakeRecorder& recorder, QString takeFile);

    // Told of every take on this page: `started` once it records, `ended`
    // once the recorder has stopped (by the button or by leaving the page).
    struct TakeHooks {
        std::function<void()> started;
        std::function<void()> ended;
    };
    void SetTakeHooks(TakeHooks hooks) { m_hooks = std::move(hooks); }

    // Starts a take. `prepareModel` runs first (the word page opens its model
    // word there). If it or the recorder throws, the page is idle again as
    // before the call and the error goes on to the caller.
    void StartTake(const std::function<void()>& prepareModel = {});
    // Ends the take and plays it back from its start.
    void StopTake();
    // Ends a running take without playing it (the page is being left).
    void EndTakeSilently();

    bool Recording() const { return m_recording; }
    // Whether compare may be offered: a take has ended here and none runs.
    bool CanCompare() const { return m_takeEnded && !m_recording; }

    // The take from where the recorder stands (it rewinds at the end).
    void PlayTake();

private:
    TakeRecorder& m_recorder;
    QString m_takeFile;
    TakeHooks m_hooks;
    bool m_recording = false;
    bool m_takeEnded = false;
};
