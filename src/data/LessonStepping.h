#pragma once

class TDM;

// Previous/next lesson over the content IDs 1..276 (or up to the largest ID
// of the catalogue, when lessons were added past it), wrapping at both ends.
// CurContentID is stepped first; IDs absent from the catalogue are passed
// over within the same step, so a short course wraps from its last lesson to
// its first at once. A lesson that is in the catalogue but fails to open
// leaves CurContentID on it, and the next step moves past it. Returns true
// when a lesson opened (the caller then refreshes its view). GUI thread only.
inline constexpr int kLastContentId = 276;

bool NextLesson(TDM& dm);
bool PrevLesson(TDM& dm);
