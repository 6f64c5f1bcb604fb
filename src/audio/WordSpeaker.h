#pragma once

#include "audio/ReadingPorts.h"

#include <QString>

// Speaks words through the word player: each word's container is unpacked to
// a fresh temporary WAV, which the player owns and deletes when it opens the
// next one, so at most one such file exists at a time.
//
// A container that is missing or cannot be unpacked leaves no file and ends
// in the player's "文件不存在！" error, thrown to the caller.
//
// GUI thread only.
class WordSpeaker {
public:
    WordSpeaker(WordPlayer& player, QString dataDir);

    // Opens the word of book `book` with container ID `wordId`, without playing.
    void OpenWordAudio(int book, int wordId);
    // OpenWordAudio, then play.
    void SpeakWord(int book, int wordId);
    // Unpacks the container at `containerPath` and plays it.
    void PlayWordContainer(const QString& containerPath);
    // Plays what the player holds again (the last word opened or spoken).
    void PlayModel();

    // Whether the word's container exists, for callers that want silence
    // rather than an error for a missing one.
    bool WordContainerExists(int book, int wordId) const;

private:
    QString ContainerOf(int book, int wordId) const;

    WordPlayer& m_player;
    QString m_dataDir;
};
