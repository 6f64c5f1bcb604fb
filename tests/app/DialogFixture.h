#pragma once

#include "data/DMUnit.h"
#include "data/ReviewSchedule.h"
#include "data/Schema.h"
#include "support/RecordingMessages.h"

#include <QApplication>
#include <QDialog>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

// A data folder with an empty option table and a small catalogue: books 1 to
// 3 with lessons 1 to 3 each (content ID = (book - 1) * 3 + lesson, two
// sentences per lesson), book 4 without lessons. Lesson 2 of every book has
// been studied twice, on 2026-12-06; the others never.
class DialogFixture {
public:
    DialogFixture()
    {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
            db.setDatabaseName(m_dir.filePath(QStringLiteral("qor.db")));
            QVERIFY(db.open());
            QVERIFY(CreateSchema(db));
            QSqlQuery content(db);
            content.prepare(QStringLiteral(
                "Insert Into tblContent(FID, FBook, FLesson, FBeginID, FEndID, FEnglish, FChinese, FStudyCount,"
                " FLastTime) Values(?, ?, ?, ?, ?, ?, ?, ?, ?)"));
            const double studied = DateTimeToDayCount(QDateTime(QDate(2026, 12, 6), QTime(19, 40)));
            for (int book = 1; book <= 3; ++book) {
                for (int lesson = 1; lesson <= 3; ++lesson) {
                    const int id = (book - 1) * 3 + lesson;
                    const bool seen = lesson == 2;
                    content.addBindValue(id);
                    content.addBindValue(book);
                    content.addBindValue(lesson);
                    content.addBindValue(lesson * 10 + 1);
                    content.addBindValue(lesson * 10 + 2);
                    content.addBindValue(QStringLiteral("Lesson %1 ").arg(lesson));
                    content.addBindValue(QStringLiteral("第%1课").arg(lesson));
                    content.addBindValue(seen ? 2 : 0);
                    content.addBindValue(seen ? QVariant(studied) : QVariant());
                    QVERIFY(content.exec());
                    for (int sentence = 1; sentence <= 2; ++sentence) {
                        QSqlQuery row(db);
                        row.prepare(QStringLiteral("Insert Into tblQor%1(FID, FEnglish, FChinese, FBeginPos, FEndPos)"
                                                   " Values(?, 'Hello.', '', ?, ?)").arg(book));
                        row.addBindValue(lesson * 10 + sentence);
                        row.addBindValue(sentence * 1000);
                        row.addBindValue(sentence * 1000 + 900);
                        QVERIFY(row.exec());
                    }
                }
            }
        }
        QSqlDatabase::removeDatabase(kConnection);
        dm = std::make_unique<TDM>(m_dir.path());
    }

    // Changes the fixture database behind the data module's back.
    void Exec(const QString& statement)
    {
        QSqlQuery query(dm->Database());
        QVERIFY2(query.exec(statement), qPrintable(statement));
    }

    // Rows of tblOptions, read past the data module.
    int OptionRowCount() const
    {
        QSqlQuery query(dm->Database());
        return query.exec(QStringLiteral("Select count(*) From tblOptions")) && query.next() ? query.value(0).toInt()
                                                                                            : -1;
    }

    RecordingMessages messages;
    ScopedMessages installed{&messages};
    std::unique_ptr<TDM> dm;

private:
    static inline const QString kConnection = QStringLiteral("dialog-fixture");
    QTemporaryDir m_dir;
};

// Runs `act` on the modal dialog as soon as it is shown; `act` must close it.
inline void WhenModalShown(std::function<void(QDialog&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY2(dialog, "no modal dialog is showing");
        act(*dialog);
    });
}

template <typename T>
T* Child(QWidget& parent, const char* name)
{
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    if (!child)
        qFatal("no child %s", name);
    return child;
}
