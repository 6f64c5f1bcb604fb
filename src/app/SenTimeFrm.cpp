#include "app/SenTimeFrm.h"

#include "app/AppFonts.h"
#include "app/DialogButtons.h"
#include "audio/LessonAudio.h"
#include "audio/RecordingPeaks.h"
#include "controls/HandlerGuard.h"
#include "controls/kznWaveSpan.h"
#include "data/DMUnit.h"
#include "data/Messages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace {

using Span = TkznWaveSpan::Span;

// What the editor shows of the recording and how far the handles may go.
struct EditorFrame {
    int viewBegin = 0;
    int viewEnd = 0;
    int lowestBegin = 0;
    int highestEnd = 0;
    Span span;
};

EditorFrame FrameOf(const std::optional<Span>& previous, Span span, const std::optional<Span>& next, int lengthMs)
{
    constexpr int kMin = TkznWaveSpan::kMinLengthMs;
    EditorFrame f;
    span.beginMs = std::max(span.beginMs, 0);
    // A sentence that plays on to the end of the recording starts out ending
    // where the next one begins.
    if (span.endMs <= span.beginMs)
        span.endMs = std::max(next ? next->beginMs : lengthMs, span.beginMs + kMin);
    f.span = span;
    // Times an old course got wrong (a sentence reaching into its
    // neighbour) keep their place; the handle only cannot go further.
    f.lowestBegin = previous ? std::min(previous->endMs, span.beginMs) : 0;
    f.highestEnd = next ? std::max(next->beginMs, span.endMs) : std::max(lengthMs, span.endMs);

    f.viewBegin = std::max(previous ? previous->beginMs : 0, span.beginMs - TSenTimeForm::kContextMs);
    f.viewBegin = std::max(0, std::min(f.viewBegin, span.beginMs));
    const int nextEnd = next ? std::max(next->endMs, next->beginMs) : lengthMs;
    f.viewEnd = std::max(std::min(nextEnd, span.endMs + TSenTimeForm::kContextMs), span.endMs);
    // A handle never leaves the picture.
    f.lowestBegin = std::max(f.lowestBegin, f.viewBegin);
    f.highestEnd = std::min(f.highestEnd, f.viewEnd);
    return f;
}

std::optional<Span> RowSpan(const TLessonDataSet& sentences, int row)
{
    if (row < 0 || row >= sentences.RecordCount())
        return std::nullopt;
    return Span{sentences.Value(row, sentences.FieldIndex(QStringLiteral("FBeginPos"))).toInt(),
                sentences.Value(row, sentences.FieldIndex(QStringLiteral("FEndPos"))).toInt()};
}

// "1:05.30": minutes, seconds and hundredths.
QString TimeText(int ms)
{
    return QStringLiteral("%1:%2.%3")
        .arg(ms / 60000)
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000 / 10, 2, 10, QLatin1Char('0'));
}

}  // namespace

bool EditSentenceTime(QWidget* owner, TDM& dm, LessonAudio& audio)
{
    if (!dm.adsQorSen.Active() || dm.adsQorSen.RecNo() < 0) {
        ShowInfo(QStringLiteral("请先在课文精读页选择要调整的句子。"));
        return false;
    }
    if (!audio.hasStream()) {
        ShowError(QStringLiteral("本课没有可用的课文录音，无法调整句子时间。"));
        return false;
    }
    TSenTimeForm form(owner, dm, audio);
    return form.exec() == QDialog::Accepted;
}

TSenTimeForm::TSenTimeForm(QWidget* owner, TDM& dm, LessonAudio& audio)
    : QDialog(owner)
    , m_dm(dm)
    , m_audio(audio)
    , m_row(dm.adsQorSen.RecNo())
{
    setObjectName(QStringLiteral("SenTimeForm"));
    setWindowTitle(QStringLiteral("调整句子时间"));
    setFont(SongTiFont(12));
    CreateControls();
    ShowRecording();
    ShowTimes();
    wave->setFocus();
}

