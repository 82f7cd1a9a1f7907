// The logger window's record table: up to MAX_RECORDS loaded recordings, the newest being
// the current one until another is made current. It starts over at the 101st.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "store/QFConstants.h"

namespace qf {

class CQFDoc;
struct FileViewState;

inline constexpr int MAX_RECORDS = 100;

struct LoggerRecord {
    int m_nCount = 0;
    std::vector<float> m_samples;  // m_nCount x NUM_CHANNELS, sample-major, bit for bit
    std::time_t m_tmStart = 0;
    int m_nIntervalSec = 0;
    std::uint8_t m_nTempUnit = 0;
    float m_fSpeedFactor = 1.0f;
    std::string m_strTempUnit;
    std::string m_strSpeedUnit;
    int m_nYGain = 10;
    int m_nYOffset = 0;
};

// The texts of one list row: "Set", "Time", "Sampling Rate", "Nums".
struct RecordRow {
    std::string set;
    std::string time;
    std::string rate;
    std::string nums;
};

class CRecordTable {
public:
    // Takes the document's file area in as the newest record and makes its start the
    // document's m_tmFileStart. True when the table started over: the list is emptied
    // before the new row.
    bool ImportRecord(CQFDoc& doc, const FileViewState& file);

    // Copies record r into the document's file area and the view's Y scale; the separate
    // date and time fields stay. False, with nothing changed, for no such record.
    bool MakeRecordCurrent(int r, CQFDoc& doc, FileViewState& file) const;

    RecordRow Row(int r) const;
    const LoggerRecord& Record(int r) const { return m_records.at(std::size_t(r)); }

    // Closing the window empties the table.
    void Clear() { m_nLastRecord = -1; }

    int m_nLastRecord = -1;  // the newest record; -1 for none

private:
    std::array<LoggerRecord, MAX_RECORDS> m_records;
};

}  // namespace qf
