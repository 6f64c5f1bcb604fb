#include "app/LessonInfo.h"

#include "app/MainFrm.h"
#include "audio/LessonAudio.h"
#include "controls/HandlerGuard.h"
#include "data/DMUnit.h"
#include "data/Messages.h"

#include <QLabel>

TLessonInfo::TLessonInfo(TMainForm& form)
    : QObject(&form)
    , m_form(form)
    , m_visit(form.DM)
{
    connect(&form.Audio(), &LessonAudio::spanHeard, this, &TLessonInfo::SpanHeard);
    connect(&form.DM, &TDM::SentenceTimesChanged, this,
            [this](int oldBegin, int oldEnd, int newBegin, int newEnd) {
                m_visit.SpanMoved(oldBegin, oldEnd, newBegin, newEnd);
            });
}

void TLessonInfo::LessonOpened()
{
    m_visit.Begin();
    ShowStudyInfo();
}

void TLessonInfo::ShowStudyInfo()
{
    if (m_form.DM.CurContentID == 0)
        return;
    if (const auto info = m_form.DM.ShowStudyInfo()) {
        m_form.lblLastStudyTime->setText(info->last);
        m_form.lblStudyCount->setText(info->count);
        m_form.lblNextStudyTime->setText(info->next);
    }
}

void TLessonInfo::ShowStudyInfoBox()
{
    if (m_form.DM.CurContentID == 0) {
        ShowInfo(QStringLiteral("还没有打开课程。"));
        return;
    }
    const auto info = m_form.DM.ShowStudyInfo();
    if (!info)
        return;
    ShowInfo(QStringLiteral("本课学习次数：%1\n上一次学习时间：%2\n下一次复习时间：%3")
                 .arg(info->count, info->last, info->next));
}

void TLessonInfo::SpanHeard(int beginMs, int endMs)
{
    if (!m_visit.Hear(beginMs, endMs))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            RunGuarded([this] {
                if (m_visit.RecordPending())
                    ShowStudyInfo();
            });
        },
        Qt::QueuedConnection);
}
