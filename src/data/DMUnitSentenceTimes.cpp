// Correcting where a sentence of the open lesson lies in its recording.
#include "data/DMUnit.h"

#include "data/Messages.h"
#include "data/ScopedTransaction.h"

#include <QSqlQuery>

bool TDM::WriteSentenceTimes(int row, int beginMs, int endMs)
{
    const QVariant id = adsQorSen.Value(row, adsQorSen.FieldIndex(QStringLiteral("FID")));
    const int beginColumn = adsQorSen.FieldIndex(QStringLiteral("FBeginPos"));
    const int endColumn = adsQorSen.FieldIndex(QStringLiteral("FEndPos"));
    bool ok = m_connected && CurBook >= 1 && CurBook <= 4 && !id.isNull() && beginColumn >= 0 && endColumn >= 0
        && beginMs >= 0 && endMs > beginMs;
    if (ok) {
        QSqlDatabase db = Database();
        ScopedTransaction transaction(db);
        QSqlQuery query(db);
        ok = transaction.IsOpen()
            && query.prepare(QStringLiteral("Update tblQor%1 Set FBeginPos=?, FEndPos=? Where FID=?").arg(CurBook));
        if (ok) {
            query.addBindValue(beginMs);
            query.addBindValue(endMs);
            query.addBindValue(id);
            ok = query.exec() && query.numRowsAffected() == 1 && transaction.Commit();
        }
    }
    if (!ok) {
        ShowError(QStringLiteral("保存句子时间失败！"));
        return false;
    }
    const int oldBegin = adsQorSen.Value(row, beginColumn).toInt();
    const int oldEnd = adsQorSen.Value(row, endColumn).toInt();
    adsQorSen.SetStoredValue(row, QStringLiteral("FBeginPos"), beginMs);
    adsQorSen.SetStoredValue(row, QStringLiteral("FEndPos"), endMs);
    emit SentenceTimesChanged(oldBegin, oldEnd, beginMs, endMs);
    return true;
}
