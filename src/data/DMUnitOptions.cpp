// The option store of TDM: name/value rows of tblOptions.
#include "data/DMUnit.h"

#include "data/Messages.h"
#include "data/ReviewSchedule.h"
#include "data/ScopedTransaction.h"

#include <QSqlQuery>

namespace {

bool WriteOptionRow(QSqlDatabase& db, const QString& name, const QString& value)
{
    ScopedTransaction transaction(db);
    if (!transaction.IsOpen())
        return false;
    QSqlQuery update(db);
    if (!update.prepare(QStringLiteral("Update tblOptions Set FValue = ? Where upper(FOption)=upper(?)")))
        return false;
    update.addBindValue(value);
    update.addBindValue(name);
    if (!update.exec())
        return false;
    if (update.numRowsAffected() < 1) {
        QSqlQuery insert(db);
        if (!insert.prepare(QStringLiteral("Insert Into tblOptions(FOption, FValue) Values(?,?)")))
            return false;
        insert.addBindValue(name);
        insert.addBindValue(value);
        if (!insert.exec() || insert.numRowsAffected() != 1)
            return false;
    }
    return transaction.Commit();
}

} // namespace

void TDM::WriteOption(const QString& name, const QString& value)
{
    QSqlDatabase db = Database();
    if (!m_connected || !WriteOptionRow(db, name, value))
        ShowInfo(QStringLiteral("保存设置失败！"));
}

void TDM::WriteOptionBool(const QString& name, bool value)
{
    WriteOption(name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TDM::WriteOptionInt(const QString& name, int value)
{
    WriteOption(name, QString::number(value));
}

QString TDM::ReadOption(const QString& name) const
{
    QString result = QStringLiteral("Error");
    if (!m_connected)
        return result;
    QSqlQuery query(Database());
    if (query.prepare(QStringLiteral("Select FValue From tblOptions Where upper(FOption)=upper(?)"))) {
        query.addBindValue(name);
        if (query.exec() && query.next())
            result = query.value(0).toString().trimmed();
    }
    return result;
}

bool TDM::TryReadOptionInt(const QString& name, int& value) const
{
    bool ok = false;
    const int parsed = ReadOption(name).toInt(&ok, 10);
    if (ok)
        value = parsed;
    return ok;
}

bool TDM::ReadOptionBool(const QString& name) const
{
    return ReadOption(name) == QLatin1String("1");
}

int TDM::ReadOptionInt(const QString& name, int defaultValue, int min, int max) const
{
    int value = defaultValue;
    if (TryReadOptionInt(name, value) && value >= min && value <= max)
        return value;
    return defaultValue;
}

void TDM::LoadSettings()
{
    OptTestHint = ReadOptionBool(QStringLiteral("TestHint"));
    OptSpeed = ReadOptionInt(QStringLiteral("Speed"), 10, 8, 12);
    OptFirstSen = ReadOptionBool(QStringLiteral("FirstSen"));
    OptSpeakCount = ReadOptionInt(QStringLiteral("SpeakCount"), 1, 1, 20);
    OptKeepPitch = ReadOptionBool(QStringLiteral("KeepPitch"));
    ReviewIntervals = InitReviewIntervals();
}
