#pragma once

#include "data/StudyVisit.h"

#include <QObject>

class TMainForm;

// The study record on the main window: the values of the lesson-information
// panel, the information box of "查看课程学习情况", and the visit of the open
// lesson, fed with every span the lesson audio plays to its end. When a visit
// has heard every sentence, the study is written from the event loop (not
// inside the end that completed it) and the panel shows the new values.
//
// Create it once the window's header labels and lesson audio exist. GUI
// thread only.
class TLessonInfo final : public QObject {
    Q_OBJECT
public:
    explicit TLessonInfo(TMainForm& form);

    // A lesson was opened: a new visit, and the panel shows its values.
    void LessonOpened();
    // Reads the open lesson's values into the panel's three labels.
    void ShowStudyInfo();
    // The three values in an information box.
    void ShowStudyInfoBox();

    StudyVisit& Visit() { return m_visit; }

private:
    void SpanHeard(int beginMs, int endMs);

    TMainForm& m_form;
    StudyVisit m_visit;
};
