#include "app/WordSelectPage.h"

#include "app/ExerciseWidgets.h"
#include "app/MainGlyphs.h"
#include "app/PageButton.h"
#include "app/WrapRadioButton.h"
#include "controls/HandlerGuard.h"
#include "controls/PlainToolTip.h"
#include "controls/QorWordSelectLabel.h"
#include "data/DataPath.h"
#include "data/ExerciseDraw.h"

#include <QFrame>
#include <QPushButton>
#include <QToolButton>

namespace {

const QString kChoiceCaption = QStringLiteral("单词");

QString OptionCaption(int option)
{
    return QStringLiteral("释义%1").arg(option + 1);
}

} // namespace

TWordSelectPage::TWordSelectPage(QWidget* page, Links links)
    : QObject(page), tsWordSelect(page), m_links(std::move(links))
{
    const QString panelNames[kQuestions] = {QStringLiteral("pnlSubject1"), QStringLiteral("Panel2")};
    const int optionTops[kOptions] = {47, 93, 137, 181};
    for (int k = 0; k < kQuestions; ++k) {
        auto* panel = new QFrame(page);
        panel->setObjectName(panelNames[k]);
        panel->setGeometry(k == 0 ? 21 : 306, 16, 257, 228);
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        panel->setLineWidth(2);
        pnlSubject[k] = panel;

        auto* label = new TQorWordSelectLabel(panel);
        label->setObjectName(QStringLiteral("nwsSubject%1").arg(k + 1));
        label->setGeometry(16, 8, 201, 41);
        label->setText(kChoiceCaption);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        nwsSubject[k] = label;

        QToolButton* speak = SpeakButton(panel, QStringLiteral("sbWordSpeak%1").arg(k + 1), {223, 15, 28, 28});
        connect(speak, &QToolButton::clicked, this, Guarded([this, k] { sbWordSpeakClick(k + 1); }));
        sbWordSpeak[k] = speak;

        for (int j = 0; j < kOptions; ++j) {
            auto* option = new TWrapRadioButton(panel);
            option->setObjectName(QStringLiteral("rbAnswer%1%2").arg(k + 1).arg(j + 1));
            option->setGeometry(16, optionTops[j], 225, 41);
            option->setText(OptionCaption(j));
            rbAnswer[k][j] = option;
        }
    }

    btnBegin = PageButton(page, QStringLiteral("btnBegin"), QStringLiteral("英文选中文"), {56, 258, 75, 25});
    Button14 = PageButton(page, QStringLiteral("Button14"), QStringLiteral("中文选英文"), {256, 258, 75, 25});
    Button17 = PageButton(page, QStringLiteral("Button17"), QStringLiteral("成绩"), {456, 258, 75, 25});
    Button17->setEnabled(false);

    QList<QWidget*> order{btnBegin, Button14, Button17};
    for (const auto& options : rbAnswer)
        order.append(QList<QWidget*>(options.begin(), options.end()));
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));

    connect(btnBegin, &QPushButton::clicked, this, Guarded([this] { StartWordSelection(true); }));
    connect(Button14, &QPushButton::clicked, this, Guarded([this] { StartWordSelection(false); }));
    connect(Button17, &QPushButton::clicked, this, Guarded([this] { Button17Click(); }));
    OnLeavingFront(page, this, Guarded([this] { tsWordSelectHide(); }));
}

void TWordSelectPage::StartWordSelection(bool englishToChinese)
{
    for (std::size_t k = 0; k < kQuestions; ++k) {
        const SelectionQuestion q = DrawSelectionQuestion(m_links.words, m_links.random, englishToChinese);
        TQorWordSelectLabel* label = nwsSubject[k];
        label->setText(q.asked);
        label->setToolTip(PlainToolTip(q.right));
        label->SetSoundFile(q.soundFile);
        sbWordSpeak[k]->setIcon(m_links.glyphs.Pixmap(TMainGlyphs::Speaker));
        for (std::size_t j = 0; j < kOptions; ++j)
            rbAnswer[k][j]->setText(q.options[j]);
        label->SetAnswerButton(rbAnswer[k][q.answerIndex]);
    }
    Button17->setEnabled(true);
}

void TWordSelectPage::sbWordSpeakClick(int question)
{
    if (question < 1 || question > kQuestions)
        return;
    const QString soundFile = nwsSubject[question - 1]->SoundFile();
    if (soundFile.isEmpty())
        return;
    // A word without a recording stays silent here.
    const QString found = ResolveDataPath(m_links.dataDir, soundFile);
    if (!found.isEmpty())
        m_links.playWordContainer(found);
}

void TWordSelectPage::Button17Click()
{
    for (std::size_t k = 0; k < kQuestions; ++k) {
        const TQorWordSelectLabel* label = nwsSubject[k];
        if (label->IsAnswerRight()) {
            sbWordSpeak[k]->setIcon(m_links.glyphs.Pixmap(TMainGlyphs::Tick));
        } else {
            sbWordSpeak[k]->setIcon(m_links.glyphs.Pixmap(TMainGlyphs::Cross));
            if (QAbstractButton* right = label->AnswerButton())
                right->setText(right->text() + QStringLiteral(" √"));
        }
    }
    Button17->setEnabled(false);
}

void TWordSelectPage::tsWordSelectHide()
{
    for (std::size_t k = 0; k < kQuestions; ++k) {
        TQorWordSelectLabel* label = nwsSubject[k];
        label->setText(kChoiceCaption);
        label->setToolTip({});
        label->SetSoundFile({});
        sbWordSpeak[k]->setIcon(QIcon());
        for (std::size_t j = 0; j < kOptions; ++j)
            rbAnswer[k][j]->setText(OptionCaption(static_cast<int>(j)));
        label->SetAnswerButton(nullptr);
    }
}
