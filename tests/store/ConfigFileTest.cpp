#include "store/ConfigFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <sstream>

#include "helpers/TempDir.h"

namespace qf {
namespace {

using qftest::ReadAll;
using qftest::TempDir;
using qftest::WriteAll;

struct ReadCase {
    const char* name;
    std::string file;
    const char* section;
    const char* key;
    std::string expected;  // "<def>" when the default must come back
};

TEST(ConfigFile, ReadTextFollowsClassicRules) {
    const std::string longValue(5000, 'x');
    const ReadCase cases[] = {
        {"plain", "[GainInfo]\nGain=12\n", "GainInfo", "Gain", "12"},
        {"names ignore case", "[gaininfo]\nGAIN=12\n", "GainInfo", "Gain", "12"},
        {"blanks trimmed", "  [ GainInfo ]  \n\t Gain \t=  12 \t\n", "GainInfo", "Gain", "12"},
        {"CRLF", "[GainInfo]\r\nGain=12\r\n", "GainInfo", "Gain", "12"},
        {"CR only", "[A]\rk=1\r[GainInfo]\rGain=12\r", "GainInfo", "Gain", "12"},
        {"CR only, key of the section before", "[A]\rGain=1\r[GainInfo]\r", "GainInfo", "Gain",
         "<def>"},
        {"byte-order mark", "\xEF\xBB\xBF[GainInfo]\r\nGain=12\r\n", "GainInfo", "Gain", "12"},
        {"no final newline", "[GainInfo]\nGain=12", "GainInfo", "Gain", "12"},
        {"inner blanks and '=' kept", "[COMInfo]\nCOM num = a = b\n", "COMInfo", "COM num",
         "a = b"},
        {"empty value", "[GainInfo]\nGain=\n", "GainInfo", "Gain", ""},
        {"missing section", "[Other]\nGain=12\n", "GainInfo", "Gain", "<def>"},
        {"missing key", "[GainInfo]\nGainX=12\n", "GainInfo", "Gain", "<def>"},
        {"key of the next section", "[GainInfo]\n[OffsetInfo]\nGain=3\n", "GainInfo", "Gain",
         "<def>"},
        {"key before any section", "Gain=3\n[GainInfo]\n", "GainInfo", "Gain", "<def>"},
        {"comment is no key", "[GainInfo]\n;Gain=3\n#Gain=4\n", "GainInfo", "Gain", "<def>"},
        {"first duplicate wins", "[GainInfo]\nGain=1\nGain=2\n[GainInfo]\nGain=3\n", "GainInfo",
         "Gain", "1"},
        {"garbage around", "\x01\xff junk\n[broken\n=x\n[GainInfo]\nnoequals\nGain=7\n]]\n",
         "GainInfo", "Gain", "7"},
        {"long value cut", "[A]\nk=" + longValue + "\n", "A", "k", std::string(259, 'x')},
        {"cut keeps UTF-8 whole", "[A]\nk=" + std::string(258, 'x') + "\xc3\xa9\n", "A", "k",
         std::string(258, 'x')},
    };
    TempDir dir;
    for (const auto& c : cases) {
        WriteAll(dir.file("c.ini"), c.file);
        const std::string expected = c.expected == "<def>" ? "def" : c.expected;
        EXPECT_EQ(CConfigFile(dir.file("c.ini")).ReadText(c.section, c.key, "def"), expected)
            << c.name;
    }
    EXPECT_EQ(CConfigFile(dir.file("none.ini")).ReadText("A", "k", "def"), "def");
}

TEST(ConfigFile, ReadIntParsesLeadingInteger) {
    const struct {
        const char* value;
        int expected;
    } cases[] = {
        {"42", 42},
        {" -7 ", -7},
        {"12abc", 12},
        {"abc", 0},
        {"", 99},
        {"99999999999999999999", INT_MAX},
        {"-99999999999999999999", INT_MIN},
    };
    TempDir dir;
    for (const auto& c : cases) {
        WriteAll(dir.file("c.ini"), std::string("[S]\nk=") + c.value + "\n");
        EXPECT_EQ(CConfigFile(dir.file("c.ini")).ReadInt("S", "k", 99), c.expected) << c.value;
    }
    EXPECT_EQ(CConfigFile(dir.file("c.ini")).ReadInt("S", "missing", 99), 99);
    EXPECT_EQ(CConfigFile(dir.file("none.ini")).ReadInt("S", "k", 99), 99);
}

TEST(ConfigFile, WriteChangesOnlyTheValue) {
    const struct {
        const char* name;
        std::string before;
        const char* section;
        const char* key;
        std::string after;
    } cases[] = {
        {"in place, spelling and blanks kept",
         "; mine\n[gaininfo]\r\nGAIN =  5 \r\n[PortMap]\r\nCOM1=/dev/x", "GainInfo", "Gain",
         "; mine\n[gaininfo]\r\nGAIN =  9\r\n[PortMap]\r\nCOM1=/dev/x"},
        {"new key at end of its section", "[GainInfo]\nOther=1\n\n[PortMap]\nCOM1=/dev/x\n",
         "GainInfo", "Gain", "[GainInfo]\nOther=1\nGain=9\n\n[PortMap]\nCOM1=/dev/x\n"},
        {"new section, CRLF file, no final newline", "[PortMap]\r\nCOM1=/dev/x", "GainInfo", "Gain",
         "[PortMap]\r\nCOM1=/dev/x\r\n[GainInfo]\r\nGain=9\r\n"},
        {"empty file", "", "GainInfo", "Gain", "[GainInfo]\nGain=9\n"},
        {"byte-order mark kept, first section found", "\xEF\xBB\xBF[GainInfo]\r\nGain=5\r\n",
         "gaininfo", "Gain", "\xEF\xBB\xBF[GainInfo]\r\nGain=9\r\n"},
        {"CR-only file keeps its endings", "[PortMap]\rCOM1=/dev/x\r[GainInfo]\rGain=5\r",
         "GainInfo", "Gain", "[PortMap]\rCOM1=/dev/x\r[GainInfo]\rGain=9\r"},
        {"CR-only file, new section", "[PortMap]\rCOM1=/dev/x", "GainInfo", "Gain",
         "[PortMap]\rCOM1=/dev/x\r[GainInfo]\rGain=9\r"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        WriteAll(dir.file("c.ini"), c.before);
        EXPECT_TRUE(CConfigFile(dir.file("c.ini")).WriteText(c.section, c.key, "9")) << c.name;
        EXPECT_EQ(ReadAll(dir.file("c.ini")), c.after) << c.name;
    }
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(ConfigFile, WriteFailsQuietlyAndKeepsTheFile) {
    TempDir dir;
    WriteAll(dir.file("plain"), "x");
    // A parent that is a regular file stops the write even for root.
    EXPECT_FALSE(CConfigFile(dir.file("plain/c.ini")).WriteText("S", "k", "v"));

    WriteAll(dir.file("c.ini"), "[S]\nk=1\n");
    CConfigFile file(dir.file("c.ini"));
    EXPECT_FALSE(file.WriteText("S", "k", "2\n[Evil]\nx=1"));
    EXPECT_FALSE(file.WriteText("S", "a=b", "2"));
    EXPECT_FALSE(file.WriteText("S]", "k", "2"));
    EXPECT_EQ(ReadAll(dir.file("c.ini")), "[S]\nk=1\n");

    // A folder where the file should be is not replaced.
    std::filesystem::create_directory(dir.file("d.ini"));
    EXPECT_FALSE(CConfigFile(dir.file("d.ini")).WriteText("S", "k", "v"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("d.ini")));
}

TEST(ConfigFile, WriteKeepsSymlinkAndPermissions) {
    TempDir dir;
    WriteAll(dir.file("real.ini"), "[S]\nk=1\n");
    ::chmod(dir.file("real.ini").c_str(), 0640);
    std::filesystem::create_symlink(dir.file("real.ini"), dir.file("link.ini"));
    EXPECT_TRUE(CConfigFile(dir.file("link.ini")).WriteText("S", "k", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.ini")));
    EXPECT_EQ(ReadAll(dir.file("real.ini")), "[S]\nk=2\n");
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("real.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(ConfigFile, severalValuesGoInOneRewriteAndARefusedOneAlone) {
    TempDir dir;
    WriteAll(dir.file("c.ini"), "[S]\nk=1\n");
    const ConfigValue values[] = {{"S", "k", "2"}, {"S", "a=b", "3"}, {"T", "x", "4"}};
    EXPECT_FALSE(CConfigFile(dir.file("c.ini")).WriteTexts(values));
    EXPECT_EQ(ReadAll(dir.file("c.ini")), "[S]\nk=2\n[T]\nx=4\n");

    const ConfigValue refused[] = {{"S", "a=b", "3"}};
    EXPECT_FALSE(CConfigFile(dir.file("new.ini")).WriteTexts(refused));
    EXPECT_FALSE(std::filesystem::exists(dir.file("new.ini")));
}

// Bytes this process has read from files so far, or -1 where the kernel does not say.
long long BytesRead() {
    std::istringstream io(ReadAll("/proc/self/io"));
    std::string name;
    long long value = -1;
    while (io >> name >> value) {
        if (name == "rchar:") {
            return value;
        }
    }
    return -1;
}

// Every setting read, and the watchdog's port lookup every few seconds, must not read the
// whole file again while it has not changed; a new CConfigFile for each read, as the port
// lookup makes, is no exception. Files of the source tree have long stopped changing.
TEST(ConfigFile, anUnchangedFileIsReadOnceAndAChangedOneAgain) {
    const std::string corpus = QF_SOURCE_DIR "/tests/fuzz/corpus/config/";
    const std::string big = corpus + "hugeline.ini";
    const std::string other = corpus + "portmap.ini";
    for (const std::string& file : {big, other}) {
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        while (std::time(nullptr) <= st.st_ctime + 3) {
            ::usleep(100 * 1000);  // only in a tree checked out this very moment
        }
    }
    if (BytesRead() < 0) {
        GTEST_SKIP() << "no /proc/self/io";
    }
    TempDir dir;
    const std::string path = dir.file("c.ini");
    std::filesystem::create_symlink(big, path);
    const std::string first = CConfigFile(path).ReadText("A", "k", "def");

    const long long before = BytesRead();
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(CConfigFile(path).ReadText("A", "k", "def"), first);
    }
    EXPECT_LT(BytesRead() - before, static_cast<long long>(std::filesystem::file_size(big)));

    // The link now leads to another file: its values, not the ones in memory.
    std::filesystem::remove(path);
    std::filesystem::create_symlink(other, path);
    EXPECT_EQ(CConfigFile(path).ReadText("PortMap", "COM3", "def"), "/dev/ttyACM0");
}

// A FIFO in the file's place is neither waited on nor replaced.
TEST(ConfigFile, aFifoGivesTheDefaultsAndStays) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("c.ini").c_str(), 0600), 0);
    CConfigFile file(dir.file("c.ini"));
    EXPECT_EQ(file.ReadInt("S", "k", 99), 99);
    EXPECT_FALSE(file.WriteText("S", "k", "1"));
    EXPECT_TRUE(std::filesystem::is_fifo(dir.file("c.ini")));
}

TEST(ConfigFile, DefaultPathFollowsXdg) {
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "";
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";

    ::setenv("XDG_CONFIG_HOME", "/tmp/xdg", 1);
    EXPECT_EQ(CConfigFile::DefaultPath(), "/tmp/xdg/QF7720config.ini");
    ::setenv("XDG_CONFIG_HOME", "", 1);
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(CConfigFile::DefaultPath(), "/home/u/.config/QF7720config.ini");

    oldXdg ? ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
    oldHome ? ::setenv("HOME", savedHome.c_str(), 1) : ::unsetenv("HOME");
}

}  // namespace
}  // namespace qf
