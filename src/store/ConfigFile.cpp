#include "store/ConfigFile.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <mutex>

#include "store/AtomicFile.h"
#include "store/RegularFile.h"

namespace qf {

namespace fs = std::filesystem;

namespace {

constexpr char CONFIG_FILE_NAME[] = "QF7720config.ini";
constexpr std::string_view BLANKS = " \t\r\v\f";
constexpr std::string_view UTF8_BOM = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(BLANKS);
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(BLANKS) - first + 1);
}

// ASCII only: the result must not depend on the user's locale.
char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

// Name of a "[name]" header line; text after the first ']' is ignored.
std::optional<std::string_view> HeaderName(std::string_view text) {
    const auto t = Trim(text);
    if (t.empty() || t.front() != '[') {
        return std::nullopt;
    }
    const auto close = t.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return Trim(t.substr(1, close - 1));
}

bool StartsComment(char c) {
    return c == ';' || c == '#';
}

struct KeyLine {
    std::string_view key;
    std::size_t valueStart;  // just after the '='
};

// "key=value"; headers, comments, lines without '=' and lines without a key are not.
std::optional<KeyLine> ParseKeyLine(std::string_view text) {
    const auto t = Trim(text);
    if (t.empty() || t.front() == '[' || StartsComment(t.front())) {
        return std::nullopt;
    }
    const auto eq = text.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    const auto key = Trim(text.substr(0, eq));
    if (key.empty()) {
        return std::nullopt;
    }
    return KeyLine{key, eq + 1};
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// Leading decimal integer with an optional sign; saturates instead of overflowing.
int ParseLeadingInt(std::string_view t) {
    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        negative = t[i] == '-';
        ++i;
    }
    constexpr long long LIMIT = static_cast<long long>(INT_MAX) + 1;
    long long v = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
        v = std::min(v * 10 + (t[i] - '0'), LIMIT);
    }
    if (negative) {
        v = -v;
    }
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// Cut to at most max bytes without splitting a UTF-8 sequence.
std::string CutText(std::string_view s, std::size_t max) {
    if (s.size() <= max) {
        return std::string(s);
    }
    std::size_t n = max;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) {
        --n;
    }
    return std::string(s.substr(0, n));
}

enum class LoadResult { MISSING, READ, FAILED };

// What tells one version of a file from the next without reading it. The ctime also
// catches a rewrite that keeps the size and puts the old mtime back: every change of a
// file sets it to the time of the change.
struct FileStamp {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
    timespec ctime{};

    explicit FileStamp(const struct stat& st)
        : dev(st.st_dev), ino(st.st_ino), size(st.st_size), mtime(st.st_mtim), ctime(st.st_ctim) {}

    bool operator==(const FileStamp& o) const {
        return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
               mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec &&
               ctime.tv_nsec == o.ctime.tv_nsec;
    }

    // Time stamps are coarse (a clock tick, two seconds on FAT): a change just after
    // reading could keep every field. Only a version already old when read is trusted.
    bool SettledAt(std::time_t readAt) const {
        constexpr std::time_t COARSEST_STAMP_SEC = 2;
        return ctime.tv_sec + COARSEST_STAMP_SEC < readAt;
    }
};

LoadResult ReadWholeFile(const std::string& path, std::string& out, struct stat& info) {
    int error = 0;
    const int fd = OpenRegularFile(path, info, error);
    if (fd < 0) {
        return error == ENOENT || error == ENOTDIR ? LoadResult::MISSING : LoadResult::FAILED;
    }
    out.clear();
    out.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[1 << 16];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ok ? LoadResult::READ : LoadResult::FAILED;
}

struct Loaded {
    LoadResult result = LoadResult::MISSING;
    std::shared_ptr<const CIniDocument> doc;
};

