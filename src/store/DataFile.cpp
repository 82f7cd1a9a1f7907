#include "store/DataFile.h"

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>
#include <vector>

#include "store/ByteOrder.h"
#include "store/RegularFile.h"

namespace qf {

namespace {

constexpr std::uint8_t SHORT_LENGTH_LIMIT = 0xFF;  // lengths below fit in one byte
constexpr std::uint16_t WIDE_MARKER = 0xFFFE;      // after 0xFF: 16-bit characters follow
constexpr std::uint16_t LONG_MARKER = 0xFFFF;      // after 0xFF: a 32-bit length follows
constexpr int SAMPLE_BYTES = NUM_CHANNELS * 4;

void PutU8(std::string& out, std::uint8_t v) {
    out.push_back(static_cast<char>(v));
}

void PutU16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void PutU32(std::string& out, std::uint32_t v) {
    std::uint8_t b[4];
    WriteU32LE(b, v);
    out.append(reinterpret_cast<const char*>(b), 4);
}

void PutI32(std::string& out, int v) {
    PutU32(out, static_cast<std::uint32_t>(v));
}

void PutF32(std::string& out, float v) {
    PutU32(out, std::bit_cast<std::uint32_t>(v));
}

class SpanSource {
public:
    explicit SpanSource(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::size_t Take(void* dst, std::size_t n) {
        const std::size_t k = std::min(n, m_bytes.size() - m_pos);
        if (k > 0) {
            std::memcpy(dst, m_bytes.data() + m_pos, k);
        }
        m_pos += k;
        return k;
    }

    std::size_t Remaining() const { return m_bytes.size() - m_pos; }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
};

class FileSource {
public:
    FileSource(std::FILE* file, std::size_t size) : m_file(file), m_size(size) {}

    std::size_t Take(void* dst, std::size_t n) {
        const std::size_t k = std::fread(dst, 1, n, m_file);
        m_pos += k;
        return k;
    }

    // By the size at opening: a length prefix is never believed beyond the file.
    std::size_t Remaining() const { return m_size > m_pos ? m_size - m_pos : 0; }

private:
    std::FILE* m_file;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

enum class StringRead { Ok, Short, Wide, TooLong };

template <class Source>
class Parser {
public:
    explicit Parser(Source& source) : m_source(source) {}

    bool Bytes(void* dst, std::size_t n) { return m_source.Take(dst, n) == n; }

    bool U8(std::uint8_t& v) { return Bytes(&v, 1); }

    bool U16(std::uint16_t& v) {
        std::uint8_t b[2];
        if (!Bytes(b, 2)) {
            return false;
        }
        v = static_cast<std::uint16_t>(b[0] | b[1] << 8);
        return true;
    }

    bool U32(std::uint32_t& v) {
        std::uint8_t b[4];
        if (!Bytes(b, 4)) {
            return false;
        }
        v = ReadU32LE(b);
        return true;
    }

    bool I32(int& v) {
        std::uint32_t u;
        if (!U32(u)) {
            return false;
        }
        v = static_cast<std::int32_t>(u);
        return true;
    }

    bool F32(float& v) {
        std::uint32_t u;
        if (!U32(u)) {
            return false;
        }
        v = std::bit_cast<float>(u);
        return true;
    }

