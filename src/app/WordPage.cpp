#include "app/WordPage.h"

#include "app/LessonGrid.h"
#include "app/PageButton.h"
#include "app/PageGrid.h"
#include "audio/FollowReading.h"
#include "audio/WordReading.h"
#include "audio/WordSpeaker.h"
#include "controls/HandlerGuard.h"
#include "data/LessonDataSet.h"
#include "data/LessonTableModel.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>

namespace {

const QString kSongTi = QStringLiteral("宋体");

QLineEdit* DetailEdit(QWidget* page, const QString& name, QRect geometry)
{
    auto* edit = new QLineEdit(page);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    edit->setReadOnly(true);
    edit->setFont(PixelFont(kSongTi, 12));
    return edit;
}

void PageLabel(QWidget* page, const QString& text, QPoint at)
{
    auto* label = new QLabel(text, page);
    label->setTextFormat(Qt::PlainText);
    label->setFont(PixelFont(kSongTi, 12));
    label->move(at);
    label->adjustSize();
}

}  // namespace

bool FindRelatedSentence(TLessonDataSet& sentences, const QString& word)
{
    if (!sentences.Active())
        return false;
    const QVariant before = sentences.FieldValue(QStringLiteral("FID"));
    sentences.ClearFilter();
    sentences.SetFilterContains(QStringLiteral("FEnglish"), word);
    const bool found = sentences.RecordCount() > 0;
    // Rows are in FID order, so the first visible one has the lowest FID.
    const QVariant match = found ? sentences.FieldValue(QStringLiteral("FID")) : before;
    sentences.ClearFilter();
    if (!match.isNull())
        sentences.Locate(QStringLiteral("FID"), match);
    return found;
}

TWordPage::TWordPage(QWidget* page, Links links) : QObject(page), tsWord(page), m_links(std::move(links))
{
    DBGridEh1 = new TLessonGrid(page);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setGeometry(16, 16, 209, 313);
    DBGridEh1->horizontalHeader()->setFont(PixelFont(kSongTi, 14));
    DBGridEh1->horizontalHeader()->setFixedHeight(20);
    BindLessonGrid(DBGridEh1, m_links.words,
                   {{QStringLiteral("FEnglish"), QStringLiteral("生词列表"), 174,
                     PixelFont(QStringLiteral("MS Sans Serif"), 13), false}});
    DBGridEh1->verticalHeader()->setMinimumSectionSize(18);
    DBGridEh1->verticalHeader()->setDefaultSectionSize(18);
    BuildDetails();

    btnWordSpeak = PageButton(page, QStringLiteral("btnWordSpeak"), QStringLiteral("朗读单词"), {239, 303, 56, 25});
    btnWordSpeakRuning = PageButton(page, QStringLiteral("btnWordSpeakRuning"), QStringLiteral("连续朗读"), {299, 303, 56, 25});
    btnSenInLesson = PageButton(page, QStringLiteral("btnSenInLesson"), QStringLiteral("相关句子"), {359, 303, 56, 25});
    btnWordFellow = PageButton(page, QStringLiteral("btnWordFellow"), QStringLiteral("单词跟读"), {419, 303, 56, 25});
    btnWordFellowPlay = PageButton(page, QStringLiteral("btnWordFellowPlay"), QStringLiteral("跟读对比"), {480, 303, 56, 25});
    btnWordTest = PageButton(page, QStringLiteral("btnWordTest"), QStringLiteral("单词练习"), {541, 303, 57, 25});

    QWidget* tabOrder[] = {DBGridEh1, DBEdit1, DBEdit3, DBMemo1, DBEdit2, btnWordSpeak,
                           btnWordSpeakRuning, btnSenInLesson, btnWordTest, btnWordFellow, btnWordFellowPlay};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(btnWordSpeak, &QPushButton::clicked, this, Guarded([this] { btnWordSpeakClick(); }));
    connect(btnWordSpeakRuning, &QPushButton::clicked, this, Guarded([this] { btnWordSpeakRuningClick(); }));
    connect(btnSenInLesson, &QPushButton::clicked, this, Guarded([this] { btnSenInLessonClick(); }));
    connect(btnWordFellow, &QPushButton::clicked, this, Guarded([this] { btnWordFellowClick(); }));
    connect(btnWordFellowPlay, &QPushButton::clicked, this, Guarded([this] { btnWordFellowPlayClick(); }));
    connect(btnWordTest, &QPushButton::clicked, this, Guarded([this] { btnWordTestClick(); }));
    connect(DBGridEh1, &QTableView::clicked, this, Guarded([this] { DBGridEh1CellClick(); }));
    connect(&m_links.words, &TLessonDataSet::CurrentRowChanged, this, [this] { ShowCurrentWord(); });
    connect(m_links.words.Model(), &QAbstractItemModel::modelReset, this, [this] { ShowCurrentWord(); });
    connect(m_links.words.Model(), &QAbstractItemModel::dataChanged, this, [this] { ShowCurrentWord(); });
    page->installEventFilter(this);
    ShowCurrentWord();
    UpdateButtons();
}