// The settings file is read at start key by key, and the link's watchdog looks up the
// port map every few seconds: each read is answered from the last version in memory
// while the file on disk is still that version.
class LoadedFiles {
public:
    Loaded Get(const std::string& path) {
        struct stat info {};
        std::lock_guard lock(m_mutex);
        Entry* entry = Find(path);
        if (entry && ::stat(path.c_str(), &info) == 0 && FileStamp(info) == entry->stamp) {
            return {LoadResult::READ, entry->doc};
        }
        Forget(path);
        const std::time_t readAt = std::time(nullptr);
        std::string text;
        const LoadResult result = ReadWholeFile(path, text, info);
        if (result != LoadResult::READ) {
            return {result, Empty()};
        }
        auto doc = std::make_shared<const CIniDocument>(CIniDocument::Parse(text));
        const FileStamp stamp(info);
        if (stamp.SettledAt(readAt)) {
            // A few paths at most: the program has one, tests have many in turn.
            constexpr std::size_t MAX_FILES = 4;
            if (m_entries.size() == MAX_FILES) {
                m_entries.erase(m_entries.begin());
            }
            m_entries.push_back({path, stamp, doc});
        }
        return {result, doc};
    }

private:
    struct Entry {
        std::string path;
        FileStamp stamp;
        std::shared_ptr<const CIniDocument> doc;
    };

    static std::shared_ptr<const CIniDocument> Empty() {
        static const auto empty = std::make_shared<const CIniDocument>();
        return empty;
    }

    Entry* Find(const std::string& path) {
        const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                     [&](const Entry& e) { return e.path == path; });
        return it == m_entries.end() ? nullptr : &*it;
    }

    void Forget(const std::string& path) {
        std::erase_if(m_entries, [&](const Entry& e) { return e.path == path; });
    }

    std::mutex m_mutex;
    std::vector<Entry> m_entries;
};

LoadedFiles& Cache() {
    static LoadedFiles files;
    return files;
}

}  // namespace

// --- CIniDocument -------------------------------------------------------------------

CIniDocument CIniDocument::Parse(std::string_view text) {
    CIniDocument doc;
    // Kept aside, or it would hide the first section header.
    if (text.starts_with(UTF8_BOM)) {
        doc.m_strBom = UTF8_BOM;
        text.remove_prefix(UTF8_BOM.size());
    }
    bool styleKnown = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        // Lines end in "\n", "\r\n" or, from old Mac editors, a lone "\r".
        const auto end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            doc.m_lines.push_back({std::string(text.substr(pos)), ""});
            break;
        }
        std::string_view eol = text.substr(end, 1);
        if (text.substr(end, 2) == "\r\n") {
            eol = text.substr(end, 2);
        }
        if (!styleKnown) {
            doc.m_strEol = eol;
            styleKnown = true;
        }
        doc.m_lines.push_back({std::string(text.substr(pos, end - pos)), std::string(eol)});
        pos = end + eol.size();
    }
    return doc;
}

std::string CIniDocument::Text() const {
    std::string out = m_strBom;
    for (const auto& line : m_lines) {
        out += line.text;
        out += line.eol;
    }
    return out;
}

bool CIniDocument::FindSection(std::string_view section, std::size_t& first,
                               std::size_t& last) const {
    const auto name = Trim(section);
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const auto header = HeaderName(m_lines[i].text);
        if (!header || !SameName(*header, name)) {
            continue;
        }
        first = i;
        last = i + 1;
        while (last < m_lines.size() && !HeaderName(m_lines[last].text)) {
            ++last;
        }
        return true;
    }
    return false;
}

