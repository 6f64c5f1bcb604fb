#include "app/WordWritePage.h"

#include "app/ExerciseWidgets.h"
#include "app/MainGlyphs.h"
#include "app/PageButton.h"
#include "controls/HandlerGuard.h"
#include "controls/PlainToolTip.h"
#include "controls/kznLabelEdit.h"
#include "data/DataPath.h"
#include "data/ExerciseDraw.h"
#include "data/ExerciseMarking.h"

#include <QCoreApplication>
#include <QDir>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>

namespace {

const QString kSpellingCaption = QStringLiteral("单词");

} // namespace

TWordWritePage::TWordWritePage(QWidget* page, Links links)
    : QObject(page), tsWordWrite(page), m_links(std::move(links))
{
    // Subjects run left to right, then top to bottom.
    for (int i = 0; i < kSubjects; ++i) {
        const int row = i / 2;
        const bool right = i % 2 == 1;
        auto* edit = new TkznLabelEdit(page);
        edit->setObjectName(QStringLiteral("edtSubject%1").arg(i + 1));
        edit->setGeometry(right ? 305 : 18, 32 + 45 * row, 235, 20);
        edit->setMaxLength(kMaxTyped);
        edit->SetCaption(kSpellingCaption);
        edit->installEventFilter(this);
        DictationEdits[i] = edit;
        QToolButton* speak = SpeakButton(page, QStringLiteral("btnSubject%1").arg(i + 1),
                                         {right ? 543 : 256, 30 + 45 * row, 24, 23});
        connect(speak, &QToolButton::clicked, this, Guarded([this, i] { btnSubjectClick(i + 1); }));
        DictationSpeakButtons[i] = speak;
    }
    auto* bevel = new QFrame(page);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    bevel->setGeometry(8, 251, 570, 2);

    btnStart = PageButton(page, QStringLiteral("btnStart"), QStringLiteral("开始"), {64, 262, 75, 25});
    btnReStart = PageButton(page, QStringLiteral("btnReStart"), QStringLiteral("再来一次"), {256, 262, 75, 25});
    btnResult = PageButton(page, QStringLiteral("btnResult"), QStringLiteral("成绩"), {424, 262, 75, 25});
    btnResult->setEnabled(false);

    for (int i = 1; i < kSubjects; ++i)
        QWidget::setTabOrder(DictationEdits[i - 1], DictationEdits[i]);
    QWidget::setTabOrder(DictationEdits.back(), btnResult);
    QWidget::setTabOrder(btnResult, btnStart);
    QWidget::setTabOrder(btnStart, btnReStart);

    connect(btnStart, &QPushButton::clicked, this, Guarded([this] { btnStartClick(); }));
    connect(btnReStart, &QPushButton::clicked, this, Guarded([this] { btnStartClick(); }));
    connect(btnResult, &QPushButton::clicked, this, Guarded([this] { btnResultClick(); }));
    OnLeavingFront(page, this, Guarded([this] { tsWordWriteHide(); }));
}

int TWordWritePage::SubjectOf(QObject* watched) const
{
    for (int i = 0; i < kSubjects; ++i) {
        if (DictationEdits[i] == watched)
            return i + 1;
    }
    return 0;
}

bool TWordWritePage::eventFilter(QObject* watched, QEvent* event)
{
    const int subject = SubjectOf(watched);
    if (subject == 0)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn && EnteredByLearner(static_cast<QFocusEvent*>(event)->reason())) {
        RunGuarded([&] { btnSubjectClick(subject); });
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter works as Tab: on to the next control, which speaks its word.
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QCoreApplication::sendEvent(watched, &tab);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TWordWritePage::btnStartClick()
{
    for (int i = 0; i < kSubjects; ++i) {
        const DictationSubject s = DrawDictationSubject(m_links.words, m_links.random);
        TkznLabelEdit* edit = DictationEdits[i];
        edit->SetCaption(s.meaning);
        edit->SetAnswer(s.answer);
        edit->setToolTip(PlainToolTip(s.answer));
        edit->setMaxLength(kMaxTyped);
        edit->clear();
        edit->SetSoundFile(s.soundFile);
        DictationSpeakButtons[i]->setIcon(m_links.glyphs.Pixmap(TMainGlyphs::Speaker));
    }
    btnResult->setEnabled(true);
}

void TWordWritePage::btnSubjectClick(int subject)
{
    if (subject < 1 || subject > kSubjects)
        return;
    const TkznLabelEdit* edit = DictationEdits[subject - 1];
    if (edit->Answer().trimmed().isEmpty() || edit->SoundFile().isEmpty())
        return;
    // Found regardless of letter case; a missing one still reaches the
    // player, which reports it.
    const QString found = ResolveDataPath(m_links.dataDir, edit->SoundFile());
    m_links.playWordContainer(found.isEmpty() ? QDir(m_links.dataDir).filePath(edit->SoundFile()) : found);
}

void TWordWritePage::btnResultClick()
{
    for (int i = 0; i < kSubjects; ++i) {
        TkznLabelEdit* edit = DictationEdits[i];
        QToolButton* button = DictationSpeakButtons[i];
        if (edit->IsAnswerRight()) {
            button->setIcon(m_links.glyphs.Pixmap(TMainGlyphs::Tick));
        } else {
            button->setIcon(m_links.glyphs.Pixmap(TMainGlyphs::Cross));
            const QString shown = WithExpectedWord(edit->text(), edit->Answer());
            // The typing limit must not cut the expected word off.
            edit->setMaxLength(std::max(kMaxTyped, static_cast<int>(shown.size())));
            edit->setText(shown);
        }
    }
    btnResult->setEnabled(false);
}

void TWordWritePage::tsWordWriteHide()
{
    for (int i = 0; i < kSubjects; ++i) {
        TkznLabelEdit* edit = DictationEdits[i];
        edit->SetCaption(kSpellingCaption);
        edit->SetAnswer({});
        edit->setToolTip({});
        edit->setMaxLength(kMaxTyped);
        edit->clear();
        edit->SetSoundFile({});
        DictationSpeakButtons[i]->setIcon(QIcon());
    }
}
