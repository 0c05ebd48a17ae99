// Hand-edited settings files read and written by the system's own profile
// functions and by the engine must come out the same. Windows only: the
// profile functions are the reference.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/config/ini_document.h"
#include "ini_profile_corpus.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using test::HandEditedIni;

constexpr std::uint32_t kSeed = 20261211;
constexpr std::size_t kFiles = 300;
// Large enough for any listing of the corpus: the listing rule is compared,
// not the size of the caller's buffer.
constexpr DWORD kListBuffer = 1 << 20;
// What a settings read asks for: 2,047 characters and the terminator.
constexpr DWORD kValueBuffer = 2048;
constexpr std::size_t kShown = 3;
constexpr const char* kMissing = "\x01missing";

// Names separated by terminators, as the profile functions list them.
std::vector<std::string> SplitList(const std::vector<char>& buffer, DWORD length)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (buffer[i] == '\0') {
            names.emplace_back(buffer.data() + start, i - start);
            start = i + 1;
        }
    }
    return names;
}

struct Reader {
    std::function<std::vector<std::string>(const std::string&)> keyNames;
    std::function<std::string(const std::string&, const std::string&)> value;
};

std::string_view TrimBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The key names of a section as the engine is meant to list them: every
// key line of the section, as the profile functions give them with the
// section's text, except those without a name. Their own listing must
// agree up to its first empty name, where any caller of theirs stops.
std::vector<std::string> ProfileKeyNames(const std::string& section, const std::string& path)
{
    std::vector<char> buffer(kListBuffer);
    DWORD length =
        GetPrivateProfileSectionA(section.c_str(), buffer.data(), kListBuffer, path.c_str());
    std::vector<std::string> names;
    for (const std::string& line : SplitList(buffer, length)) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos && !TrimBlanks(line.substr(0, equals)).empty()) {
            names.emplace_back(TrimBlanks(line.substr(0, equals)));
        }
    }
    length = GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(), kListBuffer,
                                      path.c_str());
    std::vector<std::string> listed = SplitList(buffer, length);
    listed.erase(std::find(listed.begin(), listed.end(), std::string()), listed.end());
    if (listed.size() > names.size() || !std::equal(listed.begin(), listed.end(), names.begin())) {
        names.emplace_back("\x01key listing disagrees with the section's lines");
    }
    return names;
}

Reader ProfileReader(const std::string& path)
{
    return {[path](const std::string& section) { return ProfileKeyNames(section, path); },
            [path](const std::string& section, const std::string& key) {
                std::vector<char> buffer(kValueBuffer);
                const DWORD length =
                    GetPrivateProfileStringA(section.c_str(), key.c_str(), kMissing, buffer.data(),
                                             kValueBuffer, path.c_str());
                return std::string(buffer.data(), length);
            }};
}

Reader EngineReader(const IniDocument& ini)
{
    return {[&ini](const std::string& section) { return ini.KeyNames(section); },
            [&ini](const std::string& section, const std::string& key) {
                return ini.ReadString(section, key, kMissing);
            }};
}

// Escapes the line ends and control characters, and writes a long run of
// one character as the character and its count.
std::string Visible(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        std::size_t run = 1;
        while (i + run < text.size() && text[i + run] == c) {
            ++run;
        }
        if (run > 8) {
            out += std::string(1, c) + "{" + std::to_string(run) + "}";
            i += run;
            continue;
        }
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\x01') {
            out += "\\1";
        } else {
            out += c;
        }
        ++i;
    }
    return out;
}

// Every section the corpus names or the file holds, its key listing, and
// the value of every key listed or commonly asked for.
std::string Dump(const Reader& reader, const std::vector<std::string>& sections)
{
    std::string dump;
    for (const std::string& section : sections) {
        std::vector<std::string> keys = reader.keyNames(section);
        dump += "[" + section + "] " + std::to_string(keys.size()) + " keys\n";
        for (const std::string& key : keys) {
            dump += "  key <" + key + ">\n";
        }
        for (const std::string& common : test::CorpusKeyNames()) {
            keys.push_back(common);
        }
        for (const std::string& key : keys) {
            const std::string value = reader.value(section, key);
            if (value != kMissing) {
                dump += "  <" + key + "> = <" + value + ">\n";
            }
        }
    }
    return dump;
}

