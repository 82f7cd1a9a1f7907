#include "store/RecordTable.h"

#include <algorithm>

#include "store/CQFDoc.h"
#include "store/FileViewState.h"
#include "store/ValueText.h"

namespace qf {

bool CRecordTable::ImportRecord(CQFDoc& doc, const FileViewState& file) {
    const bool startOver = m_nLastRecord >= MAX_RECORDS - 1;
    m_nLastRecord = startOver ? 0 : m_nLastRecord + 1;
    LoggerRecord& r = m_records[std::size_t(m_nLastRecord)];
    r.m_nCount = std::clamp(doc.m_nFileCount, 0, MAX_SAMPLES);
    const float* first = &doc.m_fileSamples[0][0];
    r.m_samples.assign(first, first + std::size_t(r.m_nCount) * NUM_CHANNELS);
    r.m_tmStart = doc.FileStartFields();
    r.m_nIntervalSec = doc.m_nFileIntervalSec;
    r.m_nTempUnit = doc.m_nFileTempUnit;
    r.m_fSpeedFactor = doc.m_fFileSpeedFactor;
    r.m_strTempUnit = doc.m_strFileTempUnit;
    r.m_strSpeedUnit = doc.m_strFileSpeedUnit;
    r.m_nYGain = file.m_nFileYGain;
    r.m_nYOffset = file.m_nFileYOffset;
    doc.m_tmFileStart = r.m_tmStart;
    return startOver;
}

bool CRecordTable::MakeRecordCurrent(int index, CQFDoc& doc, FileViewState& file) const {
    if (index < 0 || index > m_nLastRecord) {
        return false;
    }
    const LoggerRecord& r = m_records[std::size_t(index)];
    doc.m_nFileCount = r.m_nCount;
    std::copy(r.m_samples.begin(), r.m_samples.end(), &doc.m_fileSamples[0][0]);
    doc.m_nFileTempUnit = r.m_nTempUnit;
    doc.m_tmFileStart = r.m_tmStart;
    doc.m_nFileIntervalSec = r.m_nIntervalSec;
    doc.m_fFileSpeedFactor = r.m_fSpeedFactor;
    doc.m_strFileTempUnit = r.m_strTempUnit;
    doc.m_strFileSpeedUnit = r.m_strSpeedUnit;
    file.m_nFileYGain = r.m_nYGain;
    file.m_nFileYOffset = r.m_nYOffset;
    return true;
}

RecordRow CRecordTable::Row(int index) const {
    const LoggerRecord& r = Record(index);
    RecordRow row;
    row.set = Format("%d", index + 1);
    std::tm parts{};
    if (localtime_r(&r.m_tmStart, &parts) != nullptr) {
        char text[64];
        row.time.assign(text, std::strftime(text, sizeof text, "%d/%m/%y %H:%M:%S", &parts));
    }
    row.rate = Format("%dsec", r.m_nIntervalSec);
    row.nums = Format("%d", r.m_nCount);
    return row;
}

}  // namespace qf
