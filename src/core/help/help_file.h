#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// The program's own help file, Help/PELMORA.HLP in its data folder: UTF-8
// text made of topics, each under a header "[number] Title". The number is
// the help context that opens the topic. docs/help-format.md describes the
// whole format.

// A run of text inside a block; a cross-reference leads to another topic.
struct HelpSpan {
    std::string text;
    int link = 0; // the topic it leads to; 0 for plain text

    bool operator==(const HelpSpan&) const = default;
};

enum class HelpBlockKind {
    Paragraph,
    Bullet,  // one item of a bulleted list
    Literal, // lines shown exactly as written, in a fixed-width font
};

struct HelpBlock {
    HelpBlockKind kind = HelpBlockKind::Paragraph;
    // A literal block holds one plain span: its lines joined by '\n'.
    std::vector<HelpSpan> spans;
};

struct HelpTopic {
    int number = 0;
    std::string title;
    std::vector<HelpBlock> blocks;
};

// Something in the file that the parser had to skip or guess at. The viewer
// ignores these; they are there for whoever writes the file.
struct HelpProblem {
    std::size_t line = 0; // counted from 1
    std::string message;
};

struct HelpFile {
    std::map<int, HelpTopic> topics;
    std::vector<HelpProblem> problems;

    // The topic with this number, or null.
    const HelpTopic* Find(int number) const;
};

// Reads the text of a help file. Never fails: whatever cannot be read as a
// topic is skipped and reported in `problems`.
HelpFile ParseHelpFile(std::string_view text);

// The help file read from disk; nothing when it is missing, unreadable or
// larger than any help file we would ship (kMaxHelpFileBytes).
std::optional<HelpFile> LoadHelpFile(const std::filesystem::path& file);

inline constexpr std::uintmax_t kMaxHelpFileBytes = std::uintmax_t{4} * 1024 * 1024;

// Help/PELMORA.HLP in the executable's folder.
std::filesystem::path HelpFilePath();

} // namespace pelmora
