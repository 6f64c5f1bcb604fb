#include "audio/WordSpeaker.h"

#include "audio/Container.h"
#include "data/DataPath.h"

WordSpeaker::WordSpeaker(WordPlayer& player, QString dataDir)
    : m_player(player), m_dataDir(std::move(dataDir))
{
}

QString WordSpeaker::ContainerOf(int book, int wordId) const
{
    return ResolveDataPath(m_dataDir, WordContainerPath(book, wordId));
}

bool WordSpeaker::WordContainerExists(int book, int wordId) const
{
    return !ContainerOf(book, wordId).isEmpty();
}

void WordSpeaker::OpenWordAudio(int book, int wordId)
{
    const QString container = ContainerOf(book, wordId);
    // An empty name makes the player close the previous word and fail with
    // its missing-file message, which is what the learner should see.
    m_player.OpenFile(container.isEmpty() ? QString() : UnpackToTempFile(container, QStringLiteral(".wav")));
}

void WordSpeaker::SpeakWord(int book, int wordId)
{
    OpenWordAudio(book, wordId);
    m_player.Play();
}

void WordSpeaker::PlayWordContainer(const QString& containerPath)
{
    m_player.OpenFile(UnpackToTempFile(containerPath, QStringLiteral(".wav")));
    m_player.Play();
}

void WordSpeaker::PlayModel()
{
    m_player.Play();
}
