#include "app/SenWritePage.h"

#include "app/ExerciseWidgets.h"
#include "app/MainGlyphs.h"
#include "app/PageButton.h"
#include "controls/HandlerGuard.h"
#include "controls/QorSenMemo.h"
#include "data/ExerciseDraw.h"
#include "data/ExerciseMarking.h"

#include <QFocusEvent>
#include <QLabel>
#include <QPushButton>
#include <QTextCursor>
#include <QToolButton>

namespace {

const QString kSentenceCaption = QStringLiteral("句子");

// Draws the given runs of the memo's text in red, leaving the text itself
// (and so the answer and what a copy takes) unchanged.
void MarkRed(TQorSenMemo* memo, const QList<TextSpan>& spans)
{
    QTextCharFormat red;
    red.setForeground(QColor(Qt::red));
    for (const TextSpan& span : spans) {
        QTextCursor cursor(memo->document());
        cursor.setPosition(span.start);
        cursor.setPosition(span.start + span.length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(red);
    }
}

} // namespace

TSenWritePage::TSenWritePage(QWidget* page, Links links) : QObject(page), tsSenWrite(page), m_links(std::move(links))
{
    const int labelTops[kQuestions] = {19, 134};
    const int speakTops[kQuestions] = {23, 141};
    const int memoTops[kQuestions] = {63, 178};
    for (int k = 0; k < kQuestions; ++k) {
        auto* label = new QLabel(kSentenceCaption, page);
        label->setObjectName(QStringLiteral("lblSenSubject%1").arg(k + 1));
        label->setGeometry(20, labelTops[k], 509, 41);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->installEventFilter(this);
        lblSenSubject[k] = label;
        m_prompts[k] = kSentenceCaption;

        QToolButton* speak = SpeakButton(page, QStringLiteral("sbSpeak%1").arg(k + 1), {536, speakTops[k], 28, 28});
        connect(speak, &QToolButton::clicked, this, Guarded([this, k] { sbSpeakClick(k + 1); }));
        sbSpeak[k] = speak;

        auto* memo = new TQorSenMemo(page);
        memo->setObjectName(QStringLiteral("nsmSubject%1").arg(k + 1));
        memo->setGeometry(20, memoTops[k], 545, 60);
        memo->installEventFilter(this);
        nsmSubject[k] = memo;
    }
    btnSenStart = PageButton(page, QStringLiteral("btnSenStart"), QStringLiteral("开始"), {56, 257, 75, 25});
    btnSenNext = PageButton(page, QStringLiteral("btnSenNext"), QStringLiteral("再来一次"), {249, 257, 75, 25});
    btnSenResult = PageButton(page, QStringLiteral("btnSenResult"), QStringLiteral("成绩"), {436, 257, 75, 25});
    btnSenResult->setEnabled(false);

    QWidget* order[] = {nsmSubject[0], btnSenStart, btnSenNext, btnSenResult, nsmSubject[1]};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    connect(btnSenStart, &QPushButton::clicked, this, Guarded([this] { btnSenStartClick(); }));
    connect(btnSenNext, &QPushButton::clicked, this, Guarded([this] { btnSenStartClick(); }));
    connect(btnSenResult, &QPushButton::clicked, this, Guarded([this] { btnSenResultClick(); }));
    OnLeavingFront(page, this, Guarded([this] { tsSenWriteHide(); }));
}

bool TSenWritePage::eventFilter(QObject* watched, QEvent* event)
{
    for (int k = 0; k < kQuestions; ++k) {
        if (watched == nsmSubject[k] && event->type() == QEvent::FocusIn
            && EnteredByLearner(static_cast<QFocusEvent*>(event)->reason()))
            RunGuarded([&] { sbSpeakClick(k + 1); });
        else if (watched == lblSenSubject[k] && (event->type() == QEvent::Enter || event->type() == QEvent::Leave))
            RunGuarded([&] { lblSenSubjectMouseEnter(k + 1, event->type() == QEvent::Enter); });
    }
    return QObject::eventFilter(watched, event);
}

void TSenWritePage::btnSenStartClick()
{
    for (std::size_t k = 0; k < kQuestions; ++k) {
        const SentenceSubject s = DrawSentenceSubject(m_links.sentences, m_links.random);
        m_prompts[k] = s.prompt;
        lblSenSubject[k]->setText(s.prompt);
        TQorSenMemo* memo = nsmSubject[k];
        memo->SetAnswer(s.answer);
        memo->SetBeginPos(s.beginMs);
        memo->SetEndPos(s.endMs);
        memo->clear();
        sbSpeak[k]->setIcon(m_links.glyphs.Pixmap(TMainGlyphs::Speaker));
    }
    btnSenResult->setEnabled(true);
}

void TSenWritePage::sbSpeakClick(int question)
{
    if (question < 1 || question > kQuestions)
        return;
    const TQorSenMemo* memo = nsmSubject[question - 1];
    if (!memo->Answer().isEmpty())
        m_links.playSentence(memo->BeginPos(), memo->EndPos());
}

void TSenWritePage::SentenceMoved(int oldBegin, int oldEnd, int newBegin, int newEnd)
{
    for (TQorSenMemo* memo : nsmSubject) {
        if (!memo->Answer().isEmpty() && memo->BeginPos() == oldBegin && memo->EndPos() == oldEnd) {
            memo->SetBeginPos(newBegin);
            memo->SetEndPos(newEnd);
        }
    }
}

void TSenWritePage::lblSenSubjectMouseEnter(int question, bool entered)
{
    if (question < 1 || question > kQuestions)
        return;
    const int k = question - 1;
    // The label shows the expected sentence only while the pointer rests on
    // it; the memo's answer is never touched, so marking stays right.
    const QString answer = nsmSubject[k]->Answer();
    if (entered && m_links.showHints() && !answer.isEmpty())
        lblSenSubject[k]->setText(answer);
    else
        lblSenSubject[k]->setText(m_prompts[k]);
}

void TSenWritePage::btnSenResultClick()
{
    for (std::size_t k = 0; k < kQuestions; ++k) {
        TQorSenMemo* memo = nsmSubject[k];
        if (memo->IsAnswerRight()) {
            sbSpeak[k]->setIcon(m_links.glyphs.Pixmap(TMainGlyphs::Tick));
        } else {
            sbSpeak[k]->setIcon(m_links.glyphs.Pixmap(TMainGlyphs::Cross));
            const MarkedSentence marked = WithExpectedSentence(memo->toPlainText(), memo->Answer());
            memo->setPlainText(marked.text);
            MarkRed(memo, marked.missed);
            // The added line is the one to read, also below a long answer.
            memo->moveCursor(QTextCursor::End);
            memo->ensureCursorVisible();
        }
    }
    btnSenResult->setEnabled(false);
}

void TSenWritePage::tsSenWriteHide()
{
    for (std::size_t k = 0; k < kQuestions; ++k) {
        m_prompts[k] = kSentenceCaption;
        lblSenSubject[k]->setText(kSentenceCaption);
        TQorSenMemo* memo = nsmSubject[k];
        memo->SetAnswer({});
        memo->SetBeginPos(0);
        memo->SetEndPos(0);
        memo->clear();
        sbSpeak[k]->setIcon(QIcon());
    }
}
