#include "app/SenPage.h"

#include "app/LessonGrid.h"
#include "app/PageButton.h"
#include "app/PageGrid.h"
#include "audio/FollowReading.h"
#include "audio/SentenceReading.h"
#include "controls/HandlerGuard.h"
#include "data/LessonDataSet.h"

#include <QEvent>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

TSenPage::TSenPage(QWidget* page, Links links) : QObject(page), tsSen(page), m_links(std::move(links))
{
    grdSen = new TLessonGrid(page);
    grdSen->setObjectName(QStringLiteral("grdSen"));
    grdSen->setGeometry(16, 8, 577, 291);
    grdSen->horizontalHeader()->setFont(PixelFont(QStringLiteral("宋体"), 12));
    grdSen->horizontalHeader()->setFixedHeight(15);
    BindLessonGrid(grdSen, m_links.sentences,
                   {{QStringLiteral("FEnglish"), QStringLiteral("英文"), 309, PixelFont(QStringLiteral("Arial"), 13), true},
                    {QStringLiteral("FChinese"), QStringLiteral("中文"), 233, PixelFont(QStringLiteral("宋体"), 13), false}});
    // Four sentences fill the rows under the title; set once, from the grid's height.
    grdSen->verticalHeader()->setDefaultSectionSize((grdSen->height() - 25) / 4);

    btnSpeakSen = PageButton(page, QStringLiteral("btnSpeakSen"), QStringLiteral("朗读句子"), {43, 312, 75, 25});
    btnSenSpeakRuning = PageButton(page, QStringLiteral("btnSenSpeakRuning"), QStringLiteral("连续朗读"), {131, 312, 75, 25});
    btnSenFellow = PageButton(page, QStringLiteral("btnSenFellow"), QStringLiteral("开始跟读"), {219, 312, 75, 25});
    btnFellowPlay = PageButton(page, QStringLiteral("btnFellowPlay"), QStringLiteral("跟读对比"), {307, 312, 75, 25});
    btnSenTest = PageButton(page, QStringLiteral("btnSenTest"), QStringLiteral("强化练习"), {395, 312, 75, 25});
    btnNote = PageButton(page, QStringLiteral("btnNote"), QStringLiteral("课程笔记"), {483, 312, 75, 25});

    QWidget* tabOrder[] = {grdSen, btnSpeakSen, btnSenSpeakRuning, btnSenTest, btnSenFellow, btnNote, btnFellowPlay};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(btnSpeakSen, &QPushButton::clicked, this, Guarded([this] { btnSpeakSenClick(); }));
    connect(btnSenSpeakRuning, &QPushButton::clicked, this, Guarded([this] { btnSenSpeakRuningClick(); }));
    connect(btnSenFellow, &QPushButton::clicked, this, Guarded([this] { btnSenFellowClick(); }));
    connect(btnFellowPlay, &QPushButton::clicked, this, Guarded([this] { btnFellowPlayClick(); }));
    connect(btnSenTest, &QPushButton::clicked, this, Guarded([this] { btnSenTestClick(); }));
    connect(btnNote, &QPushButton::clicked, this, Guarded([this] { btnNoteClick(); }));
    connect(grdSen, &QTableView::clicked, this, Guarded([this] { grdSenCellClick(); }));

    pmSen = new QMenu(grdSen);
    pmSen->setObjectName(QStringLiteral("pmSen"));
    miGridSenTime = pmSen->addAction(QStringLiteral("调整句子时间…"));
    miGridSenTime->setObjectName(QStringLiteral("miGridSenTime"));
    connect(miGridSenTime, &QAction::triggered, this, Guarded([this] { miSenTimeClick(); }));
    grdSen->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grdSen, &QTableView::customContextMenuRequested, this,
            [this](const QPoint& position) { RunGuarded([&] { grdSenContextMenu(position); }); });
    page->installEventFilter(this);
    UpdateButtons();
}

bool TSenPage::eventFilter(QObject* watched, QEvent* event)
{
    // Leaving the page (another tab, or the window closing); a minimised
    // window keeps reading.
    if (watched == tsSen && event->type() == QEvent::Hide && !event->spontaneous())
        RunGuarded([this] { tsSenHide(); });
    return QObject::eventFilter(watched, event);
}

void TSenPage::UpdateButtons()
{
    btnSenSpeakRuning->setText(m_links.reading.Running() ? QStringLiteral("停止朗读") : QStringLiteral("连续朗读"));
    const bool recording = m_links.follow.Recording();
    btnSenFellow->setText(recording ? QStringLiteral("停止跟读") : QStringLiteral("开始跟读"));
    EnableSentenceControls(!recording);
}

void TSenPage::EnableSentenceControls(bool enabled)
{
    for (QWidget* w : {static_cast<QWidget*>(grdSen), static_cast<QWidget*>(btnSpeakSen),
                       static_cast<QWidget*>(btnSenSpeakRuning), static_cast<QWidget*>(btnSenTest),
                       static_cast<QWidget*>(btnNote)})
        w->setEnabled(enabled);
    // Compare needs a take that has ended on this page.
    btnFellowPlay->setEnabled(enabled && m_links.follow.CanCompare());
}

void TSenPage::btnSpeakSenClick()
{
    m_links.reading.SpeakCurrent();
    grdSen->setFocus();
}

void TSenPage::grdSenCellClick()
{
    if (!m_links.sentences.Eof())
        btnSpeakSenClick();
}

void TSenPage::btnSenSpeakRuningClick()
{
    ButtonRefresh refresh{[this] { UpdateButtons(); }};
    if (m_links.reading.Running()) {
        m_links.reading.Stop();
    } else {
        m_links.reading.Start();
        grdSen->setFocus();
    }
}

void TSenPage::btnSenFellowClick()
{
    ButtonRefresh refresh{[this] { UpdateButtons(); }};
    if (m_links.follow.Recording())
        m_links.follow.StopTake();
    else
        m_links.follow.StartTake();
}

void TSenPage::btnFellowPlayClick()
{
    m_links.reading.PlayForCompare();
}

void TSenPage::btnSenTestClick()
{
    m_links.openSenWrite();
}

void TSenPage::btnNoteClick()
{
    m_links.openExplain();
}

void TSenPage::grdSenContextMenu(const QPoint& position)
{
    const QModelIndex index = grdSen->indexAt(position);
    if (index.isValid())
        m_links.sentences.MoveTo(index.row());
    if (!m_links.sentences.Eof())
        pmSen->popup(grdSen->viewport()->mapToGlobal(position));
}

void TSenPage::miSenTimeClick()
{
    tsSenHide();
    m_links.editSentenceTime();
    grdSen->setFocus();
}

void TSenPage::tsSenHide()
{
    ButtonRefresh refresh{[this] { UpdateButtons(); }};
    m_links.reading.Stop();
    m_links.follow.EndTakeSilently();
}
