#include "app/ComparePlayback.h"

#include "data/HandlerGuard.h"
#include "app/MainFrm.h"
#include "app/StudyReading.h"
#include "audio/FinishedTake.h"
#include "audio/LessonAudio.h"
#include "controls/kznMediaPlayer.h"

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
}

QString StudyComparePlayback::Refusal(const TakeModel& model) const
{
    if (m_form.Reading().Recording())
        return QStringLiteral("正在跟读录音，录完再听。");
    if (model.kind == TakeModel::Kind::Sentence && model.lessonMp3 != m_form.Audio().recordingMp3())
        return QStringLiteral("这一句所在的课已经关闭，听不到它的范读了。");
    return {};
}

void StudyComparePlayback::PlaySentence(const TakeModel& model, double seconds, int endAction)
{
    m_takeAfterWord.stop();
    m_form.Audio().PlaySentence(model.beginMs + int(std::lround(seconds * 1000.0)), model.endMs, endAction);
}

void StudyComparePlayback::PlayWord(const TakeModel& model, double seconds)
{
    m_takeAfterWord.stop();
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
    m_takeAfterWord.stop();
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
