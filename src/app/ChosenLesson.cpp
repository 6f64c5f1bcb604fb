#include "app/ChosenLesson.h"

#include "data/DMUnit.h"
#include "data/Messages.h"

bool OpenChosenLesson(TDM& dm, int contentID)
{
    if (contentID == 0)
        return false;
    if (!dm.OpenLesson(contentID)) {
        ShowError(QStringLiteral("Veltra数据库已损坏，请重新安装软件！"));
        return false;
    }
    return true;
}
