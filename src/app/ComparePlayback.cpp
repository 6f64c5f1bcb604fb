#include "app/ComparePlayback.h"

#include "app/MainFrm.h"
#include "app/StudyReading.h"
#include "audio/FinishedTake.h"
#include "audio/LessonAudio.h"
#include "controls/HandlerGuard.h"
#include "controls/kznMediaPlayer.h"

#include <algorithm>
#include <cmath>

namespace {

// After the word's own length: the output device's latency, and a breath.
constexpr int kWordToTakeGapMs = 300;

} // namespace

StudyComparePlayback::StudyComparePlayback(TMainForm& form) : m_form(form)
{
    m_takeAfterWord.setSingleShot(true);
    connect(&m_takeAfterWord, &QTimer::timeout, this, [this] {
        if (!m_form.Reading().Recording())
            RunGuarded([this] { m_form.PlayRecording(); });
    });
    m_takeStretch.setSingleShot(true);
    connect(&m_takeStretch, &QTimer::timeout, this, [this] {
        if (m_form.Reading().Recording())
            return;
        RunGuarded([this] {
            m_form.mpFellow->SetStartPosition(std::llround(m_takeFrom * 1000.0));
            m_form.mpFellow->Play();
            m_takeStretchEnd.start(int(std::lround((m_takeTo - m_takeFrom) * 1000.0)));
        });
    });
    m_takeStretchEnd.setSingleShot(true);
    connect(&m_takeStretchEnd, &QTimer::timeout, this, [this] { RunGuarded([this] { m_form.mpFellow->Stop(); }); });
}

void StudyComparePlayback::StopPending()
{
    m_takeAfterWord.stop();
    m_takeStretch.stop();
    m_takeStretchEnd.stop();
}

QString StudyComparePlayback::Refusal(const TakeModel& model) const
{
    if (m_form.Reading().Recording())
        return QStringLiteral("正在跟读录音，录完再听。");
    if (model.kind == TakeModel::Kind::Sentence && model.lessonMp3 != m_form.Audio().recordingMp3())
        return QStringLiteral("这一句所在的课已经关闭，听不到它的范读了。");
    return {};
}

void StudyComparePlayback::PlaySentence(const TakeModel& model, double seconds, int endAction, double untilSeconds)
{
    StopPending();
    const int endMs = untilSeconds < 0 ? model.endMs
                                       : std::min(model.endMs, model.beginMs + int(std::lround(untilSeconds * 1000.0)));
    m_form.Audio().PlaySentence(model.beginMs + int(std::lround(seconds * 1000.0)), endMs, endAction);
}

void StudyComparePlayback::PlayWord(const TakeModel& model, double seconds)
{
    StopPending();
    m_form.Reading().Speaker().OpenWordAudio(model.book, model.wordId);
    m_form.mpWord->SetStartPosition(std::llround(seconds * 1000.0));
    m_form.mpWord->Play();
}

QString StudyComparePlayback::PlayModelFrom(const TakeModel& model, double seconds)
{
    if (QString why = Refusal(model); !why.isEmpty())
        return why;
    if (model.kind == TakeModel::Kind::Sentence) {
        PlaySentence(model, seconds, seaNone);
    } else {
        PlayWord(model, seconds);
    }
    return {};
}

QString StudyComparePlayback::PlayTakeFrom(double seconds)
{
    if (m_form.Reading().Recording())
        return QStringLiteral("正在跟读录音，录完再听。");
    StopPending();
    m_form.mpFellow->SetStartPosition(std::llround(seconds * 1000.0));
    m_form.mpFellow->Play();
    return {};
}

QString StudyComparePlayback::PlayModelThenTake(const TakeModel& model)
{
    if (QString why = Refusal(model); !why.isEmpty())
        return why;
    if (model.kind == TakeModel::Kind::Sentence) {
        // The sentence's end hands over to the take, as the page's compare does.
        PlaySentence(model, 0.0, seaPlayRecording);
    } else {
        PlayWord(model, 0.0);
        const PcmAudio& word = model.wordAudio;
        const int wordMs = word.sampleRate > 0 ? int(word.Frames() * 1000 / word.sampleRate) : 0;
        m_takeAfterWord.start(wordMs + kWordToTakeGapMs);
    }
    return {};
}

QString StudyComparePlayback::PlayStretches(const TakeModel& model, double modelFrom, double modelTo,
                                            double takeFrom, double takeTo)
{
    if (QString why = Refusal(model); !why.isEmpty())
        return why;
    if (model.kind == TakeModel::Kind::Sentence) {
        PlaySentence(model, modelFrom, seaNone, modelTo);
    } else {
        // A word model is the word itself.
        PlayWord(model, modelFrom);
    }
    if (takeTo > takeFrom) {
        m_takeFrom = takeFrom;
        m_takeTo = takeTo;
        m_takeStretch.start(int(std::lround((modelTo - modelFrom) * 1000.0)) + kWordToTakeGapMs);
    }
    return {};
}