std::vector<std::string> SectionsToAsk(const std::string& path)
{
    std::vector<std::string> sections = test::CorpusSectionNames();
    std::vector<char> buffer(kListBuffer);
    const DWORD length = GetPrivateProfileSectionNamesA(buffer.data(), kListBuffer, path.c_str());
    for (std::string& name : SplitList(buffer, length)) {
        // No caller asks for a section without a name (the profile
        // functions file the keys above the first header under it).
        if (!name.empty() && std::find(sections.begin(), sections.end(), name) == sections.end()) {
            sections.push_back(std::move(name));
        }
    }
    return sections;
}

// The profile functions' dump and the engine's of one file.
std::pair<std::string, std::string> ReadDumps(const std::string& path, const std::string& text)
{
    const std::vector<std::string> sections = SectionsToAsk(path);
    const IniDocument ini = IniDocument::Parse(text);
    return {Dump(ProfileReader(path), sections), Dump(EngineReader(ini), sections)};
}

// The file with every line left out that the difference does not need, so
// that a failure shows its cause.
std::string Smallest(const std::string& text,
                     const std::function<bool(const std::string&)>& differs)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    for (std::size_t i = lines.size(); i-- > 0;) {
        std::vector<std::string> fewer = lines;
        fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(i));
        std::string joined;
        for (const std::string& line : fewer) {
            joined += line;
        }
        if (differs(joined)) {
            lines = std::move(fewer);
        }
    }
    std::string joined;
    for (const std::string& line : lines) {
        joined += line;
    }
    return joined;
}

void WriteBytes(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class IniProfileMatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder_ = fs::path(temp) / ("pelmora-ini-match-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // A file of its own per case: the profile functions may keep a file
    // they read in memory.
    std::string NextPath() { return (folder_ / (std::to_string(files_++) + ".ini")).string(); }

    static void Report(const char* what, std::size_t differing, const std::string& shown)
    {
        EXPECT_EQ(differing, 0U) << differing << " of " << kFiles << " files " << what
                                 << "; the first, cut to the lines that matter:\n"
                                 << shown;
    }

    fs::path folder_;
    std::size_t files_ = 0;
};

TEST_F(IniProfileMatch, HandEditedFilesReadTheSame)
{
    std::size_t differing = 0;
    std::string shown;
    const std::vector<HandEditedIni> files = test::HandEditedInis(kSeed, kFiles);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto differs = [&](const std::string& text) {
            const std::string path = NextPath();
            WriteBytes(path, text);
            const auto dumps = ReadDumps(path, text);
            return dumps.first != dumps.second;
        };
        if (!differs(files[i].text)) {
            continue;
        }
        if (differing++ < kShown) {
            const std::string smallest = Smallest(files[i].text, differs);
            const std::string path = NextPath();
            WriteBytes(path, smallest);
            const auto dumps = ReadDumps(path, smallest);
            shown += "file:\n" + Visible(smallest) + "\nprofile functions:\n" +
                     Visible(dumps.first) + "engine:\n" + Visible(dumps.second) + "\n";
        }
    }
    Report("read differently", differing, shown);
}

// A file as a reader sees it: its headers and key lines in order, each
// without the blanks around its parts, one line end. The profile functions
// write the whole file afresh in this shape, where the engine keeps the
// lines it does not change as they were. What stands in a section without
// a name (above the first header, or below "[]") is left out: nothing asks
// for it, and their rewrite drops some of it. So are keys without a name,
// which the engine does not list and their rewrite keeps once per section.
std::string ReaderShape(std::string_view text, bool* namelessHeader = nullptr)
{
    std::string shape;
    bool named = false;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        const std::string_view line = TrimBlanks(text.substr(start, end - start));
        start = end + 1;
        const std::size_t close = line.rfind(']');
        const std::size_t equals = line.find('=');
        if (line.starts_with(';')) {
            continue;
        }
        if (line.starts_with('[') && close != std::string_view::npos) {
            const std::string_view name = TrimBlanks(line.substr(1, close - 1));
            named = !name.empty();
            if (!named && namelessHeader != nullptr) {
                *namelessHeader = true;
            }
            if (named) {
                shape += "[" + std::string(name) + "]\n";
            }
        } else if (named && equals != std::string_view::npos &&
                   !TrimBlanks(line.substr(0, equals)).empty()) {
            shape += std::string(TrimBlanks(line.substr(0, equals))) + "=" +
                     std::string(TrimBlanks(line.substr(equals + 1))) + "\n";
        }
    }
    return shape;
}

