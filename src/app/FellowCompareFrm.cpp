#include "app/FellowCompareFrm.h"

#include "analysis/TakeComparison.h"
#include "app/ComparePlayback.h"
#include "controls/HandlerGuard.h"
#include "controls/VoiceComparePlot.h"
#include "data/Messages.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

const QString kItemNumbers[] = {QStringLiteral("①"), QStringLiteral("②"), QStringLiteral("③")};
const QString kHowToListen = QStringLiteral("单击上排听范读，单击下排听跟读；空格键先放范读再放跟读。");

QString LoudnessWarning(const TakeLoudness& loudness)
{
    QStringList said;
    if (std::isinf(loudness.peakDbfs))
        said << QStringLiteral("这次跟读没有录到声音，请检查话筒。");
    else if (loudness.tooQuiet)
        said << QStringLiteral("录音太轻（最响处只有 %1 dBFS），请靠近话筒或调高录音音量后再读一遍。")
                    .arg(double(loudness.peakDbfs), 0, 'f', 0);
    if (loudness.clipped)
        said << QStringLiteral("录音太响，声音被削平了，请离话筒远一点或调低录音音量后再读一遍。");
    return said.join(QLatin1Char('\n'));
}

// `wordsFlagged`: the line above names words said unclearly, which this line
// must not seem to deny.
QString PartingsText(const std::vector<Parting>& partings, bool wordsFlagged)
{
    if (partings.empty())
        return wordsFlagged ? QStringLiteral("除了上面这些词，没有找到明显不同的地方。")
                            : QStringLiteral("没有找到明显不同的地方。");
    QStringList items;
    for (std::size_t i = 0; i < partings.size(); ++i) {
        const Parting& p = partings[i];
        QStringList why;
        if (p.sound)
            why << QStringLiteral("发音不同");
        if (p.pitch)
            why << QStringLiteral("音高走向相反");
        const QString words = p.words.isEmpty() ? QStringLiteral("（词间）") : p.words.join(QLatin1Char(' '));
        items << QStringLiteral("%1 %2：%3").arg(kItemNumbers[i], words, why.join(QStringLiteral("，")));
    }
    return QStringLiteral("差别最大的地方　") + items.join(QStringLiteral("　　"));
}

QString ClarityColour(Clarity clarity)
{
    switch (clarity) {
    case Clarity::Clear:
        return QStringLiteral("#1e8449");
    case Clarity::SomewhatUnclear:
        return QStringLiteral("#b9770e");
    case Clarity::Unclear:
        return QStringLiteral("#c0392b");
    case Clarity::Omitted:
        break;
    }
    return QStringLiteral("#7f8c8d");
}

// Each word a link to itself (its index); a word left out is struck through.
QString WordsHtml(const std::vector<TakeWord>& words)
{
    QStringList items;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const TakeWord& w = words[i];
        const QString style = QStringLiteral("color:%1; text-decoration:%2;")
                                  .arg(ClarityColour(w.clarity),
                                       w.clarity == Clarity::Omitted ? QStringLiteral("line-through") : QStringLiteral("none"));
        items << QStringLiteral("<a href=\"%1\" style=\"%2\">%3</a>").arg(i).arg(style, w.text.toHtmlEscaped());
    }
    return QStringLiteral("跟读：") + items.join(QLatin1Char(' '));
}

QString UnclearText(const std::vector<TakeWord>& words)
{
    QStringList unclear;
    for (const TakeWord& w : words) {
        if (w.clarity != Clarity::Clear)
            unclear << QStringLiteral("%1（%2）").arg(w.text, ClarityName(w.clarity));
    }
    if (unclear.isEmpty())
        return QStringLiteral("读得很好！");
    return QStringLiteral("读得不清楚的词：") + unclear.join(QStringLiteral("　"));
}

QString DefaultChooser(QWidget* owner, const QString& suggested)
{
    return QFileDialog::getSaveFileName(owner, QStringLiteral("保存图片"), suggested,
                                        QStringLiteral("PNG 图片 (*.png)"));
}

} // namespace

