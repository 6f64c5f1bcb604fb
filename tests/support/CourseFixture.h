#pragma once

// A small course in a temporary program folder: <tmp>/Data/qor.db with
// `lessons` lessons of book 1 (content IDs 1..n), two sentences, one word and
// an explanation each, and a short recording per lesson.

#include "audio/Container.h"
#include "data/Cipher.h"
#include "data/DataPath.h"
#include "data/Schema.h"
#include "data/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

#include <lame/lame.h>

#include <cmath>
#include <functional>
#include <stdexcept>
#include <vector>

inline QString Enciphered(const QString& text)
{
    return QString::fromLatin1(CipherText(TextToGb18030(text), QByteArray(kFieldKey), kEncodeMode));
}

// Three seconds of a quiet tone as MP3, 22,050 Hz mono.
inline QByteArray ShortMp3()
{
    constexpr int kRate = 22050;
    std::vector<short> pcm(3 * kRate);
    for (std::size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = static_cast<short>(3000 * std::sin(2 * M_PI * 440.0 * double(i) / kRate));
    lame_global_flags* lame = lame_init();
    lame_set_num_channels(lame, 1);
    lame_set_in_samplerate(lame, kRate);
    lame_set_mode(lame, MONO);
    lame_set_brate(lame, 32);
    std::vector<unsigned char> mp3(pcm.size() * 5 / 4 + 7200);
    int size = -1;
    if (lame_init_params(lame) >= 0) {
        size = lame_encode_buffer(lame, pcm.data(), pcm.data(), int(pcm.size()), mp3.data(), int(mp3.size()));
        if (size >= 0) {
            const int tail = lame_encode_flush(lame, mp3.data() + size, int(mp3.size()) - size);
            size = tail < 0 ? -1 : size + tail;
        }
    }
    lame_close(lame);
    if (size <= 0)
        throw std::runtime_error("MP3 encoding failed");
    return QByteArray(reinterpret_cast<const char*>(mp3.data()), size);
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
                          1000 * (s - 2 * id + 1), 1000 * (s - 2 * id + 1) + 800});
                Exec(q, QStringLiteral("Insert Into tblQor Values(?,1,?,?,?,?,?)"),
                     {id, id, QStringLiteral("word%1").arg(id), Enciphered(QStringLiteral("词%1").arg(id)),
                      Enciphered(QStringLiteral("wɜːd")), Enciphered(QStringLiteral("说明"))});
                Exec(q, QStringLiteral("Insert Into tblExplain Values(?,?)"), {id, Enciphered(ExplanationOf(id))});
            }
        });
        const QByteArray container = PackContainer(ShortMp3());
        QDir(DataDir()).mkpath(QStringLiteral("qor1"));
        for (int lesson = 1; lesson <= lessons; ++lesson) {
            QFile file(DataDir() + LessonContainerPath(1, lesson));
            if (!file.open(QIODevice::WriteOnly) || file.write(container) != container.size())
                throw std::runtime_error("cannot write a lesson container");
        }
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
