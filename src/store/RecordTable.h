// The logger window's record table: up to MAX_RECORDS loaded recordings, the newest being
// the current one until another is made current. It starts over at the 101st.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "store/QFConstants.h"
#include "store/StoredRecord.h"

namespace qf {

class CQFDoc;

inline constexpr int MAX_RECORDS = 100;

// The texts of one list row: "Set", "Time", "Sampling Rate", "Nums".
struct RecordRow {
    std::string set;
    std::string time;
    std::string rate;
    std::string nums;
};

class CRecordTable {
public:
    // Takes the document's current record in as the newest record. True when the table
    // started over: the list is emptied before the new row.
    bool ImportRecord(const CQFDoc& doc);

    // Makes record r the document's current record. False, with nothing changed, for no
    // such record.
    bool MakeRecordCurrent(int r, CQFDoc& doc) const;

    RecordRow Row(int r) const;
    const StoredRecord& Record(int r) const { return m_records.at(std::size_t(r)); }

    // Closing the window empties the table.
    void Clear() { m_nLastRecord = -1; }

    int m_nLastRecord = -1;  // the newest record; -1 for none

private:
    std::array<StoredRecord, MAX_RECORDS> m_records;
};

}  // namespace qf
