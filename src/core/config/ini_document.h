#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelmora {

// An INI text held line by line, read and changed by the rules of the
// classic profile functions, so that a file edited by hand keeps every line
// the program does not touch:
// - section and key names match without regard to case;
// - a header's name runs to the last "]" of its line; a line that begins
//   with "[" but holds no "]" is no header, and a key line when it has "=";
// - a line ends at LF, CR LF or a CR alone; a line whose first non-blank
//   character is ";" is a comment ("#" is not);
// - a value loses the blanks around it and one pair of enclosing quotes, and
//   at most 2,047 characters of it are returned;
// - a write replaces an existing key's value in place, or adds the key after
//   the last key of its section, or adds the section at the end;
// - erasing a section removes its header and everything up to the next one;
// - a UTF-8 byte order mark that an editor put before the first line is no
//   part of it, and is written back as it was found.
// The first section of a name is the one that counts, as is the first key of
// a name within it.
//
// Where it parts from the profile functions, on purpose:
// - Entries gives each key line its own value, so two lines of one name are
//   two hosts (the profile functions read the first line's value twice);
// - the key listing skips a key without a name, which would end theirs, and
//   is not cut at 16,384 bytes: no host below either is lost;
// - erasing removes every section of the name, not only the first;
// - a write leaves every other line as it was, blanks, comments and line
//   ends included, where they write the whole file afresh; it spells the
//   key name without blanks around it and the value as given;
// - a new file's lines end in LF on every system, as the engine is the same
//   everywhere (they write CR LF);
// - keys above the first header belong to no section: nothing asks for a
//   section without a name.
class IniDocument {
public:
    static constexpr std::size_t kMaxValueLength = 2047;

    static IniDocument Parse(std::string_view text);
    std::string Serialize() const;

    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t fallback) const;
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

    // Every key line of the section in file order, with its own value.
    std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;
    std::vector<std::string> KeyNames(std::string_view section) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    // The same as one WriteString per pair, in order, in one pass.
    void WriteStrings(std::string_view section,
                      const std::vector<std::pair<std::string, std::string>>& values);
    void EraseSection(std::string_view section);

private:
    enum class LineKind : std::uint8_t { Other, Section, Key };
    struct Line {
        std::string text; // without its line end
        LineKind kind = LineKind::Other;
        std::string name; // trimmed section or key name
        std::string end;  // its own line end as read: "\r\n", "\n" or none
    };

    static void ClassifyLine(Line& line);
    std::optional<std::size_t> FindSection(std::string_view section) const;
    std::size_t SectionEnd(std::size_t header) const;
    std::size_t AppendSection(std::string_view section);
    Line MakeKeyLine(std::string_view key, std::string_view value) const;

    std::vector<Line> lines_;
    // For lines the program adds: the style of the file's first line end.
    std::string lineEnd_ = "\n";
    bool byteOrderMark_ = false;
};

// Profile notation of a whole number: an optional sign, then decimal digits,
// or hexadecimal digits after "$" or "0x". Anything else is no number.
std::optional<std::int32_t> ParseProfileInteger(std::string_view text);

bool EqualsIgnoringCase(std::string_view a, std::string_view b);

} // namespace pelmora