void TSenTimeForm::CreateControls()
{
    auto* layout = new QVBoxLayout(this);
    lblSentence = new QLabel(this);
    lblSentence->setObjectName(QStringLiteral("lblSentence"));
    lblSentence->setWordWrap(true);
    lblSentence->setTextFormat(Qt::PlainText);
    layout->addWidget(lblSentence);

    wave = new TkznWaveSpan(this);
    wave->setObjectName(QStringLiteral("wave"));
    wave->setFixedSize(kWaveWidth, kWaveHeight);
    layout->addWidget(wave);

    lblTimes = new QLabel(this);
    lblTimes->setObjectName(QStringLiteral("lblTimes"));
    lblTimes->setTextFormat(Qt::PlainText);
    layout->addWidget(lblTimes);
    auto* hint = new QLabel(QStringLiteral("拖动绿线（开始）和红线（结束），或用 ← → 键移动选中的线，每次 10 毫秒，按住 Shift "
                                           "每次 100 毫秒；Tab 键在两条线之间切换，空格键播放整句。"),
                            this);
    hint->setWordWrap(true);
    hint->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(hint);

    auto* plays = new QHBoxLayout;
    btnPlay = new QPushButton(QStringLiteral("播放整句"), this);
    btnPlay->setObjectName(QStringLiteral("btnPlay"));
    btnPlayHead = new QPushButton(QStringLiteral("播放开头一秒"), this);
    btnPlayHead->setObjectName(QStringLiteral("btnPlayHead"));
    btnPlayTail = new QPushButton(QStringLiteral("播放结尾一秒"), this);
    btnPlayTail->setObjectName(QStringLiteral("btnPlayTail"));
    for (QPushButton* button : {btnPlay, btnPlayHead, btnPlayTail}) {
        button->setAutoDefault(false);
        plays->addWidget(button);
    }
    plays->addStretch(1);
    layout->addLayout(plays);
    btnOk = AddOkCancelRow(this, layout);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnPlay, &QPushButton::clicked, this, Guarded([this] {
        Play(wave->CurrentSpan().beginMs, wave->CurrentSpan().endMs);
    }));
    connect(btnPlayHead, &QPushButton::clicked, this, Guarded([this] {
        const Span s = wave->CurrentSpan();
        Play(s.beginMs, std::min(s.beginMs + 1000, s.endMs));
    }));
    connect(btnPlayTail, &QPushButton::clicked, this, Guarded([this] {
        const Span s = wave->CurrentSpan();
        Play(std::max(s.endMs - 1000, s.beginMs), s.endMs);
    }));
    connect(wave, &TkznWaveSpan::PlayRequested, this, Guarded([this] {
        Play(wave->CurrentSpan().beginMs, wave->CurrentSpan().endMs);
    }));
    connect(wave, &TkznWaveSpan::SpanChanged, this, Guarded([this] { ShowTimes(); }));
    connect(btnOk, &QPushButton::clicked, this, Guarded([this] { accept(); }));
}

void TSenTimeForm::ShowRecording()
{
    const TLessonDataSet& sentences = m_dm.adsQorSen;
    lblSentence->setText(QStringLiteral("第 %1 句：%2\n%3")
                             .arg(m_row + 1)
                             .arg(sentences.Text(m_row, sentences.FieldIndex(QStringLiteral("FEnglish"))),
                                  sentences.Text(m_row, sentences.FieldIndex(QStringLiteral("FChinese")))));
    const std::optional<Span> previous = RowSpan(sentences, m_row - 1);
    const std::optional<Span> next = RowSpan(sentences, m_row + 1);
    const EditorFrame frame = FrameOf(previous, *RowSpan(sentences, m_row), next, m_audio.lengthMs());
    wave->SetView(frame.viewBegin, frame.viewEnd,
                  RecordingPeaks(m_audio.recordingMp3(), frame.viewBegin, frame.viewEnd, kWaveWidth));
    wave->SetNeighbours(previous, next);
    wave->SetLimits(frame.lowestBegin, frame.highestEnd);
    wave->SetSpan(frame.span.beginMs, frame.span.endMs);
}

void TSenTimeForm::ShowTimes()
{
    const Span s = wave->CurrentSpan();
    lblTimes->setText(QStringLiteral("开始 %1　　结束 %2　　长度 %3 秒")
                          .arg(TimeText(s.beginMs), TimeText(s.endMs))
                          .arg(QString::number((s.endMs - s.beginMs) / 1000.0, 'f', 2)));
}

void TSenTimeForm::Play(int beginMs, int endMs)
{
    m_audio.PlaySentence(beginMs, endMs, seaNone);
}

void TSenTimeForm::accept()
{
    const Span s = wave->CurrentSpan();
    if (s != *RowSpan(m_dm.adsQorSen, m_row) && !m_dm.WriteSentenceTimes(m_row, s.beginMs, s.endMs))
        return;
    QDialog::accept();
}

void TSenTimeForm::done(int result)
{
    // What the editor played ends with it.
    m_audio.StopLessonAudio();
    QDialog::done(result);
}
