#include "store/DataFile.h"

#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "helpers/TempDir.h"

namespace {

using qf::CQFDoc;
using qf::DataFileStatus;
using qf::FileViewState;
using qf::ViewLiveState;

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz) {
        if (const char* old = std::getenv("TZ")) {
            m_old = old;
            m_hadOld = true;
        }
        setenv("TZ", tz, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (m_hadOld) {
            setenv("TZ", m_old.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::string m_old;
    bool m_hadOld = false;
};

constexpr std::time_t START_2013_12_31_102030_UTC = 1388485230;

std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) {
        s.push_back(static_cast<char>(b));
    }
    return s;
}

std::span<const std::uint8_t> Span(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

ViewLiveState CelsiusMetres(int count) {
    ViewLiveState live;
    live.units.m_nTempUnit = 0;
    live.units.m_strTempUnit = "C";
    live.units.m_nSpeedUnit = 0;
    live.units.m_strSpeedUnit = "m/s";
    live.units.m_fSpeedFactor = 1.0f;
    live.m_nSampleIndex = count;
    live.m_tmStart = START_2013_12_31_102030_UTC;
    live.m_nIntervalMs = 2500;  // cut to 2 s
    return live;
}

// Fills the file area with values no test file holds.
void FillOld(CQFDoc& doc, FileViewState& view) {
    std::fill(&doc.m_fileSamples[0][0], &doc.m_fileSamples[0][0] + qf::MAX_SAMPLES * 5, 7.0f);
    doc.m_nFileCount = 77;
    doc.m_nFileTempUnit = 9;
    doc.m_nFileSpeedUnit = 9;
    doc.m_nFileYear = doc.m_nFileMonth = doc.m_nFileDay = -7;
    doc.m_nFileHour = doc.m_nFileMinute = doc.m_nFileSecond = -7;
    doc.m_nFileIntervalSec = -7;
    doc.m_fFileSpeedFactor = -7.0f;
    doc.m_strFileTempUnit = doc.m_strFileSpeedUnit = "old";
    doc.m_strReadSignature = "OLD";
    view = FileViewState{true, false, -7, -7};
}

bool SameFileArea(const CQFDoc& a, const CQFDoc& b) {
    return std::memcmp(a.m_fileSamples, b.m_fileSamples, sizeof a.m_fileSamples) == 0 &&
           a.m_nFileCount == b.m_nFileCount && a.m_nFileTempUnit == b.m_nFileTempUnit &&
           a.m_nFileSpeedUnit == b.m_nFileSpeedUnit && a.m_nFileYear == b.m_nFileYear &&
           a.m_nFileMonth == b.m_nFileMonth && a.m_nFileDay == b.m_nFileDay &&
           a.m_nFileHour == b.m_nFileHour && a.m_nFileMinute == b.m_nFileMinute &&
           a.m_nFileSecond == b.m_nFileSecond && a.m_nFileIntervalSec == b.m_nFileIntervalSec &&
           std::bit_cast<std::uint32_t>(a.m_fFileSpeedFactor) ==
               std::bit_cast<std::uint32_t>(b.m_fFileSpeedFactor) &&
           a.m_strFileTempUnit == b.m_strFileTempUnit &&
           a.m_strFileSpeedUnit == b.m_strFileSpeedUnit;
}

// Date, interval, factor, texts and Y scale of CelsiusMetres() with gain 10 and offset -2.
const std::string TRAILER_C_MS = Bytes({
    0x00, 0x00,              // Celsius, m/s
    0xDD, 0x07, 0, 0,        // 2013
    0x0C, 0, 0, 0,           // 12
    0x1F, 0, 0, 0,           // 31
    0x0A, 0, 0, 0,           // 10
    0x14, 0, 0, 0,           // 20
    0x1E, 0, 0, 0,           // 30
    0x02, 0, 0, 0,           // 2500 ms as 2 s
    0x00, 0x00, 0x80, 0x3F,  // 1.0f
    0x01, 'C',               //
    0x03, 'm', '/', 's',     //
    0x0A, 0, 0, 0,           // gain 10
    0xFE, 0xFF, 0xFF, 0xFF,  // offset -2
});
const std::string SIGNATURE_BYTES = Bytes({0x06, 'Q', 'F', '7', '7', '2', '0'});

TEST(DataFileWriter, writesTheExactLayoutForNoAndOneSample) {
    ScopedTimeZone tz("UTC0");
    auto doc = std::make_unique<CQFDoc>();
    doc->m_liveSamples[qf::CH_AIRT][0] = 23.5f;
    doc->m_liveSamples[qf::CH_IRT][0] = qf::NO_VALUE;
    doc->m_liveSamples[qf::CH_AIRV][0] = 1.25f;
    doc->m_liveSamples[qf::CH_CFM][0] = 0.0f;
    doc->m_liveSamples[qf::CH_CMM][0] = -0.0f;

    const std::string empty = qf::EncodeDataFile(*doc, CelsiusMetres(0), 10, -2);
    EXPECT_EQ(empty, SIGNATURE_BYTES + Bytes({0, 0, 0, 0}) + TRAILER_C_MS);
    EXPECT_EQ(empty.size(), 59u);
    EXPECT_EQ(doc->m_strSignature, "QF7720");

    const std::string one = qf::EncodeDataFile(*doc, CelsiusMetres(1), 10, -2);
    const std::string sample = Bytes({0x00, 0x00, 0xBC, 0x41, 0x00, 0xA0, 0x0C, 0xC6, 0x00, 0x00,
                                      0xA0, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80});
    EXPECT_EQ(one, SIGNATURE_BYTES + Bytes({1, 0, 0, 0}) + sample + TRAILER_C_MS);
    EXPECT_EQ(one.size(), 79u);
}

TEST(DataFileWriter, beforeAnyUnitWritesUnit10AndEmptyTexts) {
    ScopedTimeZone tz("UTC0");
    auto doc = std::make_unique<CQFDoc>();
    ViewLiveState live;  // as at start-up: speed unit 10, factor 1, no texts
    live.m_tmStart = START_2013_12_31_102030_UTC;
    const std::string bytes = qf::EncodeDataFile(*doc, live, 10, 0);
    ASSERT_EQ(bytes.size(), 55u);
    EXPECT_EQ(bytes.substr(11, 2), Bytes({0x00, 0x0A}));
    EXPECT_EQ(bytes.substr(41, 8), Bytes({0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x0A, 0x00}));
}

TEST(DataFileWriter, sampleCountStaysWithinTheArea) {
    auto doc = std::make_unique<CQFDoc>();
    struct Case {
        int index;
        int written;
    };
    for (const Case c : {Case{-3, 0}, Case{5000, 5000}, Case{6000, 6000}, Case{7000, 6000}}) {
        const std::string bytes = qf::EncodeDataFile(*doc, CelsiusMetres(c.index), 10, 0);
        EXPECT_EQ(bytes.size(), 59u + 20u * c.written) << c.index;
        int count;
        std::memcpy(&count, bytes.data() + 7, 4);
        EXPECT_EQ(count, c.written) << c.index;
    }
}

TEST(DataFileString, lengthPrefixHasOneThreeOrSevenBytesAndReadsBack) {
    struct Case {
        std::size_t length;
        std::string prefix;
    };
    const Case cases[] = {
        {0, Bytes({0x00})},
        {254, Bytes({0xFE})},
        {255, Bytes({0xFF, 0xFF, 0x00})},
        {65533, Bytes({0xFF, 0xFD, 0xFF})},
        {65534, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
        {65535, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00})},
        {70000, Bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
    };
    auto doc = std::make_unique<CQFDoc>();
    for (const Case& c : cases) {
        const std::string text(c.length, 'u');
        std::string out;
        qf::AppendDataFileString(out, text);
        EXPECT_EQ(out, c.prefix + text) << c.length;

        ViewLiveState live = CelsiusMetres(0);
        live.units.m_strTempUnit = text;
        live.units.m_strSpeedUnit = std::string(c.length, 's');
        const std::string file = qf::EncodeDataFile(*doc, live, 10, 0);
        EXPECT_EQ(file.size(), 55u + 2 * (c.length + c.prefix.size() - 1)) << c.length;
        FileViewState view;
        ASSERT_EQ(qf::DecodeDataFile(Span(file), *doc, view), DataFileStatus::Ok) << c.length;
        EXPECT_EQ(doc->m_strFileTempUnit, text);
        EXPECT_EQ(doc->m_strFileSpeedUnit, std::string(c.length, 's'));
    }
}

TEST(DataFileRoundTrip, everyFieldComesBackBitForBit) {
    ScopedTimeZone tz("CET-1CEST,M3.5.0,M10.5.0/3");
    auto doc = std::make_unique<CQFDoc>();
    const std::uint32_t specials[] = {
        0x7FC00001u,                             // quiet NaN with a payload
        0xFFA00005u,                             // signalling NaN, negative
        0x7F800000u, 0xFF800000u,                // infinities
        0x80000000u, 0x00000001u,                // -0.0, smallest subnormal
        std::bit_cast<std::uint32_t>(qf::NO_VALUE),
    };
    for (int c = 0; c < qf::NUM_CHANNELS; ++c) {
        for (int i = 0; i < qf::RECORD_LIMIT; ++i) {
            const std::uint32_t bits = (i % 11 < 7) ? specials[i % 11]
                                                    : 0x3F800000u + std::uint32_t(i * 37 + c);
            doc->m_liveSamples[c][i] = std::bit_cast<float>(bits);
        }
    }
    ViewLiveState live;
    live.units = {1, "F", 1, "ft/min", 196.87f};
    live.m_nSampleIndex = qf::RECORD_LIMIT;
    live.m_tmStart = 1372680000;  // 1 July 2013 12:00 UTC, 14:00 summer time
    live.m_nIntervalMs = 60000;
    const std::string bytes = qf::EncodeDataFile(*doc, live, 1000, 5);

    FileViewState view;
    ASSERT_EQ(qf::DecodeDataFile(Span(bytes), *doc, view), DataFileStatus::Ok);
    EXPECT_TRUE(view.m_bFileData);
    EXPECT_TRUE(view.m_bFileDataNew);
    EXPECT_EQ(view.m_nFileYGain, 1000);
    EXPECT_EQ(view.m_nFileYOffset, 5);
    ASSERT_EQ(doc->m_nFileCount, qf::RECORD_LIMIT);
    int mismatches = 0;
    for (int i = 0; i < qf::RECORD_LIMIT; ++i) {
        for (int c = 0; c < qf::NUM_CHANNELS; ++c) {
            mismatches += std::bit_cast<std::uint32_t>(doc->m_fileSamples[i][c]) !=
                          std::bit_cast<std::uint32_t>(doc->m_liveSamples[c][i]);
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(doc->m_strReadSignature, "QF7720");
    EXPECT_EQ(doc->m_nFileTempUnit, 1);
    EXPECT_EQ(doc->m_nFileSpeedUnit, 1);
    EXPECT_EQ(doc->m_nFileYear, 2013);
    EXPECT_EQ(doc->m_nFileMonth, 7);
    EXPECT_EQ(doc->m_nFileDay, 1);
    EXPECT_EQ(doc->m_nFileHour, 14);
    EXPECT_EQ(doc->m_nFileMinute, 0);
    EXPECT_EQ(doc->m_nFileSecond, 0);
    EXPECT_EQ(doc->m_nFileIntervalSec, 60);
    EXPECT_EQ(doc->m_fFileSpeedFactor, 196.87f);
    EXPECT_EQ(doc->m_strFileTempUnit, "F");
    EXPECT_EQ(doc->m_strFileSpeedUnit, "ft/min");
}

TEST(DataFileReader, wrongSignatureChangesOnlyTheReadSignature) {
    auto doc = std::make_unique<CQFDoc>();
    const std::string rest = qf::EncodeDataFile(*doc, CelsiusMetres(0), 10, 0).substr(7);
    struct Case {
        std::string signature;
        std::string read;
    };
    const Case cases[] = {
        {Bytes({0x06, 'q', 'f', '7', '7', '2', '0'}), "qf7720"},
        {Bytes({0x06, 'Q', 'F', '7', '7', '2', '1'}), "QF7721"},
        {Bytes({0x05, 'Q', 'F', '7', '7', '2'}), "QF772"},
        {Bytes({0x07, 'Q', 'F', '7', '7', '2', '0', ' '}), "QF7720 "},
        {Bytes({0x00}), ""},
        // 16-bit characters are refused even when they spell the signature.
        {Bytes({0xFF, 0xFE, 0xFF, 0x06, 'Q', 0, 'F', 0, '7', 0, '7', 0, '2', 0, '0', 0}), ""},
    };
    for (const Case& c : cases) {
        FileViewState view;
        FillOld(*doc, view);
        const auto before = std::make_unique<CQFDoc>(*doc);
        EXPECT_EQ(qf::DecodeDataFile(Span(c.signature + rest), *doc, view),
                  DataFileStatus::InvalidFormat)
            << c.read;
        EXPECT_TRUE(qf::ShowsInvalidFormat(DataFileStatus::InvalidFormat));
        EXPECT_EQ(doc->m_strReadSignature, c.read);
        EXPECT_TRUE(SameFileArea(*doc, *before)) << c.read;
        EXPECT_FALSE(view.m_bFileData);
        EXPECT_FALSE(view.m_bFileDataNew);
        EXPECT_EQ(view.m_nFileYGain, -7);
    }
}

TEST(DataFileReader, countOutsideTheAreaIsRefusedWithoutTouchingTheArea) {
    auto doc = std::make_unique<CQFDoc>();
    const std::string full = qf::EncodeDataFile(*doc, CelsiusMetres(0), 10, 0);
    for (const int count : {-1, 6001, INT_MAX, INT_MIN}) {
        std::string bytes = full;
        std::memcpy(bytes.data() + 7, &count, 4);
        bytes += std::string(20 * 10, '\0');  // some sample bytes to tempt the reader
        FileViewState view;
        FillOld(*doc, view);
        const auto before = std::make_unique<CQFDoc>(*doc);
        const DataFileStatus status = qf::DecodeDataFile(Span(bytes), *doc, view);
        EXPECT_EQ(status, DataFileStatus::BadCount) << count;
        EXPECT_TRUE(qf::ShowsInvalidFormat(status));
        EXPECT_TRUE(SameFileArea(*doc, *before)) << count;
        EXPECT_EQ(doc->m_strReadSignature, "QF7720");
        EXPECT_FALSE(view.m_bFileData);
        EXPECT_FALSE(view.m_bFileDataNew);
    }
}

TEST(DataFileReader, fullAreaOf6000SamplesIsAccepted) {
    auto doc = std::make_unique<CQFDoc>();
    const std::string bytes = qf::EncodeDataFile(*doc, CelsiusMetres(qf::MAX_SAMPLES), 10, 0);
    FileViewState view;
    EXPECT_EQ(qf::DecodeDataFile(Span(bytes), *doc, view), DataFileStatus::Ok);
    EXPECT_EQ(doc->m_nFileCount, qf::MAX_SAMPLES);
}

// A file cut anywhere keeps exactly the fields that ended before the cut, as the
// original stream reader stored them one by one, and the flags set by the signature.
TEST(DataFileReader, truncatedFileKeepsExactlyTheFieldsReadBeforeTheCut) {
    ScopedTimeZone tz("UTC0");
    auto doc = std::make_unique<CQFDoc>();
    for (int c = 0; c < qf::NUM_CHANNELS; ++c) {
        doc->m_liveSamples[c][0] = 1.0f + c;
        doc->m_liveSamples[c][1] = 10.0f + c;
    }
    const std::string bytes = qf::EncodeDataFile(*doc, CelsiusMetres(2), 20, 3);
    ASSERT_EQ(bytes.size(), 99u);

    auto expectedNew = std::make_unique<CQFDoc>();
    FileViewState newView;
    ASSERT_EQ(qf::DecodeDataFile(Span(bytes), *expectedNew, newView), DataFileStatus::Ok);

    using Same = std::function<bool(const CQFDoc&, const FileViewState&, const CQFDoc&,
                                    const FileViewState&)>;
    struct Field {
        std::size_t end;
        Same same;
    };
    std::vector<Field> fields = {
        {7, [](auto& a, auto& va, auto& b, auto& vb) {
             return a.m_strReadSignature == b.m_strReadSignature &&
                    va.m_bFileData == vb.m_bFileData && va.m_bFileDataNew == vb.m_bFileDataNew;
         }},
        {11, [](auto& a, auto&, auto& b, auto&) { return a.m_nFileCount == b.m_nFileCount; }},
    };
    for (int k = 0; k < 10; ++k) {
        fields.push_back({15u + 4u * k, [k](auto& a, auto&, auto& b, auto&) {
                              return std::memcmp(&a.m_fileSamples[0][0] + k,
                                                 &b.m_fileSamples[0][0] + k, 4) == 0;
                          }});
    }
    auto intField = [&](std::size_t end, int CQFDoc::*member) {
        fields.push_back(
            {end, [member](auto& a, auto&, auto& b, auto&) { return a.*member == b.*member; }});
    };
    fields.push_back({52, [](auto& a, auto&, auto& b, auto&) {
                          return a.m_nFileTempUnit == b.m_nFileTempUnit;
                      }});
    fields.push_back({53, [](auto& a, auto&, auto& b, auto&) {
                          return a.m_nFileSpeedUnit == b.m_nFileSpeedUnit;
                      }});
    intField(57, &CQFDoc::m_nFileYear);
    intField(61, &CQFDoc::m_nFileMonth);
    intField(65, &CQFDoc::m_nFileDay);
    intField(69, &CQFDoc::m_nFileHour);
    intField(73, &CQFDoc::m_nFileMinute);
    intField(77, &CQFDoc::m_nFileSecond);
    intField(81, &CQFDoc::m_nFileIntervalSec);
    fields.push_back({85, [](auto& a, auto&, auto& b, auto&) {
                          return a.m_fFileSpeedFactor == b.m_fFileSpeedFactor;
                      }});
    fields.push_back({87, [](auto& a, auto&, auto& b, auto&) {
                          return a.m_strFileTempUnit == b.m_strFileTempUnit;
                      }});
    fields.push_back({91, [](auto& a, auto&, auto& b, auto&) {
                          return a.m_strFileSpeedUnit == b.m_strFileSpeedUnit;
                      }});
    fields.push_back({95, [](auto&, auto& va, auto&, auto& vb) {
                          return va.m_nFileYGain == vb.m_nFileYGain;
                      }});
    fields.push_back({99, [](auto&, auto& va, auto&, auto& vb) {
                          return va.m_nFileYOffset == vb.m_nFileYOffset;
                      }});

    auto old = std::make_unique<CQFDoc>();
    FileViewState oldView;
    FillOld(*old, oldView);
    oldView.m_bFileData = false;
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        auto got = std::make_unique<CQFDoc>(*old);
        FileViewState view = oldView;
        EXPECT_EQ(qf::DecodeDataFile(Span(bytes.substr(0, cut)), *got, view),
                  DataFileStatus::Truncated)
            << cut;
        for (const Field& f : fields) {
            if (f.end <= cut) {
                EXPECT_TRUE(f.same(*got, view, *expectedNew, newView))
                    << "cut " << cut << ", field ending at " << f.end << " should be new";
            } else {
                EXPECT_TRUE(f.same(*got, view, *old, oldView))
                    << "cut " << cut << ", field ending at " << f.end << " should be old";
            }
        }
    }
}

TEST(DataFileReader, sixteenBitUnitTextIsRefusedAfterTheFieldsBeforeIt) {
    const std::string bytes =
        qftest::ReadAll(QF_SOURCE_DIR "/tests/fuzz/corpus/datafile/wide-unit-text");
    ASSERT_FALSE(bytes.empty());
    auto doc = std::make_unique<CQFDoc>();
    FileViewState view;
    FillOld(*doc, view);
    EXPECT_EQ(qf::DecodeDataFile(Span(bytes), *doc, view), DataFileStatus::WideString);
    EXPECT_FALSE(qf::ShowsInvalidFormat(DataFileStatus::WideString));
    EXPECT_FLOAT_EQ(doc->m_fFileSpeedFactor, 1.0f);
    EXPECT_EQ(doc->m_strFileTempUnit, "old");
    EXPECT_EQ(doc->m_strFileSpeedUnit, "old");
}

// valid-two-samples was written by an independent script from the byte layout, before this
// reader existed; it must stay readable, and the writer must still produce it.
TEST(DataFileReader, frozenFixtureReadsAndIsWrittenAgainByteForByte) {
    ScopedTimeZone tz("UTC0");
    const std::string path = QF_SOURCE_DIR "/tests/fuzz/corpus/datafile/valid-two-samples";
    auto doc = std::make_unique<CQFDoc>();
    FileViewState view;
    ASSERT_EQ(qf::ReadDataFile(path, *doc, view), DataFileStatus::Ok);
    ASSERT_EQ(doc->m_nFileCount, 2);
    EXPECT_EQ(doc->m_fileSamples[0][qf::CH_AIRT], 23.5f);
    EXPECT_EQ(doc->m_fileSamples[0][qf::CH_IRT], 24.06f);
    EXPECT_EQ(doc->m_fileSamples[1][qf::CH_CMM], qf::NO_VALUE);
    EXPECT_EQ(doc->m_nFileYear, 2013);
    EXPECT_EQ(doc->m_nFileSecond, 30);
    EXPECT_EQ(doc->m_nFileIntervalSec, 2);
    EXPECT_EQ(view.m_nFileYGain, 10);

    for (int i = 0; i < 2; ++i) {
        for (int c = 0; c < qf::NUM_CHANNELS; ++c) {
            doc->m_liveSamples[c][i] = doc->m_fileSamples[i][c];
        }
    }
    ViewLiveState live = CelsiusMetres(2);
    live.m_nIntervalMs = 2000;
    EXPECT_EQ(qf::EncodeDataFile(*doc, live, 10, 0), qftest::ReadAll(path));
}

TEST(DataFileReader, missingFileOrFolderIsNotOpened) {
    qftest::TempDir dir;
    auto doc = std::make_unique<CQFDoc>();
    FileViewState view;
    FillOld(*doc, view);
    const auto before = std::make_unique<CQFDoc>(*doc);
    for (const std::string& path : {dir.file("absent.AsmDat"), dir.path().string()}) {
        EXPECT_EQ(qf::ReadDataFile(path, *doc, view), DataFileStatus::CannotOpen) << path;
        EXPECT_TRUE(SameFileArea(*doc, *before));
        EXPECT_EQ(doc->m_strReadSignature, "OLD");
    }
}

}  // namespace