TFellowCompareFrm::TFellowCompareFrm(LastTake& takes, std::unique_ptr<ComparePlayback> playback, QWidget* parent)
    : QWidget(parent, Qt::Window), m_takes(takes), m_playback(std::move(playback)), m_chooseFile(DefaultChooser)
{
    setObjectName(QStringLiteral("FellowCompareFrm"));
    setWindowTitle(QStringLiteral("跟读对比图"));

    pnlPicture = new QWidget(this);
    pnlPicture->setObjectName(QStringLiteral("pnlPicture"));
    pnlPicture->setAutoFillBackground(true);
    QPalette white = pnlPicture->palette();
    white.setColor(QPalette::Window, Qt::white);
    pnlPicture->setPalette(white);
    lblModel = new QLabel(pnlPicture);
    lblModel->setObjectName(QStringLiteral("lblModel"));
    lblModel->setTextFormat(Qt::PlainText);  // lesson words and paths are never markup
    lblModel->setWordWrap(true);
    QFont bold = lblModel->font();
    bold.setBold(true);
    lblModel->setFont(bold);
    lblWarning = new QLabel(pnlPicture);
    lblWarning->setObjectName(QStringLiteral("lblWarning"));
    lblWarning->setTextFormat(Qt::PlainText);
    lblWarning->setWordWrap(true);
    lblWarning->setStyleSheet(QStringLiteral("color: #c0392b;"));
    lblWarning->hide();
    plot = new TVoiceComparePlot(pnlPicture);
    lblWords = new QLabel(pnlPicture);
    lblWords->setObjectName(QStringLiteral("lblWords"));
    lblWords->setTextFormat(Qt::RichText);
    lblWords->setWordWrap(true);
    lblWords->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    lblWords->setToolTip(QStringLiteral("单击一个词：先听范读里的这个词，再听自己读的"));
    QFont large = lblWords->font();
    if (large.pointSizeF() > 0)
        large.setPointSizeF(large.pointSizeF() * 1.25);
    else
        large.setPixelSize(large.pixelSize() * 5 / 4);
    lblWords->setFont(large);
    lblWords->hide();
    lblUnclear = new QLabel(pnlPicture);
    lblUnclear->setObjectName(QStringLiteral("lblUnclear"));
    lblUnclear->setTextFormat(Qt::PlainText);
    lblUnclear->setWordWrap(true);
    lblUnclear->hide();
    lblPartings = new QLabel(pnlPicture);
    lblPartings->setObjectName(QStringLiteral("lblPartings"));
    lblPartings->setTextFormat(Qt::PlainText);
    lblPartings->setWordWrap(true);
    auto* picture = new QVBoxLayout(pnlPicture);
    picture->addWidget(lblModel);
    picture->addWidget(lblWarning);
    picture->addWidget(plot, 1);
    picture->addWidget(lblWords);
    picture->addWidget(lblUnclear);
    picture->addWidget(lblPartings);

    btnPlayBoth = new QPushButton(QStringLiteral("播放对比"), this);
    btnPlayBoth->setObjectName(QStringLiteral("btnPlayBoth"));
    btnPlayBoth->setToolTip(QStringLiteral("先放范读，再放跟读（空格键）"));
    btnSave = new QPushButton(QStringLiteral("保存图片…"), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    // A mouse click leaves the focus on the picture, where Space plays.
    for (QPushButton* b : {btnPlayBoth, btnSave})
        b->setFocusPolicy(Qt::TabFocus);
    lblStatus = new QLabel(kHowToListen, this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setTextFormat(Qt::PlainText);
    lblStatus->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnPlayBoth);
    buttons->addWidget(lblStatus, 1);
    buttons->addWidget(btnSave);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pnlPicture, 1);
    layout->addLayout(buttons);
    setFocusProxy(plot);
    QWidget::setTabOrder(plot, btnPlayBoth);
    QWidget::setTabOrder(btnPlayBoth, btnSave);

    connect(btnPlayBoth, &QPushButton::clicked, this, Guarded([this] { PlayBoth(); }));
    connect(btnSave, &QPushButton::clicked, this, Guarded([this] { SavePicture(); }));
    connect(plot, &TVoiceComparePlot::ModelClicked, this, [this](double s) { RunGuarded([&] { PlayModelFrom(s); }); });
    connect(lblWords, &QLabel::linkActivated, this,
            [this](const QString& link) { RunGuarded([&] { PlayWord(link.toInt()); }); });
    connect(plot, &TVoiceComparePlot::TakeClicked, this, [this](double s) { RunGuarded([&] { PlayTakeFrom(s); }); });
    connect(&m_takes, &LastTake::changed, this, [this] { RunGuarded([this] { TakeChanged(); }); });
    connect(&m_runner, &TakeAnalysisRunner::analysed, this,
            [this](const TakeAnalysis& analysed) { RunGuarded([&] { Show(analysed); }); });
    TakeChanged();
}

TFellowCompareFrm::~TFellowCompareFrm() = default;

