#pragma once

#include <QString>

// The start-up's offer for an old data folder that holds qor.mdb but no
// qor.db: asks the learner, and on Yes runs "veltra-course import DATA DATA"
// behind a progress dialog fed by the tool's lines. The Access reader lives
// only in that process, so a damaged file that crashes it cannot take the
// program down; Cancel ends the process, and its staging leaves nothing
// behind. GUI thread only; without a screen it runs without the dialog.

// The question asked, as the learner sees it.
inline constexpr char kImportQuestion[] = "发现旧版词库 qor.mdb，是否转换后使用？（原文件不会被修改）";

// True when `dataDir` holds qor.db made by the import. False when there is no
// qor.mdb, for No, and after a failed or cancelled import, whose message has
// been shown.
bool OfferImport(const QString& dataDir, const QString& courseTool);

// The course tool installed beside the program.
QString CourseToolOf(const QString& appDir);