bool HoldsSection(const std::string& path, const std::string& section)
{
    std::vector<char> buffer(kListBuffer);
    const DWORD length = GetPrivateProfileSectionNamesA(buffer.data(), kListBuffer, path.c_str());
    const std::vector<std::string> names = SplitList(buffer, length);
    return std::any_of(names.begin(), names.end(), [&](const std::string& name) {
        return EqualsIgnoringCase(name, TrimBlanks(section));
    });
}

// The file the profile functions write and the one the engine writes. An
// erase is repeated until no section of the name is left, as the engine
// erases them all.
std::pair<std::string, std::string> Written(const std::string& path, const HandEditedIni& file)
{
    const test::ProfileWrite& write = file.write;
    WriteBytes(path, file.text);
    IniDocument ini = IniDocument::Parse(file.text);
    if (write.key) {
        WritePrivateProfileStringA(write.section.c_str(), write.key->c_str(), write.value.c_str(),
                                   path.c_str());
        ini.WriteString(write.section, *write.key, write.value);
    } else {
        for (int i = 0; i < 20 && HoldsSection(path, write.section); ++i) {
            WritePrivateProfileStringA(write.section.c_str(), nullptr, nullptr, path.c_str());
        }
        ini.EraseSection(write.section);
    }
    return {ReadBytes(path), ini.Serialize()};
}

std::pair<std::string, std::string> WrittenShapes(const std::string& path,
                                                  const HandEditedIni& file)
{
    const auto written = Written(path, file);
    return {ReaderShape(written.first), ReaderShape(written.second)};
}

// Their rewrite files the keys below a "[]" under the section above it; the
// engine leaves those lines where they are.
bool HoldsNamelessHeader(const std::string& text)
{
    bool namelessHeader = false;
    ReaderShape(text, &namelessHeader);
    return namelessHeader;
}

TEST_F(IniProfileMatch, WritesIntoHandEditedFilesGiveTheSameFile)
{
    std::size_t differing = 0;
    std::string shown;
    const std::vector<HandEditedIni> files = test::HandEditedInis(kSeed, kFiles);
    for (const HandEditedIni& file : files) {
        if (HoldsNamelessHeader(file.text)) {
            continue;
        }
        const auto shapes = WrittenShapes(NextPath(), file);
        if (shapes.first == shapes.second || differing++ >= kShown) {
            continue;
        }
        const test::ProfileWrite& write = file.write;
        const HandEditedIni smallest{
            Smallest(file.text,
                     [&](const std::string& text) {
                         const auto again = WrittenShapes(NextPath(), {text, write});
                         return again.first != again.second;
                     }),
            write};
        const auto again = WrittenShapes(NextPath(), smallest);
        shown += "file:\n" + Visible(smallest.text) + "\nwrite [" + write.section + "] <" +
                 write.key.value_or("(erase)") + "> = <" + write.value + ">\nprofile functions:\n" +
                 Visible(again.first) + "engine:\n" + Visible(again.second) + "\n";
    }
    Report("written differently", differing, shown);
}

std::string CrLf(const std::string& lines)
{
    std::string text;
    for (const char c : lines) {
        text += c == '\n' ? "\r\n" : std::string(1, c);
    }
    return text;
}

// A file in the very shape the profile functions write (their own output
// after the first write) takes a second write byte for byte as they do it:
// same place, same spelling, same line ends.
TEST_F(IniProfileMatch, WritesIntoTheirOwnFilesGiveTheSameBytes)
{
    std::size_t differing = 0;
    std::string shown;
    const std::vector<HandEditedIni> files = test::HandEditedInis(kSeed, kFiles);
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (HoldsNamelessHeader(files[i].text)) {
            continue;
        }
        // Written as the program writes: no blanks around the name or the
        // value (they spell those differently for a new key and an old one,
        // and a read drops them either way).
        HandEditedIni own{CrLf(ReaderShape(files[i].text)), files[(i + 1) % files.size()].write};
        if (own.write.key) {
            own.write.key = std::string(TrimBlanks(*own.write.key));
            own.write.value = std::string(TrimBlanks(own.write.value));
        }
        // A new file takes the engine's own line end (see ini_document.h).
        if (own.text.empty()) {
            continue;
        }
        const auto written = Written(NextPath(), own);
        if (written.first != written.second && differing++ < kShown) {
            shown += "file:\n" + Visible(own.text) + "\nwrite [" + own.write.section + "] <" +
                     own.write.key.value_or("(erase)") + "> = <" + own.write.value +
                     ">\nprofile functions:\n" + Visible(written.first) + "\nengine:\n" +
                     Visible(written.second) + "\n";
        }
    }
    Report("written to other bytes", differing, shown);
}

} // namespace
} // namespace pelmora