std::optional<std::size_t> CIniDocument::FindKey(std::size_t first, std::size_t last,
                                                 std::string_view key) const {
    const auto name = Trim(key);
    for (std::size_t i = first + 1; i < last; ++i) {
        const auto line = ParseKeyLine(m_lines[i].text);
        if (line && SameName(line->key, name)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> CIniDocument::Find(std::string_view section,
                                              std::string_view key) const {
    std::size_t first = 0;
    std::size_t last = 0;
    if (!FindSection(section, first, last)) {
        return std::nullopt;
    }
    const auto at = FindKey(first, last, key);
    if (!at) {
        return std::nullopt;
    }
    const std::string_view text = m_lines[*at].text;
    return std::string(Trim(text.substr(ParseKeyLine(text)->valueStart)));
}

int CIniDocument::ReadInt(std::string_view section, std::string_view key, int def) const {
    const auto value = Find(section, key);
    if (!value || value->empty()) {
        return def;
    }
    return ParseLeadingInt(*value);
}

std::string CIniDocument::ReadText(std::string_view section, std::string_view key,
                                   const std::string& def) const {
    const auto value = Find(section, key);
    return CutText(value ? *value : def, MAX_TEXT);
}

void CIniDocument::InsertLine(std::size_t at, std::string text) {
    if (at > 0 && m_lines[at - 1].eol.empty()) {
        m_lines[at - 1].eol = m_strEol;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), {std::move(text), m_strEol});
}

bool CIniDocument::WriteText(std::string_view section, std::string_view key,
                             std::string_view value) {
    const auto s = Trim(section);
    const auto k = Trim(key);
    const auto v = Trim(value);
    if (s.empty() || k.empty() || HasLineBreak(s) || HasLineBreak(k) || HasLineBreak(v) ||
        s.find(']') != std::string_view::npos || k.find('=') != std::string_view::npos ||
        k.front() == '[' || StartsComment(k.front())) {
        return false;
    }

    std::size_t first = 0;
    std::size_t last = 0;
    if (!FindSection(s, first, last)) {
        std::string header(1, '[');
        header.append(s).append(1, ']');
        InsertLine(m_lines.size(), std::move(header));
        InsertLine(m_lines.size(), std::string(k).append(1, '=').append(v));
        return true;
    }
    if (const auto at = FindKey(first, last, k)) {
        // Keep the key as spelled and the blanks after '='; only the value changes.
        std::string& text = m_lines[*at].text;
        auto keep = text.find_first_not_of(" \t", ParseKeyLine(text)->valueStart);
        keep = keep == std::string::npos ? text.size() : keep;
        text.replace(keep, std::string::npos, v);
        return true;
    }
    // A new key goes after the section's last non-blank line, before any blank lines
    // that separate it from the next section.
    std::size_t at = first + 1;
    for (std::size_t i = first + 1; i < last; ++i) {
        if (!Trim(m_lines[i].text).empty()) {
            at = i + 1;
        }
    }
    InsertLine(at, std::string(k) + "=" + std::string(v));
    return true;
}

// --- CConfigFile --------------------------------------------------------------------

CConfigFile::CConfigFile(std::string path) : m_strPath(std::move(path)) {}

std::string CConfigFile::DefaultPath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg) {
        return (fs::path(xdg) / CONFIG_FILE_NAME).string();
    }
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw && pw->pw_dir && *pw->pw_dir ? pw->pw_dir : ".";
    }
    return (fs::path(home) / ".config" / CONFIG_FILE_NAME).string();
}

std::shared_ptr<const CIniDocument> CConfigFile::Load() const {
    return Cache().Get(m_strPath).doc;
}

int CConfigFile::ReadInt(std::string_view section, std::string_view key, int def) const {
    return Load()->ReadInt(section, key, def);
}

std::string CConfigFile::ReadText(std::string_view section, std::string_view key,
                                  const std::string& def) const {
    return Load()->ReadText(section, key, def);
}

std::optional<std::string> CConfigFile::Find(std::string_view section, std::string_view key) const {
    return Load()->Find(section, key);
}

bool CConfigFile::WriteText(std::string_view section, std::string_view key,
                            const std::string& value) {
    const ConfigValue one{section, key, value};
    return WriteTexts({&one, 1});
}

bool CConfigFile::WriteTexts(std::span<const ConfigValue> values) {
    const Loaded loaded = Cache().Get(m_strPath);
    if (loaded.result == LoadResult::FAILED) {
        return false;  // rewriting a file we cannot read would lose its other settings
    }
    CIniDocument doc = *loaded.doc;
    std::size_t taken = 0;
    for (const ConfigValue& v : values) {
        taken += doc.WriteText(v.section, v.key, v.value) ? 1 : 0;
    }
    if (taken == 0) {
        return values.empty();
    }
    const bool all = taken == values.size();
    const std::string text = doc.Text();
    if (loaded.result == LoadResult::READ && text == loaded.doc->Text()) {
        return all;
    }
    const fs::path target(m_strPath);
    if (target.has_parent_path()) {
        std::error_code ec;
        fs::create_directories(target.parent_path(), ec);
        if (ec) {
            return false;
        }
    }
    // At every moment the file holds either the old or the new text; a link stays a link.
    return WriteFileAtomically(m_strPath, text) && all;
}

}  // namespace qf
