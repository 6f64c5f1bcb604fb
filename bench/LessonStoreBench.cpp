// Opening a lesson through the data module against bare queries reading the
// same rows, and grid display of decoded cells against decoding them directly.
#include "RatioReporter.h"
#include "data/Cipher.h"
#include "data/DMUnit.h"
#include "data/LessonTableModel.h"
#include "data/Schema.h"
#include "data/TextCodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr int kLessons = 276;
constexpr int kSentences = 30;  // per lesson
constexpr int kWords = 20;      // per lesson

QString Enciphered(const QString& text)
{
    return QString::fromLatin1(CipherText(TextToGb18030(text), kFieldKey, kEncodeMode));
}

// A full-size course: 276 lessons over four books.
class BenchCourse {
public:
    BenchCourse()
    {
        QDir().mkpath(DataDir());
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-build"));
            db.setDatabaseName(DataDir() + QStringLiteral("/qor.db"));
            if (!db.open() || !CreateSchema(db))
                qFatal("cannot create the bench database");
            db.transaction();
            QSqlQuery q(db);
            for (int id = 1; id <= kLessons; ++id) {
                const int book = (id - 1) / 69 + 1;
                const int lesson = (id - 1) % 69 + 1;
                const int first = (lesson - 1) * kSentences + 1;
                q.prepare(QStringLiteral("Insert Into tblContent Values(?,?,?,?,?,?,?,?,?)"));
                for (const QVariant& v : QVariantList{id, book, lesson, first, first + kSentences - 1,
                                                      QStringLiteral("Lesson %1").arg(lesson),
                                                      QStringLiteral("第%1课").arg(lesson), 0, QVariant()})
                    q.addBindValue(v);
                q.exec();
                for (int s = 0; s < kSentences; ++s) {
                    q.prepare(QStringLiteral("Insert Into tblQor%1 Values(?,?,?,?,?)").arg(book));
                    for (const QVariant& v : QVariantList{first + s, QStringLiteral("Sentence %1 of the lesson text.").arg(s),
                                                          Enciphered(QStringLiteral("这是课文的第%1句。").arg(s)),
                                                          s * 3000, s * 3000 + 2800})
                        q.addBindValue(v);
                    q.exec();
                }
                for (int w = 0; w < kWords; ++w) {
                    q.prepare(QStringLiteral("Insert Into tblQor Values(?,?,?,?,?,?,?)"));
                    for (const QVariant& v : QVariantList{id * 100 + w, book, lesson, QStringLiteral("word%1").arg(w),
                                                          Enciphered(QStringLiteral("n. 单词%1").arg(w)),
                                                          Enciphered(QStringLiteral("wɜːd")),
                                                          Enciphered(QStringLiteral("常用搭配和例句。"))})
                        q.addBindValue(v);
                    q.exec();
                }
                q.prepare(QStringLiteral("Insert Into tblExplain Values(?,?)"));
                q.addBindValue(id);
                q.addBindValue(Enciphered(QStringLiteral("讲解。").repeated(200)));
                q.exec();
            }
            db.commit();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bench-build"));
    }

    QString DataDir() const { return m_dir.path() + QStringLiteral("/Data"); }

private:
    QTemporaryDir m_dir;
};

BenchCourse& Course()
{
    static BenchCourse course;
    return course;
}

int ReadAll(QSqlQuery& q, const QString& statement, const QVariantList& binds)
{
    q.prepare(statement);
    for (const QVariant& v : binds)
        q.addBindValue(v);
    q.exec();
    int cells = 0;
    QVector<QVector<QVariant>> rows;
    const int columns = q.record().count();
    while (q.next()) {
        QVector<QVariant> row;
        for (int i = 0; i < columns; ++i)
            row.append(q.value(i));
        cells += row.size();
        rows.append(std::move(row));
    }
    benchmark::DoNotOptimize(rows);
    return cells;
}

// The four lesson statements plus the catalogue row, read into memory.
void BareLessonQueries(benchmark::State& state)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-bare"));
    db.setDatabaseName(Course().DataDir() + QStringLiteral("/qor.db"));
    db.open();
    {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        int id = 0;
        for (auto _ : state) {
            id = id % kLessons + 1;
            const int book = (id - 1) / 69 + 1;
            const int lesson = (id - 1) % 69 + 1;
            const int first = (lesson - 1) * kSentences + 1;
            ReadAll(q, QStringLiteral("Select * From tblContent Where FID=?"), {id});
            ReadAll(q, QStringLiteral("Select * From tblQor%1 Where FID Between ? and ? Order By FID").arg(book),
                    {first, first + kSentences - 1});
            ReadAll(q, QStringLiteral("Select * From tblQor Where FBook=? and FLesson=? Order By FID"), {book, lesson});
            ReadAll(q, QStringLiteral("Select rowid, * From tblNote Where FContentID=?"), {id});
            ReadAll(q, QStringLiteral("Select rowid, * From tblExplain Where FContentID=?"), {id});
        }
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("bench-bare"));
}

void OpenLesson(benchmark::State& state)
{
    TDM dm(Course().DataDir());
    int id = 0;
    for (auto _ : state) {
        id = id % kLessons + 1;
        if (!dm.OpenLesson(id))
            state.SkipWithError("open failed");
    }
}

// Every cell of a lesson's word grid as a view asks for it.
void ModelDisplayText(benchmark::State& state)
{
    TDM dm(Course().DataDir());
    dm.OpenLesson(1);
    const LessonTableModel& model = *dm.adsQorWord.Model();
    for (auto _ : state) {
        for (int r = 0; r < model.rowCount(); ++r)
            for (int c = 0; c < model.columnCount(); ++c)
                benchmark::DoNotOptimize(model.data(model.index(r, c)));
    }
}

// The same cells, decoding the enciphered ones straight from the stored text.
void DirectDisplayText(benchmark::State& state)
{
    TDM dm(Course().DataDir());
    dm.OpenLesson(1);
    const TLessonDataSet& words = dm.adsQorWord;
    const QStringList enciphered{"FChinese", "FPS", "FInfo"};
    for (auto _ : state) {
        for (int r = 0; r < words.RecordCount(); ++r) {
            for (int c = 0; c < words.Fields().size(); ++c) {
                const QVariant v = words.Value(r, c);
                if (enciphered.contains(words.Fields().at(c)))
                    benchmark::DoNotOptimize(Gb18030ToText(CipherText(v.toString().toLatin1(), kFieldKey, kDecodeMode)));
                else
                    benchmark::DoNotOptimize(v.toString());
            }
        }
    }
}

} // namespace

BENCHMARK(BareLessonQueries)->Unit(benchmark::kMicrosecond);
BENCHMARK(OpenLesson)->Unit(benchmark::kMicrosecond);
BENCHMARK(DirectDisplayText)->Unit(benchmark::kMicrosecond);
BENCHMARK(ModelDisplayText)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Course();  // built once, outside the timed runs
    RatioReporter reporter({{"OpenLesson", "BareLessonQueries"}, {"ModelDisplayText", "DirectDisplayText"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