    // The target keeps its old text unless the whole string was read.
    StringRead String(std::string& target) {
        std::uint8_t b;
        if (!U8(b)) {
            return StringRead::Short;
        }
        std::uint32_t length = b;
        if (b == SHORT_LENGTH_LIMIT) {
            std::uint16_t w;
            if (!U16(w)) {
                return StringRead::Short;
            }
            if (w == WIDE_MARKER) {
                return StringRead::Wide;
            }
            length = w;
            if (w == LONG_MARKER && !U32(length)) {
                return StringRead::Short;
            }
        }
        if (length > m_source.Remaining()) {
            return StringRead::Short;
        }
        if (length > MAX_DATA_FILE_TEXT) {
            return StringRead::TooLong;
        }
        std::string text(length, '\0');
        if (!Bytes(text.data(), length)) {
            return StringRead::Short;
        }
        target = std::move(text);
        return StringRead::Ok;
    }

private:
    Source& m_source;
};

DataFileStatus StringStatus(StringRead r) {
    switch (r) {
        case StringRead::Wide:
            return DataFileStatus::WideString;
        case StringRead::TooLong:
            return DataFileStatus::TextTooLong;
        default:
            return DataFileStatus::Truncated;
    }
}

template <class Source>
DataFileStatus Decode(Source& source, CQFDoc& doc, FileViewState& view) {
    Parser<Source> in(source);

    const StringRead sig = in.String(doc.m_strReadSignature);
    // A file too short to hold its signature is not a data file either.
    const bool unread = sig != StringRead::Ok;
    if (unread) {
        // Not our format; forget the old signature so that nobody takes it for this file's.
        doc.m_strReadSignature.clear();
    }
    if (unread || doc.m_strReadSignature != DATA_FILE_SIGNATURE) {
        view.m_bFileData = false;
        view.m_bFileDataNew = false;
        return DataFileStatus::InvalidFormat;
    }
    view.m_bFileData = true;
    view.m_bFileDataNew = true;

    int count;
    if (!in.I32(count)) {
        return DataFileStatus::Truncated;
    }
    if (count < 0 || count > MAX_SAMPLES) {
        // The area cannot hold it, and the logger must not take a record of this file.
        view.m_bFileData = false;
        view.m_bFileDataNew = false;
        return DataFileStatus::BadCount;
    }
    StoredRecord& r = doc.m_file;
    r.count = count;

    // Samples lie in the file in the order of the area, five floats each; only whole
    // floats are stored, as they would be one by one.
    const std::size_t sampleBytes = static_cast<std::size_t>(count) * SAMPLE_BYTES;
    std::vector<std::uint8_t> block(sampleBytes);
    const std::size_t got = source.Take(block.data(), sampleBytes);
    StoredSample missing;
    missing.fill(NO_VALUE);
    r.samples.resize(static_cast<std::size_t>(count), missing);
    float* area = r.samples.empty() ? nullptr : r.samples.front().data();
    static_assert(sizeof(StoredSample) == SAMPLE_BYTES);
    for (std::size_t k = 0; k < got / 4; ++k) {
        area[k] = std::bit_cast<float>(ReadU32LE(block.data() + 4 * k));
    }
    if (got < sampleBytes) {
        return DataFileStatus::Truncated;
    }

    StartFields& when = r.startFields;
    if (!in.U8(r.tempUnit) || !in.U8(r.speedUnit) || !in.I32(when.year) || !in.I32(when.month) ||
        !in.I32(when.day) || !in.I32(when.hour) || !in.I32(when.minute) || !in.I32(when.second)) {
        return DataFileStatus::Truncated;
    }
    r.start = StartTime(when);
    if (!in.I32(r.intervalSec) || !in.F32(r.speedFactor)) {
        return DataFileStatus::Truncated;
    }
    StringRead text = in.String(r.tempUnitText);
    if (text == StringRead::Ok) {
        text = in.String(r.speedUnitText);
    }
    if (text != StringRead::Ok) {
        return StringStatus(text);
    }
    if (!in.I32(r.yGain) || !in.I32(r.yOffset)) {
        return DataFileStatus::Truncated;
    }
    return DataFileStatus::Ok;
}

}  // namespace

const char* DataFileStatusText(DataFileStatus status) {
    switch (status) {
        case DataFileStatus::Ok:
            return "ok";
        case DataFileStatus::CannotOpen:
            return "cannot open the file";
        case DataFileStatus::ReadFailed:
            return "the file could not be read";
        case DataFileStatus::InvalidFormat:
            return "Invalid Format! (the signature is not QF7720)";
        case DataFileStatus::BadCount:
            return "Invalid Format! (sample count outside 0..6000)";
        case DataFileStatus::Truncated:
            return "the file ends early";
        case DataFileStatus::WideString:
            return "a 16-bit-character string is not supported";
        case DataFileStatus::TextTooLong:
            static_assert(MAX_DATA_FILE_TEXT == 65536);
            return "a unit text is longer than 65536 bytes";
    }
    return "unknown error";
}

void AppendDataFileString(std::string& out, std::string_view text) {
    // No length form goes beyond 32 bits; a longer text is cut so the file stays readable.
    const std::size_t length =
        std::min<std::size_t>(text.size(), std::numeric_limits<std::uint32_t>::max());
    if (length < SHORT_LENGTH_LIMIT) {
        PutU8(out, static_cast<std::uint8_t>(length));
    } else if (length < WIDE_MARKER) {
        PutU8(out, SHORT_LENGTH_LIMIT);
        PutU16(out, static_cast<std::uint16_t>(length));
    } else {
        PutU8(out, SHORT_LENGTH_LIMIT);
        PutU16(out, LONG_MARKER);
        PutU32(out, static_cast<std::uint32_t>(length));
    }
    out.append(text.data(), length);
}

std::string EncodeDataFile(CQFDoc& doc, const RecordingState& live, const DisplayUnits& u,
                           int yGain, int yOffset) {
    const int count = std::clamp(live.m_nSampleIndex, 0, MAX_SAMPLES);

    std::string out;
    out.reserve(64 + static_cast<std::size_t>(count) * SAMPLE_BYTES + u.m_strTempUnit.size() +
                u.m_strSpeedUnit.size());

    doc.m_strSignature = DATA_FILE_SIGNATURE;
    AppendDataFileString(out, doc.m_strSignature);
    PutI32(out, count);

    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(count) * SAMPLE_BYTES);
    auto* p = reinterpret_cast<std::uint8_t*>(out.data() + start);
    for (int i = 0; i < count; ++i) {
        for (int c = 0; c < NUM_CHANNELS; ++c, p += 4) {
            WriteFloatLE(p, doc.m_liveSamples[c][i]);
        }
    }

