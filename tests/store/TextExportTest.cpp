#include "store/TextExport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "helpers/TestLive.h"
#include "store/DataFile.h"

namespace {

using qf::CQFDoc;
using qftest::TestLive;

void UseTimeZone(const char* tz) {
    setenv("TZ", tz, 1);
    tzset();
}

constexpr const char* CENTRAL_EUROPE = "CET-1CEST,M3.5.0,M10.5.0/3";

TEST(TextExportFields, temperatureTexts) {
    struct Case {
        float celsius;
        int unit;
        bool irt;
        const char* text;
    };
    const Case cases[] = {
        {23.46f, 0, false, "23.5"},        // AirT is rounded
        {23.46f, 0, true, "23.4"},         // IRT is cut
        {20.06f, 0, true, "20.0"},         //
        {-20.06f, 0, true, "-20.0"},       //
        {23.4f, 0, true, "23.4"},          // 23.3999996 keeps its digit
        {20.0f, 1, true, "68.0"},          // so does 67.99999... F
        {-17.8f, 1, false, "-0.0"},        //
        {0.04f, 0, true, "0.0"},           // within +-0.05: rounded, not cut
        {0.05f, 0, true, "0.0"},           // 0.0500000007 is above 0.05
        {-100.0f, 0, false, "-100.0"},     //
        {-100.01f, 1, true, "----"},       // missing is judged in Celsius
        {qf::NO_VALUE, 0, false, "----"},  //
    };
    for (const Case& c : cases) {
        EXPECT_EQ(qf::TemperatureText(c.celsius, c.unit, c.irt), c.text)
            << c.celsius << " unit " << c.unit << (c.irt ? " IRT" : " AirT");
    }
}

TEST(TextExportFields, speedTexts) {
    struct Case {
        float airV;
        float factor;
        const char* text;
    };
    const Case cases[] = {
        {1.234f, 1.0f, "1.23"},        // m/s: two places, rounded
        {0.01f, 1.0f, "0.01"},         //
        {1.5f, 196.87f, "295.3"},      // other units: one place, cut
        {1.0f, 3.6f, "3.6"},           // 3.5999999 keeps its digit
        {0.99f, 3.6f, "3.5"},          //
        {0.01f, 3.6f, "0.0"},          // up to 0.05: rounded
        {qf::NO_VALUE, 1.0f, "----"},  // missing
        {-0.001f, 1.944f, "----"},     //
    };
    for (const Case& c : cases) {
        EXPECT_EQ(qf::SpeedText(c.airV, c.factor), c.text) << c.airV << " x " << c.factor;
    }
}

TEST(TextExportFields, flowTexts) {
    struct Case {
        float v;
        const char* text;
    };
    const Case cases[] = {
        {0.0f, "0.000"},        {9.999f, "9.999"},  {10.5f, "10.50"},  {99.5f, "99.50"},
        {100.0f, "100.0"},      {999.94f, "999.9"}, {1000.0f, "1000"}, {1234.0f, "1234"},
        {qf::NO_VALUE, "----"}, {-0.5f, "----"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(qf::FlowText(c.v), c.text) << c.v;
    }
}

TEST(TextExportFields, exportPathReplacesOnlyADataFileEnding) {
    struct Case {
        const char* data;
        const char* text;
    };
    const Case cases[] = {
        {"/d/13-12-31 10.20.30.AsmDat", "/d/13-12-31 10.20.30.txt"},
        {"rec.CH4", "rec.txt"},
        {"rec.asmdat", "rec.txt"},
        {"REC.ch4", "REC.txt"},
        {"rec", "rec.txt"},
        {"rec.txt", "rec.txt.txt"},  // never the data file itself
        // Dots of a time of day are part of the name: saves a second apart stay apart.
        {"/d/26-12-08 09.11.25", "/d/26-12-08 09.11.25.txt"},
        {"/d.x/rec", "/d.x/rec.txt"},
        {"/d/.AsmDat", "/d/.AsmDat.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(qf::TextExportPath(c.data), c.text);
    }
}

class TextExportTest : public ::testing::Test {
protected:
    std::unique_ptr<CQFDoc> m_doc = std::make_unique<CQFDoc>();
    qftest::TestLive m_live;

    void SetUp() override {
        m_live.units = {0, "C", 0, "m/s", 1.0f};
        m_live.m_tmStart = 1388485230;  // 31 December 2013 10:20:30 UTC
        m_live.m_nIntervalMs = 2000;
    }
    void SetSample(int i, float airT, float irt, float airV, float cfm, float cmm) {
        const float v[] = {airT, irt, airV, cfm, cmm};
        for (int c = 0; c < qf::NUM_CHANNELS; ++c) {
            m_doc->m_liveSamples[c][i] = v[c];
        }
    }
    std::string Export() const { return qf::BuildTextExport(qftest::LiveExport(*m_doc, m_live)); }
};

TEST_F(TextExportTest, emptyRecordingIsTheHeaderLineAlone) {
    m_live.m_nSampleIndex = 0;
    EXPECT_EQ(Export(),
              "      NO             AirT                IRT               AirV                  "
              "CFM                 CMM             TIME\r\n");
}

TEST_F(TextExportTest, rowsAreRightAlignedAndStampedFromTheStart) {
    UseTimeZone("UTC0");
    for (int i = 0; i < 3; ++i) {
        SetSample(i, 23.5f, 24.0f, 1.0f, 1.0f, 1.0f);
    }
    SetSample(1, 23.5f, 23.5f, 1.0f, 1.0e12f, 1.0f);
    SetSample(2, qf::NO_VALUE, 20.06f, 1.234f, 1234.0f, 9.999f);
    m_live.m_nSampleIndex = 3;
    const std::string text = Export();
    const std::string sp10(10, ' '), sp11(11, ' ');
    const std::string row3 = "      3" + sp10 + "    ----C" + sp11 + "    20.0C" + sp11 +
                             "  1.23m/s" + sp11 + "     1234" + sp11 + "    9.999" + sp11 +
                             "12-31-13/10:20:34  \r\n";
    ASSERT_GE(text.size(), row3.size());
    EXPECT_EQ(text.substr(text.size() - row3.size()), row3);
    EXPECT_NE(text.find("      1" + sp10 + "    23.5C"), std::string::npos);
    EXPECT_NE(text.find("12-31-13/10:20:30  \r\n"), std::string::npos);
    EXPECT_NE(text.find(sp11 + "999999995904" + sp11), std::string::npos);  // never cut

    std::size_t lines = 0;
    for (std::size_t p = 0; (p = text.find('\n', p)) != std::string::npos; ++p, ++lines) {
        EXPECT_EQ(text[p - 1], '\r');
    }
    EXPECT_EQ(lines, 4u);
}

// Unit texts come from a file: their control bytes are written out, never passed on.
TEST_F(TextExportTest, controlBytesOfAUnitTextAreWrittenOut) {
    m_live.units = {0, "\x1b[2J\x07C", 0, "m/s\r\n", 1.0f};
    SetSample(0, 23.5f, 24.0f, 1.0f, 1.0f, 1.0f);
    m_live.m_nSampleIndex = 1;
    const std::string text = Export();
    EXPECT_NE(text.find("\\x1B[2J"), std::string::npos) << text;
    for (std::size_t p = 0; p < text.size(); ++p) {
        const unsigned char c = text[p];
        EXPECT_TRUE(c >= 0x20 || (c == '\r' && text[p + 1] == '\n') ||
                    (c == '\n' && text[p - 1] == '\r'))
            << p;
    }
}

TEST_F(TextExportTest, stampsFollowLocalTimeAcrossDaylightSavingChanges) {
    UseTimeZone(CENTRAL_EUROPE);
    m_live.m_nIntervalMs = 1800 * 1000 + 999;  // cut to 1800 s
    struct Case {
        std::time_t start;
        std::vector<std::string> stamps;
    };
    const Case cases[] = {
        // 31 March 2013, 01:30 CET: the clock jumps from 02:00 to 03:00.
        {1364689800, {"03-31-13/01:30:00", "03-31-13/03:00:00", "03-31-13/03:30:00"}},
        // 27 October 2013, 02:30 CEST: the hour from 02:00 comes twice.
        {1382833800,
         {"10-27-13/02:30:00", "10-27-13/02:00:00", "10-27-13/02:30:00", "10-27-13/03:00:00"}},
    };
    for (const Case& c : cases) {
        m_live.m_tmStart = c.start;
        m_live.m_nSampleIndex = static_cast<int>(c.stamps.size());
        const std::string text = Export();
        std::size_t pos = text.find("\r\n") + 2;
        for (const std::string& stamp : c.stamps) {
            const std::size_t end = text.find("\r\n", pos);
            ASSERT_NE(end, std::string::npos);
            EXPECT_EQ(text.substr(end - stamp.size() - 2, stamp.size()), stamp);
            pos = end + 2;
        }
    }
}

// The tool exports from a file; it must give what Save wrote beside that file.
TEST_F(TextExportTest, fileAreaExportsAsTheLiveRecordingItCameFrom) {
    UseTimeZone(CENTRAL_EUROPE);
    m_live.units = {1, "F", 1, "ft/min", 196.87f};
    m_live.m_tmStart = 1372680000;  // summer time
    m_live.m_nIntervalMs = 5000;
    for (int i = 0; i < 50; ++i) {
        SetSample(i, 0.37f * i - 3.0f, i % 7 ? 20.06f : qf::NO_VALUE, 0.05f * i, 12.5f * i,
                  0.35f * i);
    }
    m_live.m_nSampleIndex = 50;
    const std::string bytes = qftest::Encode(*m_doc, m_live, 10, 0);
    qf::FileViewState view;
    ASSERT_EQ(
        qf::DecodeDataFile({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()},
                           *m_doc, view),
        qf::DataFileStatus::Ok);
    EXPECT_EQ(qf::BuildTextExport(qf::FileExportSource(m_doc->m_file)), Export());
}

}  // namespace
