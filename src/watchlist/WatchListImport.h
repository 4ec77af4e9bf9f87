#pragma once
#include "watchlist/WatchEntry.h"

#include <QList>
#include <QStringList>

class TWatchMatcher;

// Why a line of an imported file was not taken.
enum class WatchSkipReason {
    NoName,        // 姓名 is empty
    ExtraColumns,  // text past the fourth column
    WrongIdentity, // an identity number whose check fails
    WrongMobile,   // a mobile with characters other than digits, blanks, -, +86
    AlreadyListed, // the identity number is on the list or earlier in the file
};

struct TWatchSkippedLine {
    int line = 0; // 1-based line of a .csv, row of a .xlsx
    WatchSkipReason reason{};
};

// What a file brings: the entries to add, the lines left out.
struct TWatchImportPlan {
    QList<TWatchEntry> entries;
    QList<TWatchSkippedLine> skipped;
};

// A file's rows with their line numbers.
struct TWatchFileRow {
    int line = 0;
    QStringList cells;
};

// The rows of a .xlsx (by its extension) or a .csv in UTF-8, with or without
// BOM, or GBK. Raises EVostrelError when the file cannot be read.
QList<TWatchFileRow> ReadWatchListFile(const QString& fileName);

// The rows of CSV text: fields split at commas, quoted fields may hold
// commas, quotes doubled and line breaks.
QList<TWatchFileRow> ParseCsvRows(const QString& text);

// Columns 姓名,身份证,手机,原因; a first line starting 姓名 is a header; blank
// lines are passed over. Cells are taken without surrounding blanks.
TWatchImportPlan PlanWatchListImport(const QList<TWatchFileRow>& rows, const TWatchMatcher& listed);
