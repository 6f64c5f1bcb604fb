#pragma once

// A small course in a temporary program folder: <tmp>/Data/qor.db with
// `lessons` lessons of book 1 (content IDs 1..n), two sentences, one word and
// an explanation each. Lesson audio is absent.

#include "data/Cipher.h"
#include "data/Schema.h"
#include "data/TextCodec.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

#include <functional>
#include <stdexcept>

inline QString Enciphered(const QString& text)
{
    return QString::fromLatin1(CipherText(TextToGb18030(text), QByteArray(kFieldKey), kEncodeMode));
}

inline QString ExplanationOf(int contentId)
{
    return QStringLiteral("第%1课讲解\n  one\n  two").arg(contentId);
}

class CourseFixture {
public:
    explicit CourseFixture(int lessons = 3)
    {
        if (!m_dir.isValid() || !QDir(m_dir.path()).mkpath(QStringLiteral("Data")))
            throw std::runtime_error("no temporary folder");
        Run([&](QSqlDatabase& db, QSqlQuery& q) {
            QString error;
            if (!CreateSchema(db, &error))
                throw std::runtime_error(error.toStdString());
            for (int id = 1; id <= lessons; ++id) {
                Exec(q, QStringLiteral("Insert Into tblContent Values(?,1,?,?,?,?,?,0,NULL)"),
                     {id, id, 2 * id - 1, 2 * id, QStringLiteral("Lesson %1 ").arg(id), QStringLiteral("第%1课").arg(id)});
                for (int s = 2 * id - 1; s <= 2 * id; ++s)
                    Exec(q, QStringLiteral("Insert Into tblQor1 Values(?,?,?,?,?)"),
                         {s, QStringLiteral("Sentence %1.").arg(s), Enciphered(QStringLiteral("句子%1。").arg(s)),
                          1000 * s, 1000 * s + 800});
                Exec(q, QStringLiteral("Insert Into tblQor Values(?,1,?,?,?,?,?)"),
                     {id, id, QStringLiteral("word%1").arg(id), Enciphered(QStringLiteral("词%1").arg(id)),
                      Enciphered(QStringLiteral("wɜːd")), Enciphered(QStringLiteral("说明"))});
                Exec(q, QStringLiteral("Insert Into tblExplain Values(?,?)"), {id, Enciphered(ExplanationOf(id))});
            }
        });
    }

    QString AppDir() const { return m_dir.path() + u'/'; }
    QString DataDir() const { return AppDir() + QStringLiteral("Data/"); }

    void SetOption(const QString& name, const QString& value)
    {
        Run([&](QSqlDatabase&, QSqlQuery& q) {
            Exec(q, QStringLiteral("Delete From tblOptions Where upper(FOption)=upper(?)"), {name});
            Exec(q, QStringLiteral("Insert Into tblOptions Values(?,?)"), {name, value});
        });
    }

    QString Option(const QString& name)
    {
        QString value;
        Run([&](QSqlDatabase&, QSqlQuery& q) {
            Exec(q, QStringLiteral("Select FValue From tblOptions Where upper(FOption)=upper(?)"), {name});
            if (q.next())
                value = q.value(0).toString();
        });
        return value;
    }

    // FContentID -> FNote of every stored note, in storage order.
    QList<QPair<int, QString>> Notes()
    {
        QList<QPair<int, QString>> notes;
        Run([&](QSqlDatabase&, QSqlQuery& q) {
            Exec(q, QStringLiteral("Select FContentID, FNote From tblNote Order By rowid"), {});
            while (q.next())
                notes.append({q.value(0).toInt(), q.value(1).toString()});
        });
        return notes;
    }

    void Execute(const QString& statement, const QVariantList& binds = {})
    {
        Run([&](QSqlDatabase&, QSqlQuery& q) { Exec(q, statement, binds); });
    }

private:
    void Run(const std::function<void(QSqlDatabase&, QSqlQuery&)>& body)
    {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
            db.setDatabaseName(DataDir() + QStringLiteral("qor.db"));
            if (!db.open())
                throw std::runtime_error(db.lastError().text().toStdString());
            QSqlQuery q(db);
            body(db, q);
        }
        QSqlDatabase::removeDatabase(m_connection);
    }

    static void Exec(QSqlQuery& q, const QString& statement, const QVariantList& binds)
    {
        q.prepare(statement);
        for (const QVariant& value : binds)
            q.addBindValue(value);
        if (!q.exec())
            throw std::runtime_error(q.lastError().text().toStdString());
    }

    QTemporaryDir m_dir;
    QString m_connection = QUuid::createUuid().toString();
};
