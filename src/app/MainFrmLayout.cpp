// The main window's controls and menus, placed as designed.
#include "app/MainFrm.h"

#include "app/AppFonts.h"
#include "app/ExplainPage.h"
#include "app/MP3Frm.h"
#include "app/NotePage.h"
#include "controls/HandlerGuard.h"
#include "data/DMUnit.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

namespace {

constexpr int kClientWidth = 622;
constexpr int kClientHeight = 416;
constexpr int kHeaderHeight = 41;

QWidget* emptyPage(const QString& name, QWidget* parent)
{
    auto* page = new QWidget(parent);
    page->setObjectName(name);
    return page;
}

QLabel* infoLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(SongTiFont(12));
    return label;
}

} // namespace

void TMainForm::BuildHeader(QWidget* client)
{
    pnlContent = new QFrame(client);
    pnlContent->setObjectName(QStringLiteral("pnlContent"));
    pnlContent->setGeometry(0, 0, kClientWidth, kHeaderHeight);
    pnlContent->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QPalette green = pnlContent->palette();
    green.setColor(QPalette::Window, QColor(192, 220, 192));
    green.setColor(QPalette::WindowText, QColor(0, 128, 0));
    pnlContent->setPalette(green);
    pnlContent->setAutoFillBackground(true);

    lblContent = new HeaderLabel(QStringLiteral("第一册：Lesson 1 "), pnlContent);
    lblContent->setObjectName(QStringLiteral("lblContent"));
    lblContent->setTextFormat(Qt::PlainText);  // a lesson title is never markup
    lblContent->setFrameStyle(QFrame::Panel | QFrame::Raised);
    lblContent->setAlignment(Qt::AlignCenter);
    QFont li(QStringLiteral("隶书"));
    li.setPixelSize(19);
    lblContent->setFont(li);
    auto* row = new QHBoxLayout(pnlContent);
    row->setContentsMargins(1, 1, 1, 1);
    row->setSpacing(0);
    row->addWidget(lblContent, 1);

    // The hover trigger of the lesson information.
    Label8 = new QLabel(pnlContent);
    Label8->setObjectName(QStringLiteral("Label8"));
    Label8->setTextFormat(Qt::PlainText);
    Label8->setFixedWidth(6);
    imgLessonInfo = new QLabel(pnlContent);
    imgLessonInfo->setObjectName(QStringLiteral("imgLessonInfo"));
    imgLessonInfo->setFixedSize(16, 16);
    row->addWidget(imgLessonInfo, 0, Qt::AlignVCenter);
    row->addWidget(Label8);
    Label8->installEventFilter(this);
    imgLessonInfo->installEventFilter(this);

    pnlLessonInfo = new QFrame(client);
    pnlLessonInfo->setObjectName(QStringLiteral("pnlLessonInfo"));
    // Below the icon, so showing it never takes the pointer off the trigger.
    pnlLessonInfo->setGeometry(kClientWidth - 204, 30, 196, 62);
    pnlLessonInfo->setFrameStyle(QFrame::Box | QFrame::Plain);
    QPalette tip = pnlLessonInfo->palette();
    tip.setColor(QPalette::Window, tip.color(QPalette::ToolTipBase));
    tip.setColor(QPalette::WindowText, tip.color(QPalette::ToolTipText));
    pnlLessonInfo->setPalette(tip);
    pnlLessonInfo->setAutoFillBackground(true);
    lblStudyCount = infoLabel(QString(), pnlLessonInfo);
    lblLastStudyTime = infoLabel(QString(), pnlLessonInfo);
    lblNextStudyTime = infoLabel(QString(), pnlLessonInfo);
    lblStudyCount->setObjectName(QStringLiteral("lblStudyCount"));
    lblLastStudyTime->setObjectName(QStringLiteral("lblLastStudyTime"));
    lblNextStudyTime->setObjectName(QStringLiteral("lblNextStudyTime"));
    const QString captions[] = {QStringLiteral("本课学习次数："), QStringLiteral("上一次学习时间："),
                                QStringLiteral("下一次复习时间：")};
    QLabel* values[] = {lblStudyCount, lblLastStudyTime, lblNextStudyTime};
    for (int i = 0; i < 3; ++i) {
        infoLabel(captions[i], pnlLessonInfo)->move(6, 5 + 18 * i);
        values[i]->setGeometry(106, 5 + 18 * i, 86, 16);
    }
    pnlLessonInfo->hide();
}