void TFellowCompareFrm::TakeChanged()
{
    const FinishedTake& last = m_takes.Last();
    m_shownSerial = 0;
    m_model = last.model;
    lblStatus->setText(kHowToListen);
    plot->SetComparison(nullptr);
    lblWarning->hide();
    lblPartings->clear();
    m_words.clear();
    lblWords->hide();
    lblUnclear->hide();
    btnPlayBoth->setEnabled(false);
    btnSave->setEnabled(false);
    if (last.serial == 0) {
        lblModel->clear();
        plot->SetPlaceholder(QStringLiteral("还没有跟读录音。"));
        return;
    }
    lblModel->setText((last.model.kind == TakeModel::Kind::Word ? QStringLiteral("单词：") : QStringLiteral("句子："))
                      + last.model.text);
    plot->SetPlaceholder(QStringLiteral("正在分析这次跟读……"));
    m_runner.Analyse(last);
}

void TFellowCompareFrm::Show(const TakeAnalysis& analysed)
{
    if (!analysed.comparison) {
        plot->SetPlaceholder(QStringLiteral("找不到这次跟读的范读录音，无法对比。"));
    } else {
        QString warning = LoudnessWarning(analysed.comparison->loudness);
        if (analysed.comparison->cut)
            warning += (warning.isEmpty() ? QString() : QStringLiteral("\n"))
                + QStringLiteral("录音很长，只比较了前 %1 秒。").arg(int(kLongestComparedSeconds));
        lblWarning->setText(warning);
        lblWarning->setVisible(!warning.isEmpty());
        const std::vector<TakeWord>& words = analysed.check.words;
        const bool wordsFlagged = std::any_of(words.begin(), words.end(),
                                              [](const TakeWord& w) { return w.clarity != Clarity::Clear; });
        lblPartings->setText(PartingsText(analysed.comparison->partings, wordsFlagged));
        plot->SetComparison(analysed.comparison);
        btnPlayBoth->setEnabled(true);
    }
    ShowWords(analysed.check);
    btnSave->setEnabled(true);
    m_shownSerial = analysed.serial;
}

void TFellowCompareFrm::ShowWords(const TakeWordCheck& check)
{
    m_words = check.words;
    lblWords->setVisible(!m_words.empty());
    lblWords->setText(m_words.empty() ? QString() : WordsHtml(m_words));
    const QString line = m_words.empty() ? check.note : UnclearText(m_words);
    lblUnclear->setText(line);
    lblUnclear->setVisible(!line.isEmpty());
}

void TFellowCompareFrm::Report(const QString& status)
{
    if (!status.isEmpty())
        lblStatus->setText(status);
}

void TFellowCompareFrm::PlayModelFrom(double seconds)
{
    if (m_shownSerial != 0)
        Report(m_playback->PlayModelFrom(m_model, seconds));
}

void TFellowCompareFrm::PlayTakeFrom(double seconds)
{
    if (m_shownSerial != 0)
        Report(m_playback->PlayTakeFrom(seconds));
}

void TFellowCompareFrm::PlayWord(int index)
{
    if (m_shownSerial == 0 || index < 0 || std::size_t(index) >= m_words.size())
        return;
    const TakeWord& w = m_words[std::size_t(index)];
    double from = w.modelBegin;
    double to = w.modelEnd;
    // Where the recogniser could not find it in the model, the picture's
    // placing of the word stands in.
    if (!w.inModel) {
        const TakeComparison* c = plot->Comparison();
        if (!c || std::size_t(index) >= c->words.size())
            return;
        from = c->words[std::size_t(index)].begin;
        to = c->words[std::size_t(index)].end;
    }
    Report(m_playback->PlayStretches(m_model, from, to, w.takeBegin, w.takeEnd));
}

void TFellowCompareFrm::PlayBoth()
{
    if (m_shownSerial != 0 && plot->Comparison())
        Report(m_playback->PlayModelThenTake(m_model));
}

void TFellowCompareFrm::SavePicture()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString folder = !pictures.isEmpty() && QDir(pictures).exists() ? pictures : QDir::homePath();
    QString path = m_chooseFile(this, QDir(folder).filePath(QStringLiteral("跟读对比.png")));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        path += QStringLiteral(".png");
    if (!pnlPicture->grab().save(path, "PNG")) {
        ShowError(QStringLiteral("图片没能保存到“%1”，请换一个文件夹再试。").arg(QDir::toNativeSeparators(path)));
        return;
    }
    lblStatus->setText(QStringLiteral("图片已保存到“%1”。").arg(QDir::toNativeSeparators(path)));
}

void TFellowCompareFrm::keyPressEvent(QKeyEvent* event)
{
    RunGuarded([&] {
        if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
            PlayBoth();
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            close();
            return;
        }
        QWidget::keyPressEvent(event);
    });
}
