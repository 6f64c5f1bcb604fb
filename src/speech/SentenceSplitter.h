#pragma once

#include <QString>
#include <QStringList>

// How a lesson's text file becomes its sentences. Pure; callable from any
// thread.

// The text as read from a file: BOM removed, CR LF and lone CR made LF.
QString NormalizedText(const QString& text);

// The sentences of a lesson text, in order, each trimmed and with its inner
// runs of blanks made one. The text is either one sentence a line or running
// text (possibly wrapped, with blank lines between paragraphs): a line break
// ends a sentence unless the line stops without closing punctuation and the
// next line goes on in lower case. Inside a line a sentence ends after
// ". ! ?" (and any closing quotes or brackets) when a blank and an upper-case
// letter, a digit or an opening quote follow; titles such as "Mr.", "e.g.",
// initials, decimal numbers and a trailing-off "..." stay inside their
// sentence.
QStringList SplitSentences(const QString& text);

// The title a lesson text gives itself: its first sentence, which in a text
// written one sentence a line is its first line, and in running text is not
// the whole paragraph. Empty when the text has no sentence.
QString FirstSentence(const QString& text);

// The translations of a lesson: one per non-empty line, trimmed.
QStringList TranslationLines(const QString& text);
