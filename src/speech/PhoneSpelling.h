#pragma once

#include <QString>
#include <QStringList>

// Pronunciations in the speech model's phone set (ARPAbet: "HH AH L OW"),
// for words the pronouncing dictionary lacks, and in IPA for showing them.

// Asks espeak-ng (American voice) how it would say `word` and maps its
// phonemes to ARPAbet; falls back to spelling rules when espeak-ng cannot
// be run. Runs a process: call off the GUI thread.
QString GuessedPhones(const QString& word, const QString& espeak = QStringLiteral("espeak-ng"));

// Pure. espeak-ng's phoneme mnemonics ("h@l'oU", separated by "_") as ARPAbet;
// stress marks are dropped and unknown phonemes skipped.
QString EspeakToArpabet(const QString& mnemonics);
// Pure. A rough ARPAbet reading from the letters alone.
QString SpellingPhones(const QString& word);
// Pure. ARPAbet (stress digits ignored) as IPA, for a word's phonetics.
QString ArpabetToIpa(const QString& phones);