    PutU8(out, static_cast<std::uint8_t>(u.m_nTempUnit));
    PutU8(out, static_cast<std::uint8_t>(u.m_nSpeedUnit));

    // A start beyond the calendar's range is written as all six fields 0.
    std::tm t{};
    const bool known = localtime_r(&live.m_tmStart, &t) != nullptr;
    for (const int field :
         {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec}) {
        PutI32(out, known ? field : 0);
    }
    PutI32(out, live.m_nIntervalMs / 1000);
    PutF32(out, u.m_fSpeedFactor);
    AppendDataFileString(out, u.m_strTempUnit);
    AppendDataFileString(out, u.m_strSpeedUnit);
    PutI32(out, yGain);
    PutI32(out, yOffset);
    return out;
}

DataFileStatus DecodeDataFile(std::span<const std::uint8_t> bytes, CQFDoc& doc,
                              FileViewState& view) {
    SpanSource source(bytes);
    return Decode(source, doc, view);
}

DataFileStatus ReadDataFile(const std::string& path, CQFDoc& doc, FileViewState& view) {
    struct stat info {};
    int error = 0;
    const int fd = OpenRegularFile(path, info, error);
    if (fd < 0) {
        return DataFileStatus::CannotOpen;
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        return DataFileStatus::CannotOpen;
    }
    FileSource source(file, static_cast<std::size_t>(info.st_size));
    DataFileStatus status = Decode(source, doc, view);
    // Whatever ended the read early, a read error is told as one.
    if ((status == DataFileStatus::Truncated || status == DataFileStatus::InvalidFormat) &&
        std::ferror(file)) {
        status = DataFileStatus::ReadFailed;
    }
    std::fclose(file);
    return status;
}

int DataFileOpenError(const std::string& path) {
    return RegularFileError(path);
}

}  // namespace qf
