#pragma once

#include <QObject>

#include <functional>

class FollowReading;
class QAction;
class QMenu;
class QPushButton;
class QTableView;
class QWidget;
class SentenceReading;
class TLessonDataSet;

// The text reading page "课文精读": the sentence grid and its six buttons,
// built into the page container it is given. Reading and follow-reading are
// the controllers' work; the page turns clicks into their calls, keeps the
// captions and enabled states in step with them, and ends both when the page
// is left.
//
// GUI thread only. Handlers report errors through the application's error box.
class TSenPage final : public QObject {
    Q_OBJECT
public:
    struct Links {
        TLessonDataSet& sentences;
        SentenceReading& reading;
        FollowReading& follow;
        std::function<void()> openSenWrite;  // the sentence dictation exercise
        std::function<void()> openExplain;   // the explanation page
        std::function<void()> editSentenceTime;  // the time editor on the current sentence
    };

    TSenPage(QWidget* tsSen, Links links);

    void btnSpeakSenClick();
    void btnSenSpeakRuningClick();
    void btnSenFellowClick();
    void btnFellowPlayClick();
    void btnSenTestClick();
    void btnNoteClick();
    void grdSenCellClick();
    void tsSenHide();
    void EnableSentenceControls(bool enabled);
    // "调整句子时间…": ends reading and a take as leaving the page does, then
    // opens the time editor on the current sentence.
    void miSenTimeClick();
    // The grid's context menu at `position` (viewport coordinates): the row
    // there becomes current, unread.
    void grdSenContextMenu(const QPoint& position);

    QWidget* const tsSen;
    QTableView* grdSen;
    QPushButton* btnSpeakSen;
    QPushButton* btnSenSpeakRuning;
    QPushButton* btnSenFellow;
    QPushButton* btnFellowPlay;
    QPushButton* btnSenTest;
    QPushButton* btnNote;
    QMenu* pmSen;
    QAction* miGridSenTime;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateButtons();

    Links m_links;
};
