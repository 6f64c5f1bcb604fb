#pragma once

#include <QString>

#include <array>

class RandomSource;
class TLessonDataSet;

// The random draws of the three exercises. Each draw moves the list's
// cursor, so the study pages bound to the same list follow it. An empty or
// not yet loaded list gives empty texts and no sound. GUI thread only.

// Makes a random row current: r uniform in 0 .. N - 1 (0 for an empty list),
// the first row, then r rows forward.
void MoveToRandomRow(TLessonDataSet& list, RandomSource& random);

// The word container of the current word, relative to the data folder
// ("qor1/12.qow"); empty when the list has no current row.
QString CurrentWordSoundFile(const TLessonDataSet& words);

// One subject of the word dictation: the meaning shown, the word expected.
struct DictationSubject {
    QString meaning;
    QString answer;
    QString soundFile;
};
DictationSubject DrawDictationSubject(TLessonDataSet& words, RandomSource& random);

// One question of the word selection. The options are the four words after
// the asked one in list order, wrapping from the last to the first, with the
// one at `answerIndex` (uniform in 0..3) replaced by the right text.
struct SelectionQuestion {
    QString asked;
    QString right;
    QString soundFile;
    std::array<QString, 4> options;
    int answerIndex = 0;
};
SelectionQuestion DrawSelectionQuestion(TLessonDataSet& words, RandomSource& random, bool englishToChinese);

// One question of the sentence dictation: the translation shown, the
// sentence expected and its span in the lesson recording.
struct SentenceSubject {
    QString prompt;
    QString answer;
    int beginMs = 0;
    int endMs = 0;
};
SentenceSubject DrawSentenceSubject(TLessonDataSet& sentences, RandomSource& random);
