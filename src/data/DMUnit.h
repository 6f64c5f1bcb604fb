#pragma once

#include "data/LessonDataSet.h"
#include "data/SqliteConnection.h"

#include <QDateTime>
#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <array>
#include <optional>

// The data module: the one connection to Data/qor.db, the four datasets of
// the open lesson, the option store with its settings cache, the current
// lesson and the study record.
//
// Its parts are written in files of their own: DMUnitOptions.cpp (the option
// store), DMUnitLesson.cpp (opening a lesson), DMUnitStudyRecord.cpp,
// DMUnitReviewDue.cpp and DMUnitSentenceTimes.cpp.
//
// There is no global instance. main() creates one TDM, before the main
// window, and passes it by reference (TDM&) to whoever needs it; it lives
// until the program ends. Several may exist one after another (tests), each
// with a connection of its own. Everything here runs on the GUI thread.
//
// Views bind to the datasets through TLessonDataSet::Model() and
// SelectionModel(). Short-lived queries of other parts (lesson list, export)
// use Database(); bind every value.
class TDM : public QObject {
    Q_OBJECT
public:
    // Opens `dataDir`/qor.db (name matched without regard to case) and loads
    // the settings. A missing file, a file that is not an SQLite database or
    // one without the program's tables counts as a failed connection: the
    // two-line connection error is shown through ShowError, settings keep
    // their zero defaults and TerminationRequested() becomes true.
    explicit TDM(const QString& dataDir, QObject* parent = nullptr);
    ~TDM() override;
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    bool IsConnected() const { return m_connected; }
    // Set when the connection failed: the program must end once its start-up
    // has shown its messages.
    bool TerminationRequested() const { return m_terminate; }
    QSqlDatabase Database() const;
    const QString& DataDir() const { return m_dataDir; }

    // Lesson datasets, open after the first successful OpenLesson.
    // adsNote and adsExplain are writable; their posts stamp FContentID.
    TLessonDataSet adsQorSen;
    TLessonDataSet adsQorWord;
    TLessonDataSet adsNote;
    TLessonDataSet adsExplain;

    // Display text of a stored enciphered value: trimmed, deciphered with the
    // field key, GB18030 bytes turned into text ("" for empty, "-1" for text
    // that is not upper-case hex). With `phonetic` and the phonetic font
    // available, bytes become characters one to one (glyph codes of that
    // font) instead.
    QString DecodeFieldText(const QVariant& stored, bool phonetic = false) const;
    // Whether the font "PDFont1" is installed; decided at construction from
    // the font database when a GUI application exists, false otherwise. When
    // it is, views get that font for adsQorWord.FPS through the model.
    bool PhoneticFontAvailable() const { return m_phoneticFont; }
    void SetPhoneticFontAvailable(bool available);

    // --- Option store (keys matched without regard to case) ---
    // Update, else insert, in one transaction; on failure rolls back and
    // shows "保存设置失败！" through ShowInfo. The caller is not told.
    void WriteOption(const QString& name, const QString& value);
    void WriteOptionBool(const QString& name, bool value);
    void WriteOptionInt(const QString& name, int value);
    // The stored value trimmed; "Error" for a missing row or a failed read.
    QString ReadOption(const QString& name) const;
    // True and `value` set when ReadOption(name) is a decimal integer.
    bool TryReadOptionInt(const QString& name, int& value) const;
    bool ReadOptionBool(const QString& name) const;  // exactly "1"
    int ReadOptionInt(const QString& name, int defaultValue, int min, int max) const;
    // Fills the cache below and ReviewIntervals.
    void LoadSettings();

    // Settings cache; the settings dialog sets these and writes the store.
    int OptSpeed = 0;       // "Speed", 8..12
    int OptSpeakCount = 0;  // "SpeakCount", 1..20
    bool OptTestHint = false;
    bool OptFirstSen = false;
    bool OptKeepPitch = false;  // "KeepPitch": a speed other than 10 keeps the voice's pitch
    std::array<double, 5> ReviewIntervals{};  // days, for study counts 1..5

    // --- Current lesson (values of the last lesson opened successfully) ---
    int CurContentID = 0;  // tblContent.FID; 0 before the first open
    int CurBook = 0;
    int CurLesson = 0;
    QString CurTitle;      // book name + " - " + FEnglish + FChinese

    // Loads the lesson's sentences, words, note and explanation. On success
    // all four datasets show the lesson (cursors on their first rows) and the
    // Cur* values are set. On failure (unknown ID, no sentences, a failed
    // query) nothing changes, datasets included, and no message is shown.
    bool OpenLesson(int contentId);
    // Looks up the content ID of book/lesson and opens it; shows
    // "打开课文出错！" through ShowError when the catalogue has no such row.
    bool OpenLessonByNumber(int book, int lesson);
    // Whether tblContent has a row with FID `contentId`. A failed query
    // answers true, so that stepping still costs a step and OpenLesson decides.
    bool LessonInCatalogue(int contentId) const;
    // The largest content ID of the catalogue; 0 when it is empty, cannot be
    // read or no data folder is open. No message.
    int LargestContentId() const;
    // The content ID of book/lesson; 0 when the catalogue has no such row or
    // cannot be read. No message.
    int ContentIdOf(int book, int lesson) const;

    // --- Sentence times ---
    // New times (ms) for the sentence on row `row` of adsQorSen, written to
    // its book's sentence table in one transaction and then held by the
    // dataset, so the grid and every later play use them at once; emits
    // SentenceTimesChanged. A begin below 0 or an end not after the begin is
    // refused. On failure nothing changes, "保存句子时间失败！" is shown
    // through ShowError and the result is false.
    bool WriteSentenceTimes(int row, int beginMs, int endMs);

    // --- Study record ---
    struct StudyInfo {
        QString count;  // "3"; "0" when never studied
        QString last;   // "yyyy/MM/dd"; "未学习" when never studied
        QString next;   // next review date; empty when never studied or count > 5
    };
    // The three texts for the open lesson. On a failed query shows
    // "打开Veltra课本数据出错，请重新安装本软件！" through ShowError and
    // returns nullopt (labels keep what they showed).
    std::optional<StudyInfo> ShowStudyInfo() const;
    // One more study of lesson `contentId` at `when`: FStudyCount + 1 (a
    // count of 0 or less, or none, becomes 1) and FLastTime := when, in one
    // transaction. On failure nothing changes, "保存学习记录失败！" is shown
    // through ShowError and the result is false.
    bool RecordStudy(int contentId, const QDateTime& when);

    // A lesson whose next review is due.
    struct DueLesson {
        int contentId = 0;
        int book = 0;
        int lesson = 0;
        QString title;  // FEnglish + FChinese
        int count = 0;
        double lastTime = 0;  // day counts
        double nextTime = 0;
    };
    // The lessons studied 1..5 times whose next review date is `now` or
    // earlier, the longest due first (then by content ID). nullopt when the
    // catalogue cannot be read; no message.
    std::optional<QVector<DueLesson>> DueLessons(const QDateTime& now) const;

signals:
    // A sentence of the open lesson moved from oldBegin..oldEnd to
    // newBegin..newEnd: for those that hold a sentence by its span.
    void SentenceTimesChanged(int oldBegin, int oldEnd, int newBegin, int newEnd);

private:
    void DataModuleCreate();
    void StampContentId(TLessonDataSet& dataSet) const;

    QString m_dataDir;
    SqliteConnection m_connection;
    int m_noteContentId = 0;  // the lesson adsNote and adsExplain were loaded for
    bool m_connected = false;
    bool m_terminate = false;
    bool m_phoneticFont = false;
};
