#pragma once

class TDM;

// Opens the lesson a lesson dialog chose, by content ID (0: none chosen).
// A lesson that cannot be opened is reported as a damaged database. True
// when the lesson is open. GUI thread only.
bool OpenChosenLesson(TDM& dm, int contentID);
