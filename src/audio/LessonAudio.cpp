#include "audio/LessonAudio.h"

#include "audio/AudioDevice.h"
#include "audio/AudioLibraries.h"
#include "audio/Container.h"
#include "audio/LessonVoice.h"
#include "audio/Mp3Decoder.h"
#include "data/DataPath.h"
#include "data/Messages.h"

#include <QFile>

#include <algorithm>

namespace {

const char* const kLibrariesBroken = "软件运行库被破坏，请重新安装本软件！";
const char* const kNoDevice = "初始化声音设备错误！";
const char* const kAudioMissing = "找不到本课的课文语音文件！";
const char* const kAudioUnreadable = "打开课文语音文件出错！";

// Writes the unpacked recording where the lesson's temporary MP3 lives;
// empty when it cannot, leaving no file behind.
QString WriteTempMp3(const QByteArray& mp3)
{
    const QString path = MakeTempFileName(QStringLiteral(".mp3"));
    if (path.isEmpty())
        return {};
    QFile file(path);
    // The file was just made empty and is ours. Opening it truncating would
    // make the file system write it out at close, which doubled the time of
    // a lesson switch.
    const bool written = file.open(QIODevice::ReadWrite)
        && file.write(mp3) == mp3.size() && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        QFile::remove(path);
        return {};
    }
    return path;
}

} // namespace

LessonAudio::LessonAudio(QObject* parent) : QObject(parent) {}

LessonAudio::LessonAudio(Mixer& mixer, QObject* parent) : QObject(parent), m_mixer(&mixer) {}

LessonAudio::~LessonAudio()
{
    CloseLessonAudio();
}

bool LessonAudio::InitAudio()
{
    if (!AudioLibrariesUsable(LoadedAudioLibraries())) {
        ShowError(QString::fromUtf8(kLibrariesBroken));
        return false;
    }
    if (!m_mixer) {
        AudioDevice* device = AudioDevice::shared();
        if (!device) {
            ShowError(QString::fromUtf8(kNoDevice));
            return false;
        }
        m_mixer = &device->mixer();
    }
    return true;
}

bool LessonAudio::OpenLessonAudio(const QString& dataDir, int book, int lesson, int speed)
{
    return OpenLessonAudioFile(ResolveDataPath(dataDir, LessonContainerPath(book, lesson)), speed);
}

bool LessonAudio::OpenLessonAudioFile(const QString& containerPath, int speed)
{
    freeStream();
    if (!FLessonAudioFile.isEmpty()) {
        QFile::remove(FLessonAudioFile);
        FLessonAudioFile.clear();
    }
    m_speed = speed;

    std::optional<QByteArray> mp3;
    if (!containerPath.isEmpty())
        mp3 = UnpackContainerFile(containerPath);
    if (mp3)
        FLessonAudioFile = WriteTempMp3(*mp3);
    if (FLessonAudioFile.isEmpty()) {
        ShowError(QString::fromUtf8(kAudioMissing));
        return false;
    }
    if (!m_mixer) {
        ShowError(QString::fromUtf8(kNoDevice));
        return false;
    }
    std::unique_ptr<Mp3Decoder> decoder = Mp3Decoder::open(*mp3);
    if (decoder)
        FStream = std::make_unique<LessonVoice>(*m_mixer, std::move(decoder), this);
    if (!FStream || !FStream->isValid()) {
        FStream.reset();
        ShowError(QString::fromUtf8(kAudioUnreadable));
        return false;
    }
    FStream->setKeepPitch(m_keepPitch);
    ApplySpeed(speed);
    return true;
}

int64_t LessonAudio::MsToFrame(int64_t ms, int rate)
{
    const int64_t scaled = ms * rate;
    return scaled >= 0 ? (scaled + 500) / 1000 : -((-scaled + 500) / 1000);
}

void LessonAudio::PlaySentence(int beginMs, int endMs, int endAction)
{
    if (!FStream)
        return;
    emit spanStarted(beginMs, endMs);
    const int rate = nativeRate();
    const int64_t length = FStream->decoder().lengthFrames();
    const int64_t first = std::clamp<int64_t>(MsToFrame(beginMs, rate), 0, length);
    FSync = ++m_lastSync == 0 ? ++m_lastSync : m_lastSync;
    m_spanBeginMs = beginMs;
    m_spanEndMs = endMs;
    if (endMs <= beginMs) {
        // No end to watch for: the recording plays on to its end, which
        // counts as heard but ends nothing.
        FStream->playSpan(first, length - 1, FSync, seaNone);
        return;
    }
    // An end past the recording ends with the recording, and is reported,
    // so continuous reading never waits for an end that cannot come.
    const int64_t last = std::min(MsToFrame(endMs, rate), length - 1);
    FStream->playSpan(first, last, FSync, endAction);
}

void LessonAudio::StopLessonAudio()
{
    if (FStream)
        FStream->stop();
}

void LessonAudio::ApplySpeed(int speed)
{
    // A value the settings cannot hold plays at the native rate.
    m_speed = speed >= 8 && speed <= 12 ? speed : 10;
    if (FStream)
        FStream->setSpeed(m_speed);
}

void LessonAudio::ApplyKeepPitch(bool keepPitch)
{
    m_keepPitch = keepPitch;
    if (FStream)
        FStream->setKeepPitch(keepPitch);
}

int LessonAudio::streamSpeed() const
{
    return FStream ? FStream->speed() : 0;
}

void LessonAudio::CloseLessonAudio()
{
    freeStream();
    if (!FLessonAudioFile.isEmpty()) {
        QFile::remove(FLessonAudioFile);
        FLessonAudioFile.clear();
    }
}

bool LessonAudio::isPlaying() const
{
    return FStream && FStream->isPlaying();
}

QByteArray LessonAudio::recordingMp3() const
{
    return FStream ? FStream->decoder().bytes() : QByteArray();
}

int LessonAudio::nativeRate() const
{
    return FStream ? FStream->decoder().rate() : 0;
}

int LessonAudio::lengthMs() const
{
    return FStream ? static_cast<int>(FStream->decoder().lengthFrames() * 1000 / nativeRate()) : 0;
}

void LessonAudio::SentenceEndSync(uint32_t sync, int action)
{
    if (sync == 0 || sync != FSync)
        return;
    FSync = 0;
    emit spanHeard(m_spanBeginMs, m_spanEndMs);
    if (action != seaNone)
        emit speakDone(action);
}

void LessonAudio::freeStream()
{
    FStream.reset();
    FSync = 0;
}
