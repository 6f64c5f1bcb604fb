#pragma once

#include <QStringList>

// "veltra-course show", "option" and "due": a built course as the program
// sees it, through the program's own data module. Main thread only.
int RunShow(QStringList args);
int RunOption(QStringList args);
int RunDue(QStringList args);

inline constexpr char kShowUsage[] =
    "  show DATA_DIR ID\n"
    "  show DATA_DIR --book B --lesson L\n"
    "      Opens a lesson of the course in DATA_DIR (the folder holding qor.db)\n"
    "      by content ID or by book and lesson number, as the program does, and\n"
    "      prints it as UTF-8, one record per line, fields separated by tabs:\n"
    "        title     TITLE\n"
    "        sentence  FID  BEGIN_MS  END_MS  ENGLISH  CHINESE\n"
    "        word      FID  ENGLISH  CHINESE  PHONETIC  INFO\n"
    "        explain   TEXT\n"
    "        note      TEXT          (one line per note row; none when empty)\n"
    "        study     COUNT  LAST  NEXT\n"
    "      Enciphered fields are printed decoded. In every field a backslash,\n"
    "      tab, carriage return and line feed are written as \\\\ \\t \\r \\n.\n"
    "      A lesson or data folder that cannot be opened prints the reason on\n"
    "      stderr and exits with 1.\n";

inline constexpr char kOptionUsage[] =
    "  option DATA_DIR NAME [VALUE]\n"
    "      Prints the stored option NAME as the program reads it (\"Error\" when\n"
    "      it is not stored), or stores VALUE under NAME. Names ignore case.\n";

inline constexpr char kDueUsage[] =
    "  due DATA_DIR\n"
    "      Prints the lessons whose next review is due now, the longest due\n"
    "      first, one per line as UTF-8, fields separated by tabs (escaped as\n"
    "      for show), times as yyyy/MM/dd HH:mm:\n"
    "        ID  BOOK  LESSON  TITLE  COUNT  LAST  NEXT\n"
    "      Nothing is printed when no lesson is due. A data folder whose\n"
    "      catalogue cannot be read prints the reason on stderr and exits with 1.\n";
