#pragma once

#include <QString>

class SessionSignals;

// The start-up's offer for an old data folder that holds qor.mdb but no
// qor.db: asks the learner, and on Yes runs "veltra-course import DATA DATA"
// behind a progress dialog fed by the tool's lines, in Chinese. The Access
// reader lives only in that process, so a damaged file that crashes it
// cannot take the program down. Cancel, and the end of the session, ask the
// tool to stop; it removes what it had written. GUI thread only; without a
// screen it runs without the dialog.

// The question asked, as the learner sees it.
inline constexpr char kImportQuestion[] = "发现旧版词库 qor.mdb，是否转换后使用？（原文件不会被修改）";

enum class ImportOutcome {
    NoOldDatabase,  // nothing to offer: `dataDir` holds no qor.mdb
    Imported,       // `dataDir` holds qor.db now
    NotImported,    // declined, failed or cancelled, and a message said so;
                    // or the session ended, quietly
};

// `session`, when given, ends a running import quietly.
ImportOutcome OfferImport(const QString& dataDir, const QString& courseTool, const SessionSignals* session = nullptr);

// The course tool installed beside the program.
QString CourseToolOf(const QString& appDir);