void TMainForm::BuildPages(QWidget* client)
{
    pcMain = new QTabWidget(client);
    pcMain->setObjectName(QStringLiteral("pcMain"));
    pcMain->setGeometry(0, kHeaderHeight, kClientWidth, kClientHeight - kHeaderHeight);
    pcMain->setUsesScrollButtons(false);

    tsWord = emptyPage(QStringLiteral("tsWord"), pcMain);
    tsExplain = new TExplainPage(pcMain);
    tsSen = emptyPage(QStringLiteral("tsSen"), pcMain);
    tsTest = emptyPage(QStringLiteral("tsTest"), pcMain);
    tsNote = new TNotePage(DM.adsNote, pcMain);
    pcMain->addTab(tsWord, QStringLiteral("单词初记"));
    pcMain->addTab(tsExplain, QStringLiteral("重点讲解"));
    pcMain->addTab(tsSen, QStringLiteral("课文精读"));
    pcMain->addTab(tsTest, QStringLiteral("强化练习"));
    pcMain->addTab(tsNote, QStringLiteral("课程笔记"));

    pcTest = new QTabWidget(tsTest);
    pcTest->setObjectName(QStringLiteral("pcTest"));
    pcTest->setGeometry(10, 8, 593, 323);
    tsWordWrite = emptyPage(QStringLiteral("tsWordWrite"), pcTest);
    tsWordSelect = emptyPage(QStringLiteral("tsWordSelect"), pcTest);
    tsSenWrite = emptyPage(QStringLiteral("tsSenWrite"), pcTest);
    pcTest->addTab(tsWordWrite, QStringLiteral("单词听写练习"));
    pcTest->addTab(tsWordSelect, QStringLiteral("单词选择练习"));
    pcTest->addTab(tsSenWrite, QStringLiteral("课文听写练习"));

    connect(pcMain, &QTabWidget::currentChanged, this, [this](int index) { RunGuarded([&] { pcMainChange(index); }); });
    connect(pcTest, &QTabWidget::currentChanged, this, [this](int index) { RunGuarded([&] { pcTestChange(index); }); });
}

void TMainForm::BuildMenus()
{
    QMenuBar* bar = menuBar();
    auto item = [](QMenu* menu, const QString& name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        return action;
    };
    auto onTrigger = [this](QAction* action, auto handler) {
        connect(action, &QAction::triggered, this, Guarded([this, handler] { (this->*handler)(); }));
    };

    QMenu* lessons = bar->addMenu(QStringLiteral("课程管理 "));
    onTrigger(item(lessons, QStringLiteral("miSelect"), QStringLiteral("选择课程")), &TMainForm::miSelectClick);
    onTrigger(item(lessons, QStringLiteral("N12"), QStringLiteral("前一课")), &TMainForm::PrevLesson);
    onTrigger(item(lessons, QStringLiteral("N13"), QStringLiteral("后一课")), &TMainForm::NextLesson);
    onTrigger(item(lessons, QStringLiteral("miLook"), QStringLiteral("查看课程学习情况")), &TMainForm::miLookClick);
    onTrigger(item(lessons, QStringLiteral("miReview"), QStringLiteral("今日复习")), &TMainForm::miReviewClick);
    onTrigger(item(lessons, QStringLiteral("miAddLesson"), QStringLiteral("添加课文…")), &TMainForm::miAddLessonClick);
    lessons->addSeparator();
    connect(item(lessons, QStringLiteral("N7"), QStringLiteral("单词初记")), &QAction::triggered, this,
            Guarded([this] { pcMain->setCurrentWidget(tsWord); }));
    connect(item(lessons, QStringLiteral("N8"), QStringLiteral("课文精读")), &QAction::triggered, this,
            Guarded([this] { pcMain->setCurrentWidget(tsSen); }));
    connect(item(lessons, QStringLiteral("N9"), QStringLiteral("强化练习")), &QAction::triggered, this,
            Guarded([this] { pcMain->setCurrentWidget(tsTest); }));

    QMenu* tools = bar->addMenu(QStringLiteral(" 辅助工具 "));
    connect(item(tools, QStringLiteral("miMp3"), QStringLiteral("制作MP3和歌词文件")), &QAction::triggered, this,
            Guarded([this] { ShowExportDialog(this, DM); }));
    onTrigger(item(tools, QStringLiteral("miSenTime"), QStringLiteral("调整句子时间…")), &TMainForm::miSenTimeClick);
    onTrigger(item(tools, QStringLiteral("miCompare"), QStringLiteral("跟读对比图")), &TMainForm::miCompareClick);
    item(tools, QStringLiteral("N10"), QStringLiteral("打印单词"))->setVisible(false);
    item(tools, QStringLiteral("N11"), QStringLiteral("打印课文"))->setVisible(false);
    tools->addSeparator();
    onTrigger(item(tools, QStringLiteral("miOption"), QStringLiteral("设置")), &TMainForm::miOptionClick);

    QMenu* help = bar->addMenu(QStringLiteral(" 帮助"));
    onTrigger(item(help, QStringLiteral("miHelp"), QStringLiteral("操作指南")), &TMainForm::miHelpClick);
    help->addSeparator();
    onTrigger(item(help, QStringLiteral("miAbout"), QStringLiteral("关于...")), &TMainForm::miAboutClick);
}
