#include "data/LessonStepping.h"

#include "data/DMUnit.h"

#include <algorithm>

namespace {

int Wrapped(int id, int last)
{
    if (id > last)
        return 1;
    if (id < 1)
        return last;
    return id;
}

bool Step(TDM& dm, int direction)
{
    // Lessons a learner added lie past the course's own.
    const int last = std::max(kLastContentId, dm.LargestContentId());
    const int first = Wrapped(dm.CurContentID + direction, last);
    // Pass over IDs the catalogue lacks, one full round at most; with no
    // lesson found the step costs one ID, as an unopenable lesson does.
    int id = first;
    bool found = false;
    for (int tries = 0; tries < last && !found; ++tries) {
        found = dm.LessonInCatalogue(id);
        if (!found)
            id = Wrapped(id + direction, last);
    }
    dm.CurContentID = found ? id : first;
    return dm.OpenLesson(dm.CurContentID);
}

} // namespace

bool NextLesson(TDM& dm)
{
    return Step(dm, 1);
}

bool PrevLesson(TDM& dm)
{
    return Step(dm, -1);
}
