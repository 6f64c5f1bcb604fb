#include "app/AuthorLesson.h"

#include <QRegularExpression>

QStringList AuthorRequest::Arguments() const
{
    QStringList args{QStringLiteral("author"), dataDir, QStringLiteral("--book"), QString::number(book),
                     QStringLiteral("--audio"), audioFile, QStringLiteral("--text"), textFile};
    if (!chineseFile.isEmpty())
        args << QStringLiteral("--chinese") << chineseFile;
    if (!title.isEmpty())
        args << QStringLiteral("--title") << title;
    return args;
}

const CourseToolTexts& AuthorTexts()
{
    static const CourseToolTexts texts{
        {
            {QStringLiteral("reading the recording"), QStringLiteral("正在读取录音")},
            {QStringLiteral("aligning the text"), QStringLiteral("正在查找每一句在录音中的位置")},
            {QStringLiteral("preparing the new words"), QStringLiteral("正在制作生词")},
            {QStringLiteral("writing the lesson"), QStringLiteral("正在把课文写入课程")},
            {QStringLiteral("done"), QStringLiteral("正在完成")},
        },
        QStringLiteral("正在制作课文"),
        {
            {QStringLiteral("speech-model"),
             QStringLiteral("找不到语音模型，无法查找每一句在录音中的位置，课程没有改动。请重新安装本软件。")},
            {QStringLiteral("recording"),
             QStringLiteral("无法读取这份录音，课程没有改动。请换一个 MP3、WAV、FLAC 或 Ogg 录音。")},
            {QStringLiteral("alignment"), QStringLiteral("无法在录音中找到课文的句子，课程没有改动。请检查录音和课文是否一致。")},
            {QStringLiteral("new-words"), QStringLiteral("无法制作生词的读音，课程没有改动。")},
            {QStringLiteral("course"), QStringLiteral("无法在这个课程中加入新课，课程没有改动。")},
            {QStringLiteral("writing"), QStringLiteral("无法把课文写入课程，课程没有改动。")},
        },
        QStringLiteral("无法用这份录音和课文制作新课，课程没有改动。"),
        QStringLiteral("课程工具不接受这些参数，没有添加课文，课程没有改动。"),
        QStringLiteral("课程工具意外退出，没有添加课文，课程没有改动。"),
        QStringLiteral("找不到课程工具“%1”，无法添加课文。请重新安装本软件。"),
        QStringLiteral("课程工具的说明："),
    };
    return texts;
}

void AuthorReport::Read(const QString& line)
{
    const QStringList fields = line.split(QLatin1Char('\t'));
    if (fields.size() == 5 && fields[4] == QLatin1String("?")) {
        m_uncertain << fields[0].toInt();
        return;
    }
    static const QRegularExpression added(
        QStringLiteral("^added book (\\d+) lesson (\\d+): (\\d+) sentences?, (\\d+) uncertain$"));
    const QRegularExpressionMatch m = added.match(line);
    if (m.hasMatch())
        m_added = AddedLesson{m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m_uncertain};
}
