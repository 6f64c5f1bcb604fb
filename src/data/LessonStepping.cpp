#include "data/LessonStepping.h"

#include "data/DMUnit.h"

namespace {

int Wrapped(int id)
{
    if (id > kLastContentId)
        return 1;
    if (id < 1)
        return kLastContentId;
    return id;
}

bool Step(TDM& dm, int direction)
{
    const int first = Wrapped(dm.CurContentID + direction);
    // Pass over IDs the catalogue lacks, one full round at most; with no
    // lesson found the step costs one ID, as an unopenable lesson does.
    int id = first;
    bool found = false;
    for (int tries = 0; tries < kLastContentId && !found; ++tries) {
        found = dm.LessonInCatalogue(id);
        if (!found)
            id = Wrapped(id + direction);
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
