// The study record: the open lesson's count, last time and next review, and
// the write that counts a study.
#include "data/DMUnit.h"

#include "data/Messages.h"
#include "data/ReviewSchedule.h"
#include "data/ScopedTransaction.h"

#include <QSqlQuery>

namespace {

// Four-digit year, two-digit month and day; Linux has no separate system
// date separator, so '/' stays.
QString DateText(double days)
{
    return DayCountText(days, QStringLiteral("yyyy/MM/dd"));
}

} // namespace

std::optional<TDM::StudyInfo> TDM::ShowStudyInfo() const
{
    const auto found = m_connected
        ? LoadRows(Database(), QStringLiteral("Select FID,FStudyCount,FLastTime From tblContent Where FID=?"),
                   {CurContentID}, false)
        : std::nullopt;
    if (!found || found->rows.isEmpty()) {
        ShowError(QStringLiteral("打开Veltra课本数据出错，请重新安装本软件！"));
        return std::nullopt;
    }
    const QVector<QVariant>& row = found->rows.first();
    const int count = row.at(1).toInt();
    if (count <= 0)
        return StudyInfo{QStringLiteral("0"), QStringLiteral("未学习"), QString()};
    // A missing or unreadable time shows as no date rather than as 1899.
    bool timeOk = false;
    const double last = row.at(2).toDouble(&timeOk);
    StudyInfo info{QString::number(count), QString(), QString()};
    if (timeOk && !row.at(2).isNull()) {
        info.last = DateText(last);
        const double next = NextReviewDate(count, last);
        if (next != 0)
            info.next = DateText(next);
    }
    return info;
}

bool TDM::RecordStudy(int contentId, const QDateTime& when)
{
    bool ok = false;
    if (m_connected && when.isValid()) {
        QSqlDatabase db = Database();
        ScopedTransaction transaction(db);
        QSqlQuery query(db);
        ok = transaction.IsOpen()
            && query.prepare(QStringLiteral("Update tblContent Set FStudyCount=max(ifnull(FStudyCount,0),0)+1,"
                                            " FLastTime=? Where FID=?"));
        if (ok) {
            query.addBindValue(DateTimeToDayCount(when));
            query.addBindValue(contentId);
            ok = query.exec() && query.numRowsAffected() == 1 && transaction.Commit();
        }
    }
    if (!ok)
        ShowError(QStringLiteral("保存学习记录失败！"));
    return ok;
}
