// The settings file: classic sectioned key/value text ("[section]", "key=value").
// Section and key names compare case-insensitively (ASCII); blanks around names and
// values are ignored. Lines that are neither headers nor key lines are kept as they are.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qf {

// One settings text held in memory, line by line, so that writing a value changes that
// value and nothing else: other lines, their endings and unknown sections stay byte-exact.
class CIniDocument {
public:
    // Longest text a read returns.
    static constexpr std::size_t MAX_TEXT = 259;

    static CIniDocument Parse(std::string_view text);

    // Trimmed value of the first matching key of the first matching section, full length.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

    // Leading decimal integer of the value, clamped to int. A missing or empty value gives
    // def, a value that does not start with a number gives 0.
    int ReadInt(std::string_view section, std::string_view key, int def) const;

    // The value, or def when missing, cut to MAX_TEXT characters.
    std::string ReadText(std::string_view section, std::string_view key,
                         const std::string& def) const;

    // Replaces the value in place, or adds the key at the end of its section, or adds the
    // section at the end. Refuses names and values that would not read back as written
    // (line breaks, '=' in a key, ']' in a section, empty names).
    bool WriteText(std::string_view section, std::string_view key, std::string_view value);

    // The whole text; Parse(t).Text() == t for every t.
    std::string Text() const;

private:
    struct Line {
        std::string text;
        std::string eol;  // "\n", "\r\n", or "" on a last line without one
    };

    // [first, last) lines of the first section with that name; first is the header.
    bool FindSection(std::string_view section, std::size_t& first, std::size_t& last) const;
    std::optional<std::size_t> FindKey(std::size_t first, std::size_t last,
                                       std::string_view key) const;
    void InsertLine(std::size_t at, std::string text);

    std::vector<Line> m_lines;
    std::string m_strEol = "\n";  // line ending for added lines: the file's own style
};

// The settings file on disk. Every read loads the file afresh; every write rewrites it
// through a temporary file in the same folder and a rename, so an interrupted write
// leaves the old file whole. Failures are silent: reads fall back to the default,
// writes return false.
class CConfigFile {
public:
    explicit CConfigFile(std::string path);

    // $XDG_CONFIG_HOME/QF7720config.ini, else $HOME/.config/QF7720config.ini.
    static std::string DefaultPath();

    const std::string& Path() const { return m_strPath; }

    int ReadInt(std::string_view section, std::string_view key, int def) const;
    std::string ReadText(std::string_view section, std::string_view key,
                         const std::string& def) const;
    // Creates the file and its folder when needed.
    bool WriteText(std::string_view section, std::string_view key, const std::string& value);

private:
    CIniDocument Load() const;

    std::string m_strPath;
};

}  // namespace qf
