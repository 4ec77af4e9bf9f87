#pragma once
#include <QDate>
#include <cstdint>
#include <vector>

class TRegisterConnection;
class TRecordDateReader;

// Records whose record date lies before a day, for deleting old visits.
struct TOldRecords {
    std::vector<std::int64_t> ids; // 编号 of the records dated before the day
    std::int64_t unreadable = 0;   // records kept because their date could not be read
};

// Reads every record's date; raises EDatabaseError.
TOldRecords FindRecordsBefore(TRegisterConnection& connection, const QDate& day, const TRecordDateReader& reader);

// Deletes exactly these records in one transaction: all of them, or on any
// failure none (the engine's message is raised as EDatabaseError).
void DeleteRecords(TRegisterConnection& connection, const std::vector<std::int64_t>& ids);
