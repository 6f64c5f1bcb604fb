#include "app/AddLessonFrm.h"

#include "app/AppFonts.h"
#include "app/ChooseFile.h"
#include "audio/Container.h"
#include "controls/HandlerGuard.h"
#include "data/BookName.h"
#include "data/DMUnit.h"
#include "data/Messages.h"
#include "data/TextCodec.h"
#include "speech/SentenceSplitter.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStringDecoder>
#include <QVBoxLayout>

// A text the tool reads, in a temporary file this dialog owns: written as
// UTF-8 when a run starts, deleted when the run ends or the dialog goes.
class TempTextFile {
public:
    explicit TempTextFile(const QString& text) : m_path(MakeTempFileName(QStringLiteral(".txt")))
    {
        QFile file(m_path);
        const QByteArray bytes = text.toUtf8();
        if (m_path.isEmpty())
            return;
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
            file.remove();
            m_path.clear();
        }
    }
    ~TempTextFile()
    {
        if (!m_path.isEmpty())
            QFile::remove(m_path);
    }
    TempTextFile(const TempTextFile&) = delete;
    TempTextFile& operator=(const TempTextFile&) = delete;

    // Empty when the file could not be written.
    const QString& Path() const { return m_path; }

private:
    QString m_path;
};

namespace {

constexpr qint64 kLargestText = 4 << 20;
// The tool adds the lesson in one transaction and, asked to stop, cleans up
// and writes nothing; one that has not ended this long after is killed.
constexpr int kKillAfterMs = 5000;
const QString kAudioFilter = QStringLiteral("录音 (*.mp3 *.wav *.flac *.ogg *.oga)");
const QString kTextFilter = QStringLiteral("文本文件 (*.txt);;所有文件 (*)");

// A text file as the learner means it: UTF-8, or else GB18030, which Chinese
// texts saved on Windows usually are.
std::optional<QString> ReadTextFile(const QString& path, QString& problem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = QStringLiteral("无法读取文件“%1”：%2").arg(path, file.errorString());
        return std::nullopt;
    }
    if (file.size() > kLargestText) {
        problem = QStringLiteral("文件“%1”太大，不像一课的课文。").arg(path);
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = Gb18030ToText(bytes);
    return NormalizedText(text);
}

QPushButton* FileButton(QWidget* parent, const char* name)
{
    auto* button = new QPushButton(QStringLiteral("从文件读入…"), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

std::optional<AddedLesson> AddLesson(QWidget* owner, TDM& dm, const QString& courseTool)
{
    TAddLessonForm form(owner, dm, courseTool);
    form.exec();
    return form.Added();
}

QString UncertainTimesText(const QList<int>& sentences)
{
    constexpr int kNamed = 12;
    QStringList numbers;
    for (int i = 0; i < sentences.size() && i < kNamed; ++i)
        numbers << QString::number(sentences[i]);
    const QString which = sentences.size() > kNamed
        ? QStringLiteral("%1 等 %2").arg(numbers.join(QStringLiteral("、"))).arg(sentences.size())
        : numbers.join(QStringLiteral("、"));
    return QStringLiteral("第 %1 句的时间可能不准，请在课文精读页检查。").arg(which);
}

TAddLessonForm::TAddLessonForm(QWidget* owner, TDM& dm, const QString& courseTool)
    : QDialog(owner)
    , m_dm(dm)
    , m_run(courseTool, AuthorTexts(), kKillAfterMs)
{
    setObjectName(QStringLiteral("AddLessonForm"));
    setWindowTitle(QStringLiteral("添加课文"));
    setFont(SongTiFont(12));
    CreateControls();
    cbBook->setCurrentIndex(dm.CurBook >= 1 && dm.CurBook <= 4 ? dm.CurBook - 1 : 0);
    SetRunning(false);
    connect(&m_run, &CourseToolRun::Progress, this, &TAddLessonForm::RunProgress);
    connect(&m_run, &CourseToolRun::OutputLine, this,
            [this](const QString& line) { RunGuarded([&] { m_report.Read(line); }); });
    connect(&m_run, &CourseToolRun::Finished, this, Guarded([this] { RunFinished(); }));
}

TAddLessonForm::~TAddLessonForm() = default;

void TAddLessonForm::CreateControls()
{
    auto* grid = new QGridLayout;
    int row = 0;
    auto label = [&](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        grid->addWidget(l, row, 0, Qt::AlignLeft | Qt::AlignTop);
    };

    edtAudio = new QLineEdit(this);
    edtAudio->setObjectName(QStringLiteral("edtAudio"));
    edtAudio->setPlaceholderText(QStringLiteral("MP3、WAV、FLAC 或 Ogg 录音"));
    btnAudio = new QPushButton(QStringLiteral("选择…"), this);
    btnAudio->setObjectName(QStringLiteral("btnAudio"));
    btnAudio->setAutoDefault(false);
    label(QStringLiteral("录音(&R)："), edtAudio);
    grid->addWidget(edtAudio, row, 1);
    grid->addWidget(btnAudio, row++, 2);

    memText = new QPlainTextEdit(this);
    memText->setObjectName(QStringLiteral("memText"));
    memText->setPlaceholderText(QStringLiteral("英文课文：一行一句，或整段文字（按句号、问号、感叹号分句）"));
    memText->setTabChangesFocus(true);
    btnText = FileButton(this, "btnText");
    label(QStringLiteral("英文课文(&E)："), memText);
    grid->addWidget(memText, row, 1);
    grid->addWidget(btnText, row++, 2, Qt::AlignTop);

    memChinese = new QPlainTextEdit(this);
    memChinese->setObjectName(QStringLiteral("memChinese"));
    memChinese->setPlaceholderText(QStringLiteral("可以不填；填写时每行一句，与英文句子一一对应"));
    memChinese->setTabChangesFocus(true);
    btnChinese = FileButton(this, "btnChinese");
    label(QStringLiteral("中文译文(&C)："), memChinese);
    grid->addWidget(memChinese, row, 1);
    grid->addWidget(btnChinese, row++, 2, Qt::AlignTop);

    cbBook = new QComboBox(this);
    cbBook->setObjectName(QStringLiteral("cbBook"));
    for (int book = 1; book <= 4; ++book)
        cbBook->addItem(QStringLiteral("Veltra") + BookName(book));
    label(QStringLiteral("加入(&B)："), cbBook);
    grid->addWidget(cbBook, row++, 1, Qt::AlignLeft);

    edtTitle = new QLineEdit(this);
    edtTitle->setObjectName(QStringLiteral("edtTitle"));
    edtTitle->setPlaceholderText(QStringLiteral("取自英文课文的第一句"));
    label(QStringLiteral("标题(&T)："), edtTitle);
    grid->addWidget(edtTitle, row++, 1);
    grid->setColumnStretch(1, 1);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    pbAuthor = new QProgressBar(this);
    pbAuthor->setObjectName(QStringLiteral("pbAuthor"));
    btnStart = new QPushButton(QStringLiteral("开始"), this);
    btnStart->setObjectName(QStringLiteral("btnStart"));
    btnStart->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(pbAuthor, 1);
    // Keeps the buttons at the right while the bar is hidden.
    buttons->addStretch(0);
    buttons->addWidget(btnStart);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(lblStatus);
    layout->addLayout(buttons);
    resize(600, 520);

    connect(btnAudio, &QPushButton::clicked, this, Guarded([this] { btnAudioClick(); }));
    connect(btnText, &QPushButton::clicked, this,
            Guarded([this] { ReadTextInto(memText, QStringLiteral("读入英文课文")); }));
    connect(btnChinese, &QPushButton::clicked, this,
            Guarded([this] { ReadTextInto(memChinese, QStringLiteral("读入中文译文")); }));
    connect(memText, &QPlainTextEdit::textChanged, this, Guarded([this] { memTextChanged(); }));
    connect(btnStart, &QPushButton::clicked, this, Guarded([this] { btnStartClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, Guarded([this] { reject(); }));
}

void TAddLessonForm::btnAudioClick()
{
    if (const std::optional<QString> chosen = ChooseFile(this, QStringLiteral("选择课文录音"), kAudioFilter))
        edtAudio->setText(*chosen);
}

void TAddLessonForm::ReadTextInto(QPlainTextEdit* memo, const QString& title)
{
    const std::optional<QString> chosen = ChooseFile(this, title, kTextFilter);
    if (!chosen)
        return;
    QString problem;
    if (const std::optional<QString> text = ReadTextFile(*chosen, problem))
        memo->setPlainText(*text);
    else
        ShowError(problem);
}

void TAddLessonForm::memTextChanged()
{
    // The title follows the text's first sentence until the learner writes one.
    const QString title = FirstSentence(memText->toPlainText());
    if (edtTitle->text() == m_autoTitle) {
        edtTitle->setText(title);
        edtTitle->setCursorPosition(0);  // a long title shows its beginning
    }
    m_autoTitle = title;
}

std::optional<AuthorRequest> TAddLessonForm::Request()
{
    AuthorRequest request;
    request.dataDir = m_dm.DataDir();
    request.book = cbBook->currentIndex() + 1;
    request.audioFile = edtAudio->text().trimmed();
    request.title = edtTitle->text().simplified();
    const QStringList suffixes{QStringLiteral("mp3"), QStringLiteral("wav"), QStringLiteral("flac"),
                               QStringLiteral("ogg"), QStringLiteral("oga")};
    if (request.audioFile.isEmpty()) {
        ShowInfo(QStringLiteral("请选择这一课的录音文件（MP3、WAV、FLAC 或 Ogg）。"));
        edtAudio->setFocus();
        return std::nullopt;
    }
    if (!QFileInfo(request.audioFile).isFile()) {
        ShowInfo(QStringLiteral("找不到录音文件“%1”。").arg(request.audioFile));
        edtAudio->setFocus();
        return std::nullopt;
    }
    if (!suffixes.contains(QFileInfo(request.audioFile).suffix().toLower())) {
        ShowInfo(QStringLiteral("只能使用 MP3、WAV、FLAC 或 Ogg 录音。"));
        edtAudio->setFocus();
        return std::nullopt;
    }
    const qsizetype sentences = SplitSentences(NormalizedText(memText->toPlainText())).size();
    if (sentences == 0) {
        ShowInfo(QStringLiteral("请输入这一课的英文课文，或从文件读入。"));
        memText->setFocus();
        return std::nullopt;
    }
    const qsizetype translations = TranslationLines(memChinese->toPlainText()).size();
    if (translations > 0 && translations != sentences) {
        ShowInfo(QStringLiteral("中文译文有 %1 行，英文课文有 %2 句，两者必须一样多：每行写一句译文。")
                     .arg(translations)
                     .arg(sentences));
        memChinese->setFocus();
        return std::nullopt;
    }
    m_textFile = std::make_unique<TempTextFile>(memText->toPlainText());
    request.textFile = m_textFile->Path();
    if (translations > 0) {
        m_chineseFile = std::make_unique<TempTextFile>(memChinese->toPlainText());
        request.chineseFile = m_chineseFile->Path();
    }
    if (request.textFile.isEmpty() || (translations > 0 && request.chineseFile.isEmpty())) {
        m_textFile.reset();
        m_chineseFile.reset();
        ShowError(QStringLiteral("无法写入临时文件，没有添加课文。请检查磁盘空间。"));
        return std::nullopt;
    }
    return request;
}

void TAddLessonForm::btnStartClick()
{
    if (Running())
        return;
    const std::optional<AuthorRequest> request = Request();
    if (!request)
        return;
    SetRunning(true);
    pbAuthor->setRange(0, 0);
    lblStatus->setText(QStringLiteral("正在启动课程工具…"));
    m_report = {};
    m_added.reset();
    m_run.Start(request->Arguments());
}

void TAddLessonForm::RunProgress(int step, int steps, const QString& label)
{
    if (steps <= 0)
        return;
    const int percent = static_cast<int>(std::clamp<qint64>(qint64(step) * 100 / steps, 0, 100));
    pbAuthor->setRange(0, 100);
    pbAuthor->setValue(percent);
    lblStatus->setText(QStringLiteral("%1…（%2%）").arg(label).arg(percent));
}

void TAddLessonForm::RunFinished()
{
    m_textFile.reset();
    m_chineseFile.reset();
    SetRunning(false);
    // Whatever ended the run, the outcome is what the tool did: a lesson
    // reported before a cancel took effect counts as added.
    if (m_run.End() == ToolEnd::Done && m_report.Added()) {
        m_added = m_report.Added();
        QDialog::accept();
        return;
    }
    if (m_closing) {
        QDialog::reject();
        return;
    }
    lblStatus->setText(QStringLiteral("没有添加课文。"));
    if (m_run.End() == ToolEnd::Done)
        ShowError(QStringLiteral("课程工具没有报告添加了哪一课。请在“选择课程”里查看。"));
    else if (m_run.End() != ToolEnd::Cancelled)
        ShowError(m_run.FailureText());
}

void TAddLessonForm::reject()
{
    if (!Running()) {
        QDialog::reject();
        return;
    }
    // The tool cleans up first; the dialog closes when it has ended.
    m_closing = true;
    btnCancel->setEnabled(false);
    lblStatus->setText(QStringLiteral("正在停止…"));
    m_run.Cancel();
}

void TAddLessonForm::SetRunning(bool running)
{
    for (QWidget* w : std::initializer_list<QWidget*>{edtAudio, btnAudio, memText, btnText, memChinese, btnChinese,
                                                      cbBook, edtTitle, btnStart})
        w->setEnabled(!running);
    pbAuthor->setVisible(running);
    if (!running) {
        pbAuthor->setRange(0, 100);
        pbAuthor->setValue(0);
    }
}
