#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// The lyric file written beside each exported lesson recording. Pure
// functions: callable from any thread.

enum class LrcTimeStyle {
    Lesson,    // "[mm:ss:mmm]": milliseconds after a colon, the program's own form
    Standard,  // "[mm:ss.xx]": hundredths after a point, what common players read
};

// One sentence line: the start in milliseconds, the English text and the
// deciphered Chinese bytes (GB18030), written as they are.
struct LrcSentence {
    qint64 beginPos = 0;
    QString english;
    QByteArray chinese;
};

// The time tag of `position` ms. Minutes take at least two digits and keep all
// of them from 100 on. A negative position counts as 0.
QString LrcTimeTag(qint64 position, LrcTimeStyle style);

// The whole file: the three header lines, then one line per sentence in the
// given order. In book 1 the first sentence is tagged at 0 whatever its
// start, because those recordings open with the lesson's announcement.
// GB18030 (identical to GBK for every GBK character), no byte-order mark,
// CR LF after every line.
QByteArray BuildLrc(int book, const QVector<LrcSentence>& sentences, LrcTimeStyle style);
