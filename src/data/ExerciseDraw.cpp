#include "data/ExerciseDraw.h"

#include "data/DataPath.h"
#include "data/LessonDataSet.h"
#include "data/RandomSource.h"

namespace {

const QString kEnglish = QStringLiteral("FEnglish");
const QString kChinese = QStringLiteral("FChinese");

bool HasCurrentRow(const TLessonDataSet& list)
{
    return list.RecNo() >= 0;
}

} // namespace

void MoveToRandomRow(TLessonDataSet& list, RandomSource& random)
{
    const int steps = random.Below(list.RecordCount());
    list.First();
    for (int i = 0; i < steps; ++i)
        list.Next();
}

QString CurrentWordSoundFile(const TLessonDataSet& words)
{
    if (!HasCurrentRow(words))
        return {};
    return WordContainerPath(words.FieldValue(QStringLiteral("FBook")).toInt(),
                             words.FieldValue(QStringLiteral("FID")).toInt());
}

DictationSubject DrawDictationSubject(TLessonDataSet& words, RandomSource& random)
{
    MoveToRandomRow(words, random);
    if (!HasCurrentRow(words))
        return {};
    return {words.FieldText(kChinese), words.FieldValue(kEnglish).toString(), CurrentWordSoundFile(words)};
}

SelectionQuestion DrawSelectionQuestion(TLessonDataSet& words, RandomSource& random, bool englishToChinese)
{
    MoveToRandomRow(words, random);
    SelectionQuestion q;
    const QString& askedField = englishToChinese ? kEnglish : kChinese;
    const QString& optionField = englishToChinese ? kChinese : kEnglish;
    if (HasCurrentRow(words)) {
        q.asked = words.FieldText(askedField);
        q.right = words.FieldText(optionField);
        q.soundFile = CurrentWordSoundFile(words);
    }
    for (QString& option : q.options) {
        words.Next();
        if (words.Eof())
            words.First();
        option = HasCurrentRow(words) ? words.FieldText(optionField) : QString();
    }
    q.answerIndex = random.Below(static_cast<int>(q.options.size()));
    q.options[q.answerIndex] = q.right;
    return q;
}

SentenceSubject DrawSentenceSubject(TLessonDataSet& sentences, RandomSource& random)
{
    MoveToRandomRow(sentences, random);
    if (!HasCurrentRow(sentences))
        return {};
    return {sentences.FieldText(kChinese), sentences.FieldValue(kEnglish).toString(),
            sentences.FieldValue(QStringLiteral("FBeginPos")).toInt(),
            sentences.FieldValue(QStringLiteral("FEndPos")).toInt()};
}
