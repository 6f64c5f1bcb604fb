#include "audio/FinishedTake.h"

#include "audio/Mp3Span.h"

std::optional<PcmAudio> ModelAudio(const TakeModel& model)
{
    if (model.kind == TakeModel::Kind::Word)
        return model.wordAudio.Frames() > 0 ? std::optional<PcmAudio>(model.wordAudio) : std::nullopt;
    if (model.lessonMp3.isEmpty())
        return std::nullopt;
    return DecodeMp3Span(model.lessonMp3, model.beginMs, model.endMs);
}

void LastTake::TakeEnded(const PcmAudio& take)
{
    m_last.serial += 1;
    m_last.model = m_model;
    m_last.take = take;
    emit changed();
}
