#include "store/DataFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <bit>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "helpers/TempDir.h"
#include "helpers/TestLive.h"

namespace {

using qf::CQFDoc;
using qf::DataFileStatus;
using qf::FileViewState;
using qftest::TestLive;

const std::string FIXTURES = QF_SOURCE_DIR "/tests/fuzz/corpus/datafile/";

void UseTimeZone(const char* tz) {
    setenv("TZ", tz, 1);
    tzset();
}

std::string Bytes(std::initializer_list<int> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::span<const std::uint8_t> Span(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

std::uint32_t Bits(float f) {
    return std::bit_cast<std::uint32_t>(f);
}

qftest::TestLive CelsiusMetres(int count) {
    qftest::TestLive live;
    live.units = {0, "C", 0, "m/s", 1.0f};
    live.m_nSampleIndex = count;
    live.m_tmStart = 1388485230;  // 31 December 2013 10:20:30 UTC
    live.m_nIntervalMs = 2500;    // cut to 2 s
    return live;
}

// A file area holding values no test file holds.
std::unique_ptr<CQFDoc> OldDoc(FileViewState& view) {
    auto doc = std::make_unique<CQFDoc>();
    qf::StoredRecord& r = doc->m_file;
    r.count = 77;
    r.samples.assign(77, {7.0f, 7.0f, 7.0f, 7.0f, 7.0f});
    r.tempUnit = r.speedUnit = 9;
    r.startFields = {-7, -7, -7, -7, -7, -7};
    r.intervalSec = -7;
    r.speedFactor = -7.0f;
    r.tempUnitText = r.speedUnitText = "old";
    r.yGain = r.yOffset = -7;
    doc->m_strReadSignature = "OLD";
    view = FileViewState{};
    return doc;
}

// Every destination of a file field, in file order, as comparable text.
std::vector<std::string> Fields(const CQFDoc& d, const FileViewState& v, int samples) {
    const qf::StoredRecord& r = d.m_file;
    std::vector<std::string> f = {
        d.m_strReadSignature + (v.m_bFileData ? "+" : "-") + (v.m_bFileDataNew ? "+" : "-"),
        std::to_string(r.count)};
    for (int i = 0; i < std::min(samples, int(r.samples.size())); ++i) {
        for (const float value : r.samples[std::size_t(i)]) {
            f.push_back(std::to_string(Bits(value)));
        }
    }
    const qf::StartFields& t = r.startFields;
    for (int n : {int(r.tempUnit), int(r.speedUnit), t.year, t.month, t.day, t.hour, t.minute,
                  t.second, r.intervalSec, int(Bits(r.speedFactor))}) {
        f.push_back(std::to_string(n));
    }
    f.insert(f.end(),
             {r.tempUnitText, r.speedUnitText, std::to_string(r.yGain), std::to_string(r.yOffset)});
    return f;
}

TEST(DataFileWriter, writesTheExactLayoutForNoSampleOneSampleAndNoUnits) {
    UseTimeZone("UTC0");
    auto doc = std::make_unique<CQFDoc>();
    const float sample[] = {23.5f, qf::NO_VALUE, 1.25f, 0.0f, -0.0f};
    for (int c = 0; c < qf::NUM_CHANNELS; ++c) {
        doc->m_liveSamples[c][0] = sample[c];
    }
    const std::string signature = Bytes({6, 'Q', 'F', '7', '7', '2', '0'});
    const std::string middle =
        Bytes({0xDD, 0x07, 0, 0, 12, 0, 0, 0, 31, 0, 0, 0, 10, 0, 0,    0,
               20,   0,    0, 0, 30, 0, 0, 0, 2,  0, 0, 0, 0,  0, 0x80, 0x3F});
    const std::string scale = Bytes({10, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF});  // 10, -2
    const std::string texts = Bytes({1, 'C', 3, 'm', '/', 's'});

    EXPECT_EQ(qftest::Encode(*doc, CelsiusMetres(0), 10, -2),
              signature + Bytes({0, 0, 0, 0, 0, 0}) + middle + texts + scale);
    EXPECT_EQ(doc->m_strSignature, "QF7720");
    EXPECT_EQ(qftest::Encode(*doc, CelsiusMetres(1), 10, -2),
              signature + Bytes({1, 0, 0, 0}) +
                  Bytes({0,    0, 0xBC, 0x41, 0, 0xA0, 0x0C, 0xC6, 0,    0, 0xA0,
                         0x3F, 0, 0,    0,    0, 0,    0,    0,    0x80, 0, 0}) +
                  middle + texts + scale);
    qftest::TestLive noUnits = CelsiusMetres(0);
    noUnits.units = qf::DisplayUnits{};  // before any frame: unit 10, factor 1, no texts
    EXPECT_EQ(qftest::Encode(*doc, noUnits, 10, -2),
              signature + Bytes({0, 0, 0, 0, 0, 10}) + middle + Bytes({0, 0}) + scale);
}

TEST(DataFileWriter, sampleCountStaysWithinTheArea) {
    auto doc = std::make_unique<CQFDoc>();
    for (const auto& [index, written] : {std::pair{-3, 0}, {6000, 6000}, {7000, 6000}}) {
        const std::string bytes = qftest::Encode(*doc, CelsiusMetres(index), 10, 0);
        EXPECT_EQ(bytes.size(), 59u + 20u * written) << index;
        EXPECT_EQ(bytes.substr(7, 4), std::string(reinterpret_cast<const char*>(&written), 4));
    }
}

TEST(DataFileString, lengthPrefixHasOneThreeOrSevenBytesAndReadsBack) {
    const std::pair<std::size_t, std::string> cases[] = {
        {0, Bytes({0x00})},
        {254, Bytes({0xFE})},
        {255, Bytes({0xFF, 0xFF, 0x00})},
        {65533, Bytes({0xFF, 0xFD, 0xFF})},
        {65534, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
        {65535, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00})},
    };
    auto doc = std::make_unique<CQFDoc>();
    for (const auto& [length, prefix] : cases) {
        std::string out;
        qf::AppendDataFileString(out, std::string(length, 't'));
        EXPECT_EQ(out, prefix + std::string(length, 't')) << length;

        qftest::TestLive live = CelsiusMetres(0);
        live.units.m_strTempUnit = std::string(length, 't');
        live.units.m_strSpeedUnit = std::string(length, 's');
        FileViewState view;
        ASSERT_EQ(qf::DecodeDataFile(Span(qftest::Encode(*doc, live, 10, 0)), *doc, view),
                  DataFileStatus::Ok);
        EXPECT_EQ(doc->m_file.tempUnitText, live.units.m_strTempUnit);
        EXPECT_EQ(doc->m_file.speedUnitText, live.units.m_strSpeedUnit);
    }
}

TEST(DataFileRoundTrip, everyFieldComesBackBitForBit) {
    UseTimeZone("CET-1CEST,M3.5.0,M10.5.0/3");
    auto doc = std::make_unique<CQFDoc>();
    // NaNs with payloads, an infinity, -0.0, the smallest subnormal and NO_VALUE.
    const std::uint32_t oddBits[] = {0x7FC00001u, 0xFFA00005u, 0x7F800000u,
                                     0x80000000u, 0x00000001u, Bits(qf::NO_VALUE)};
    for (int c = 0; c < qf::NUM_CHANNELS; ++c) {
        for (int i = 0; i < qf::RECORD_LIMIT; ++i) {
            doc->m_liveSamples[c][i] = std::bit_cast<float>(
                i % 10 < 6 ? oddBits[i % 10] : 0x3F800000u + std::uint32_t(i * 37 + c));
        }
    }
    qftest::TestLive live;
    live.units = {1, "F", 1, "ft/min", 196.87f};
    live.m_nSampleIndex = qf::RECORD_LIMIT;
    live.m_tmStart = 1372680000;  // 1 July 2013 12:00 UTC, 14:00 summer time
    live.m_nIntervalMs = 60000;
    FileViewState view;
    ASSERT_EQ(qf::DecodeDataFile(Span(qftest::Encode(*doc, live, 1000, 5)), *doc, view),
              DataFileStatus::Ok);

    int mismatches = 0;
    for (int i = 0; i < qf::RECORD_LIMIT; ++i) {
        for (int c = 0; c < qf::NUM_CHANNELS; ++c) {
            mismatches += Bits(doc->m_file.samples[i][c]) != Bits(doc->m_liveSamples[c][i]);
        }
    }
    EXPECT_EQ(mismatches, 0);
    const std::vector<std::string> header = {"QF7720++", "5000"};
    const std::vector<std::string> trailer = {
        "1", "1",      "2013", "7", "1", "14", "0", "0", "60", std::to_string(Bits(196.87f)),
        "F", "ft/min", "1000", "5"};
    std::vector<std::string> fields = Fields(*doc, view, 0);
    EXPECT_EQ(std::vector(fields.begin(), fields.begin() + 2), header);
    EXPECT_EQ(std::vector(fields.begin() + 2, fields.end()), trailer);
}

TEST(DataFileReader, wrongSignatureChangesOnlyTheReadSignature) {
    auto blank = std::make_unique<CQFDoc>();
    const std::string rest = qftest::Encode(*blank, CelsiusMetres(1), 10, 0).substr(7);
    const std::pair<std::string, std::string> cases[] = {
        {Bytes({6, 'q', 'f', '7', '7', '2', '0'}), "qf7720"},
        {Bytes({6, 'Q', 'F', '7', '7', '2', '1'}), "QF7721"},
        {Bytes({5, 'Q', 'F', '7', '7', '2'}), "QF772"},
        {Bytes({7, 'Q', 'F', '7', '7', '2', '0', ' '}), "QF7720 "},
        // 16-bit characters are refused even when they spell the signature.
        {Bytes({0xFF, 0xFE, 0xFF, 6, 'Q', 0, 'F', 0, '7', 0, '7', 0, '2', 0, '0', 0}), ""},
    };
    for (const auto& [signature, read] : cases) {
        FileViewState view;
        auto doc = OldDoc(view);
        view.m_bFileData = view.m_bFileDataNew = true;
        std::vector<std::string> expected = Fields(*doc, view, qf::MAX_SAMPLES);
        expected[0] = read + "--";
        EXPECT_EQ(qf::DecodeDataFile(Span(signature + rest), *doc, view),
                  DataFileStatus::InvalidFormat);
        EXPECT_EQ(Fields(*doc, view, qf::MAX_SAMPLES), expected) << read;
    }
    EXPECT_TRUE(qf::ShowsInvalidFormat(DataFileStatus::InvalidFormat));
}

TEST(DataFileReader, countOutsideTheAreaIsRefusedWithoutTouchingTheArea) {
    auto blank = std::make_unique<CQFDoc>();
    for (const int count : {-1, 6001, INT_MAX, INT_MIN}) {
        std::string bytes = qftest::Encode(*blank, CelsiusMetres(10), 10, 0);
        std::memcpy(bytes.data() + 7, &count, 4);
        FileViewState view;
        auto doc = OldDoc(view);
        std::vector<std::string> expected = Fields(*doc, view, qf::MAX_SAMPLES);
        expected[0] = "QF7720--";
        EXPECT_EQ(qf::DecodeDataFile(Span(bytes), *doc, view), DataFileStatus::BadCount);
        EXPECT_EQ(Fields(*doc, view, qf::MAX_SAMPLES), expected) << count;
    }
    EXPECT_TRUE(qf::ShowsInvalidFormat(DataFileStatus::BadCount));
}

// A file cut anywhere after its signature keeps exactly the fields that ended before the
// cut, as a reader storing them one by one would, and the flags set by the signature.
TEST(DataFileReader, truncatedFileKeepsExactlyTheFieldsReadBeforeTheCut) {
    auto doc = std::make_unique<CQFDoc>();
    for (int c = 0; c < qf::NUM_CHANNELS; ++c) {
        doc->m_liveSamples[c][0] = 1.0f + c;
        doc->m_liveSamples[c][1] = 10.0f + c;
    }
    const std::string bytes = qftest::Encode(*doc, CelsiusMetres(2), 20, 3);
    std::vector<std::size_t> ends = {7, 11};
    for (std::size_t k = 1; k <= 10; ++k) {
        ends.push_back(11 + 4 * k);
    }
    ends.insert(ends.end(), {52, 53, 57, 61, 65, 69, 73, 77, 81, 85, 87, 91, 95, 99});
    ASSERT_EQ(ends.back(), bytes.size());

    FileViewState view;
    ASSERT_EQ(qf::DecodeDataFile(Span(bytes), *doc, view), DataFileStatus::Ok);
    const std::vector<std::string> fresh = Fields(*doc, view, 2);
    const std::vector<std::string> old = Fields(*OldDoc(view), view, 2);
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        auto got = OldDoc(view);
        // Cut within the signature: no data file at all, as a wrong signature.
        const bool noSignature = cut < ends[0];
        EXPECT_EQ(qf::DecodeDataFile(Span(bytes.substr(0, cut)), *got, view),
                  noSignature ? DataFileStatus::InvalidFormat : DataFileStatus::Truncated);
        const std::vector<std::string> fields = Fields(*got, view, 2);
        for (std::size_t k = 0; k < ends.size(); ++k) {
            const std::string before = k == 0 && noSignature ? "--" : old[k];
            EXPECT_EQ(fields[k], ends[k] <= cut ? fresh[k] : before) << "cut " << cut;
        }
    }
}

TEST(DataFileReader, sixteenBitUnitTextIsRefusedAfterTheFieldsBeforeIt) {
    FileViewState view;
    auto doc = OldDoc(view);
    EXPECT_EQ(qf::DecodeDataFile(Span(qftest::ReadAll(FIXTURES + "wide-unit-text")), *doc, view),
              DataFileStatus::WideString);
    EXPECT_FALSE(qf::ShowsInvalidFormat(DataFileStatus::WideString));
    EXPECT_EQ(doc->m_file.speedFactor, 1.0f);
    EXPECT_EQ(doc->m_file.tempUnitText, "old");
}

// valid-two-samples was written from the byte layout by a separate script, before this
// code existed. It must stay readable, and the writer must still produce it.
TEST(DataFileReader, frozenFixtureReadsAndIsWrittenAgainByteForByte) {
    UseTimeZone("UTC0");
    auto doc = std::make_unique<CQFDoc>();
    FileViewState view;
    ASSERT_EQ(qf::ReadDataFile(FIXTURES + "valid-two-samples", *doc, view), DataFileStatus::Ok);
    EXPECT_EQ(
        Fields(*doc, view, 0),
        (std::vector<std::string>{"QF7720++", "2", "0", "0", "2013", "12", "31", "10", "20", "30",
                                  "2", std::to_string(Bits(1.0f)), "C", "m/s", "10", "0"}));
    EXPECT_EQ(doc->m_file.samples[0][qf::CH_IRT], 24.06f);
    EXPECT_EQ(doc->m_file.samples[1][qf::CH_CMM], qf::NO_VALUE);

    for (int i = 0; i < 2; ++i) {
        for (int c = 0; c < qf::NUM_CHANNELS; ++c) {
            doc->m_liveSamples[c][i] = doc->m_file.samples[i][c];
        }
    }
    EXPECT_EQ(qftest::Encode(*doc, CelsiusMetres(2), 10, 0),
              qftest::ReadAll(FIXTURES + "valid-two-samples"));
}

// Nothing but a regular file is read: a FIFO without a writer would block for good, and
// a device never ends. Nothing of the file area changes.
TEST(DataFileReader, onlyARegularFileIsOpened) {
    qftest::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    std::filesystem::create_symlink(dir.file("fifo"), dir.file("link-to-fifo"));
    const struct {
        std::string path;
        int error;
    } cases[] = {
        {dir.file("absent.AsmDat"), ENOENT},
        {dir.file("absent/x.AsmDat"), ENOENT},
        {dir.path().string(), qf::NOT_REGULAR_FILE},
        {dir.file("fifo"), qf::NOT_REGULAR_FILE},
        {dir.file("link-to-fifo"), qf::NOT_REGULAR_FILE},
        {"/dev/null", qf::NOT_REGULAR_FILE},
    };
    FileViewState view;
    auto doc = OldDoc(view);
    const std::vector<std::string> before = Fields(*doc, view, qf::MAX_SAMPLES);
    for (const auto& c : cases) {
        EXPECT_EQ(qf::ReadDataFile(c.path, *doc, view), DataFileStatus::CannotOpen) << c.path;
        EXPECT_EQ(qf::DataFileOpenError(c.path), c.error) << c.path;
    }
    EXPECT_EQ(Fields(*doc, view, qf::MAX_SAMPLES), before);
    EXPECT_EQ(qf::FileErrorText(qf::NOT_REGULAR_FILE), "not a regular file");
    EXPECT_EQ(qf::FileErrorText(ENOENT), std::strerror(ENOENT));

    // A link to a data file is read like the file.
    std::filesystem::create_symlink(FIXTURES + "valid-two-samples", dir.file("link.AsmDat"));
    EXPECT_EQ(qf::ReadDataFile(dir.file("link.AsmDat"), *doc, view), DataFileStatus::Ok);
    EXPECT_EQ(qf::DataFileOpenError(dir.file("link.AsmDat")), 0);
}

// A length prefix is believed only as far as the file goes and up to MAX_DATA_FILE_TEXT;
// nothing is allocated for more. The target keeps its old text.
TEST(DataFileReader, aStringLengthIsBoundedByTheFileAndTheCap) {
    auto blank = std::make_unique<CQFDoc>();
    const std::string good = qftest::Encode(*blank, CelsiusMetres(0), 10, 0);
    const std::string head = good.substr(0, 45);  // up to the temperature unit text
    const std::string longForm = Bytes({0xFF, 0xFF, 0xFF});
    auto u32 = [](std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    const std::string overCap(qf::MAX_DATA_FILE_TEXT + 1, 'x');
    const std::string atCap(qf::MAX_DATA_FILE_TEXT, 'x');
    const std::string tail = Bytes({3, 'm', '/', 's', 10, 0, 0, 0, 0, 0, 0, 0});
    const struct {
        const char* name;
        std::string bytes;
        DataFileStatus status;
        const char* signature;  // m_strReadSignature afterwards
        const char* tempUnit;   // the record's tempUnitText afterwards
    } cases[] = {
        {"signature beyond the file", longForm + u32(0xFFFFFFFF) + std::string(100, 'Q'),
         DataFileStatus::InvalidFormat, "", "old"},
        {"signature beyond the cap", longForm + u32(overCap.size()) + overCap + good.substr(7),
         DataFileStatus::InvalidFormat, "", "old"},
        {"unit text beyond the file", head + longForm + u32(0xFFFFFFF0) + tail,
         DataFileStatus::Truncated, "QF7720", "old"},
        {"unit text beyond the cap", head + longForm + u32(overCap.size()) + overCap + tail,
         DataFileStatus::TextTooLong, "QF7720", "old"},
        {"unit text at the cap", head + longForm + u32(atCap.size()) + atCap + tail,
         DataFileStatus::Ok, "QF7720", atCap.c_str()},
    };
    qftest::TempDir dir;
    for (const auto& c : cases) {
        for (const bool fromFile : {false, true}) {
            FileViewState view;
            auto doc = OldDoc(view);
            qftest::WriteAll(dir.file("f"), c.bytes);
            const DataFileStatus status = fromFile ? qf::ReadDataFile(dir.file("f"), *doc, view)
                                                   : qf::DecodeDataFile(Span(c.bytes), *doc, view);
            EXPECT_EQ(status, c.status) << c.name << (fromFile ? " (file)" : "");
            EXPECT_EQ(doc->m_strReadSignature, c.signature) << c.name;
            EXPECT_EQ(doc->m_file.tempUnitText, c.tempUnit) << c.name;
        }
    }
}

// /proc/self/mem is a regular file that fails every read at offset 0.
TEST(DataFileReader, aReadErrorIsNotTakenForTheEndOfTheFile) {
    FileViewState view;
    auto doc = OldDoc(view);
    EXPECT_EQ(qf::ReadDataFile("/proc/self/mem", *doc, view), DataFileStatus::ReadFailed);
    EXPECT_FALSE(qf::ShowsInvalidFormat(DataFileStatus::ReadFailed));
}

}  // namespace