void TWordPage::BuildDetails()
{
    QWidget* page = tsWord;
    PageLabel(page, QStringLiteral("单词"), {239, 16});
    PageLabel(page, QStringLiteral("释义"), {239, 66});
    PageLabel(page, QStringLiteral("音标"), {239, 118});
    PageLabel(page, QStringLiteral("说明"), {239, 177});
    DBEdit1 = DetailEdit(page, QStringLiteral("DBEdit1"), {239, 32, 359, 20});
    DBEdit2 = DetailEdit(page, QStringLiteral("DBEdit2"), {240, 82, 357, 20});
    DBEdit3 = DetailEdit(page, QStringLiteral("DBEdit3"), {239, 134, 359, 23});
    DBMemo1 = new QPlainTextEdit(page);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->setGeometry(239, 193, 359, 93);
    DBMemo1->setReadOnly(true);
    DBMemo1->setFont(PixelFont(kSongTi, 12));
}

void TWordPage::ShowCurrentWord()
{
    TLessonDataSet& words = m_links.words;
    DBEdit1->setText(words.FieldText(QStringLiteral("FEnglish")));
    DBEdit2->setText(words.FieldText(QStringLiteral("FChinese")));
    DBEdit3->setText(words.FieldText(QStringLiteral("FPS")));
    DBMemo1->setPlainText(words.FieldText(QStringLiteral("FInfo")));
    // The phonetic font when it is installed (its glyph codes are the text),
    // else IPA in a face that has the symbols.
    const QString family = words.FieldFontFamily(words.FieldIndex(QStringLiteral("FPS")));
    DBEdit3->setFont(family.isEmpty() ? PixelFont(kSongTi, 14) : PixelFont(family, 14));
}

bool TWordPage::eventFilter(QObject* watched, QEvent* event)
{
    // Leaving the page (another tab, or the window closing); a minimised
    // window keeps reading.
    if (watched == tsWord && event->type() == QEvent::Hide && !event->spontaneous())
        RunGuarded([this] { tsWordHide(); });
    return QObject::eventFilter(watched, event);
}

void TWordPage::UpdateButtons()
{
    btnWordSpeakRuning->setText(m_links.reading.Running() ? QStringLiteral("停止朗读") : QStringLiteral("连续朗读"));
    const bool recording = m_links.follow.Recording();
    btnWordFellow->setText(recording ? QStringLiteral("停止跟读") : QStringLiteral("单词跟读"));
    EnableWordControls(!recording);
}

void TWordPage::EnableWordControls(bool enabled)
{
    // The list stays usable during a take: a click still speaks the word.
    for (QPushButton* b : {btnWordSpeak, btnWordSpeakRuning, btnSenInLesson, btnWordTest})
        b->setEnabled(enabled);
    btnWordFellowPlay->setEnabled(enabled && m_links.follow.CanCompare());
}

void TWordPage::btnWordSpeakClick()
{
    m_links.reading.SpeakCurrent();
}

void TWordPage::DBGridEh1CellClick()
{
    if (!m_links.words.Eof())
        btnWordSpeakClick();
}

void TWordPage::btnWordSpeakRuningClick()
{
    ButtonRefresh refresh{[this] { UpdateButtons(); }};
    if (m_links.reading.Running())
        m_links.reading.Stop();
    else
        m_links.reading.Start();
}

void TWordPage::btnSenInLessonClick()
{
    if (FindRelatedSentence(m_links.sentences, DBEdit1->text().trimmed()))
        m_links.showSenPage();
}

void TWordPage::btnWordFellowClick()
{
    ButtonRefresh refresh{[this] { UpdateButtons(); }};
    if (m_links.follow.Recording()) {
        m_links.follow.StopTake();
        return;
    }
    // With no word there is nothing to follow.
    if (m_links.words.RecNo() < 0)
        return;
    m_links.follow.StartTake([this] { m_links.reading.OpenCurrent(); });
}

void TWordPage::btnWordFellowPlayClick()
{
    m_links.speaker.PlayModel();
    m_links.wait(kCompareGapMs);
    m_links.follow.PlayTake();
}

void TWordPage::btnWordTestClick()
{
    m_links.openWordWrite();
}

void TWordPage::tsWordHide()
{
    ButtonRefresh refresh{[this] { UpdateButtons(); }};
    m_links.reading.Stop();
    m_links.follow.EndTakeSilently();
}
