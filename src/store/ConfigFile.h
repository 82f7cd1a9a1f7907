// The settings file: classic sectioned key/value text ("[section]", "key=value").
// Section and key names compare case-insensitively (ASCII); blanks around names and
// values are ignored. Lines that are neither headers nor key lines are kept as they are.
// Lines end in LF, CRLF or a lone CR; a UTF-8 byte-order mark may come first.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
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
        std::string eol;  // "\n", "\r\n", "\r", or "" on a last line without one
    };

    // [first, last) lines of the first section with that name; first is the header.
    bool FindSection(std::string_view section, std::size_t& first, std::size_t& last) const;
    std::optional<std::size_t> FindKey(std::size_t first, std::size_t last,
                                       std::string_view key) const;
    void InsertLine(std::size_t at, std::string text);

    std::string m_strBom;  // a UTF-8 byte-order mark before the first line, kept as found
    std::vector<Line> m_lines;
    std::string m_strEol = "\n";  // line ending for added lines: the file's own style
};

struct ConfigValue {
    std::string_view section;
    std::string_view key;
    std::string_view value;
};

// The settings file on disk. Reads come from the file's last version in memory, shared by
// every CConfigFile of that path, and the file is read again only once it has changed on
// disk (another inode, size or time stamp). Every write rewrites the file through a
// temporary file in the same folder and a rename, so an interrupted write leaves the old
// file whole. Failures are silent: reads fall back to the default, writes return false.
class CConfigFile {
public:
    explicit CConfigFile(std::string path);

    // $XDG_CONFIG_HOME/QF7720config.ini, else $HOME/.config/QF7720config.ini.
    static std::string DefaultPath();

    const std::string& Path() const { return m_strPath; }

    int ReadInt(std::string_view section, std::string_view key, int def) const;
    std::string ReadText(std::string_view section, std::string_view key,
                         const std::string& def) const;
    // The trimmed value at full length; nullopt when missing.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    // Creates the file and its folder when needed.
    bool WriteText(std::string_view section, std::string_view key, const std::string& value);
    // Several values in one rewrite of the file, in order, each as WriteText would write
    // it. False when any value was refused (the others are written) or the write failed.
    bool WriteTexts(std::span<const ConfigValue> values);

private:
    std::shared_ptr<const CIniDocument> Load() const;

    std::string m_strPath;
};

}  // namespace qf
