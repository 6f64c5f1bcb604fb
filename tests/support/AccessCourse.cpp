#include "support/AccessCourse.h"

#include "audio/Container.h"
#include "data/Cipher.h"
#include "data/TextCodec.h"

#include <QDir>
#include <QFile>

namespace {

bool WriteFile(const QString& path, const QByteArray& bytes, QString& error)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        return true;
    error = QStringLiteral("cannot write %1").arg(path);
    return false;
}

QString Enciphered(const QString& text) { return EncipheredField(TextToGb18030(text)); }

} // namespace

QString EncipheredField(const QByteArray& plain)
{
    return QString::fromLatin1(CipherText(plain, QByteArray(kFieldKey), kEncodeMode, [] { return std::uint8_t(0x5a); }));
}

QList<JetTable> AccessCourseTables(const AccessCourseShape& shape)
{
    JetTable options{QStringLiteral("tblOptions"), {{"FOption", JetType::Text}, {"FValue", JetType::Text}}, {}, {}};
    options.rows = {{"Book", "1"}, {"Lesson", "1"}, {"SpeakCount", "3"}};
    JetTable content{QStringLiteral("tblContent"),
                     {{"ID", JetType::Long}, {"FID", JetType::Long}, {"FBook", JetType::Integer},
                      {"FLesson", JetType::Integer}, {"FBeginID", JetType::Long}, {"FEndID", JetType::Long},
                      {"FEnglish", JetType::Text}, {"FChinese", JetType::Text}, {"FStudyCount", JetType::Long},
                      {"FLastTime", JetType::DateTime}},
                     {},
                     {}};
    JetTable words{QStringLiteral("tblQor"),
                   {{"FID", JetType::Long}, {"FBook", JetType::Integer}, {"FLesson", JetType::Integer},
                    {"FEnglish", JetType::Text}, {"FChinese", JetType::Text}, {"FPS", JetType::Text},
                    {"FInfo", JetType::Memo}},
                   {},
                   {}};
    JetTable notes{QStringLiteral("tblNote"), {{"FContentID", JetType::Long}, {"FNote", JetType::Memo}}, {}, {}};
    JetTable explains{QStringLiteral("tblExplain"), {{"FContentID", JetType::Long}, {"FExplain", JetType::Memo}}, {}, {}};
    QList<JetTable> books;

    int contentId = 0;
    int wordId = 0;
    for (int book = 1; book <= 4; ++book) {
        JetTable sentences{QStringLiteral("tblQor%1").arg(book),
                           {{"FID", JetType::Long}, {"FEnglish", JetType::Text}, {"FChinese", JetType::Text},
                            {"FBeginPos", JetType::Long}, {"FEndPos", JetType::Long}},
                           {},
                           {}};
        for (int lesson = 1; lesson <= shape.lessonsPerBook; ++lesson) {
            ++contentId;
            const int first = (lesson - 1) * shape.sentencesPerLesson + 1;
            const int last = first + shape.sentencesPerLesson - 1;
            const bool studied = contentId == 1;
            content.rows.append({contentId + 100, contentId, book, lesson, first, last,
                                 QStringLiteral("Lesson %1 ").arg(lesson),
                                 QString::fromUtf8("第%1课 课文").arg(lesson), studied ? 2 : 0,
                                 studied ? QVariant(45000.75) : QVariant()});
            for (int s = first; s <= last; ++s)
                sentences.rows.append({s, QStringLiteral("Sentence %1 of lesson %2.").arg(s).arg(lesson),
                                       Enciphered(QString::fromUtf8("第%1课的第%2句。").arg(lesson).arg(s)),
                                       500 + (s - first) * 1000, 1300 + (s - first) * 1000});
            for (int w = 0; w < shape.wordsPerLesson; ++w) {
                ++wordId;
                words.rows.append({wordId, book, lesson, QStringLiteral("word%1").arg(wordId),
                                   Enciphered(QString::fromUtf8("词%1").arg(wordId)),
                                   EncipheredField(QByteArray("[w\xbd\x9e" "d]")),
                                   Enciphered(QString::fromUtf8("用法：第%1个词。").arg(wordId))});
            }
            const QString explanation = QString::fromUtf8("要点") + QString(shape.explanationChars, QChar(0x8bfe));
            explains.rows.append({contentId, Enciphered(explanation)});
        }
        books.append(sentences);
    }
    notes.rows.append({2, QString::fromUtf8("删掉的笔记")});
    notes.deletedRows.append(0);
    notes.rows.append({1, QString::fromUtf8("我的笔记\n第二行")});
    return QList<JetTable>{options, content} + books + QList<JetTable>{words, notes, explains};
}

bool WriteAccessDataFolder(const QString& dir, const QList<JetTable>& tables, const QByteArray& lessonAudio,
                           const QByteArray& wordAudio, const QByteArray& font, QString& error)
{
    JetOptions options;
    options.password = QStringLiteral("marblelantern");
    if (!QDir().mkpath(dir)) {
        error = QStringLiteral("cannot create %1").arg(dir);
        return false;
    }
    if (!WriteFile(dir + QStringLiteral("/Qor.mdb"), WriteJet4(tables, options), error) ||
        !WriteFile(dir + QStringLiteral("/TmpWav.wav"), wordAudio, error))
        return false;
    if (!font.isEmpty() && !WriteFile(dir + QStringLiteral("/pdfont1.TTF"), font, error))
        return false;
    const QByteArray lessonContainer = PackContainer(lessonAudio);
    const QByteArray wordContainer = PackContainer(wordAudio);
    for (const JetTable& table : tables) {
        const bool lessons = table.name == QLatin1String("tblContent");
        if (!lessons && table.name != QLatin1String("tblQor"))
            continue;
        for (const QVariantList& row : table.rows) {
            // Catalogue: ID, FID, FBook, FLesson; words: FID, FBook, FLesson.
            const int book = row[lessons ? 2 : 1].toInt();
            const QString folder = dir + (book == 2 ? QStringLiteral("/Qor2") : QStringLiteral("/QOR%1").arg(book));
            if (!QDir().mkpath(folder)) {
                error = QStringLiteral("cannot create %1").arg(folder);
                return false;
            }
            const QString file = lessons ? QStringLiteral("/%1.QOR").arg(row[3].toInt())
                                         : QStringLiteral("/%1.qow").arg(row[0].toInt());
            if (!WriteFile(folder + file, lessons ? lessonContainer : wordContainer, error))
                return false;
        }
    }
    return true;
}
