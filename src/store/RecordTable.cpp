#include "store/RecordTable.h"

#include "store/CQFDoc.h"
#include "store/ValueText.h"

namespace qf {

bool CRecordTable::ImportRecord(const CQFDoc& doc) {
    const bool startOver = m_nLastRecord >= MAX_RECORDS - 1;
    m_nLastRecord = startOver ? 0 : m_nLastRecord + 1;
    m_records[std::size_t(m_nLastRecord)] = doc.m_file;
    return startOver;
}

bool CRecordTable::MakeRecordCurrent(int index, CQFDoc& doc) const {
    if (index < 0 || index > m_nLastRecord) {
        return false;
    }
    doc.m_file = m_records[std::size_t(index)];
    return true;
}

RecordRow CRecordTable::Row(int index) const {
    const StoredRecord& r = Record(index);
    RecordRow row;
    row.set = Format("%d", index + 1);
    std::tm parts{};
    if (localtime_r(&r.start, &parts) != nullptr) {
        char text[64];
        row.time.assign(text, std::strftime(text, sizeof text, "%d/%m/%y %H:%M:%S", &parts));
    }
    row.rate = Format("%dsec", r.intervalSec);
    row.nums = Format("%d", r.count);
    return row;
}

}  // namespace qf
