#include "core/config/ini_document.h"

#include <limits>
#include <unordered_map>

#include "core/base/char_class.h"

namespace pelmora {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerCopy(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        c = LowerAscii(c);
    }
    return lower;
}

std::string ProcessValue(std::string_view raw)
{
    std::string_view value = Trim(raw, IsLineSpace);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, IniDocument::kMaxValueLength));
}

// A value or name that holds a line break would split its line in two and
// plant a line of its own in the file; blanks take the breaks' places.
std::string OneLine(std::string_view text)
{
    std::string line(text);
    for (char& c : line) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return line;
}

std::optional<std::uint32_t> ParseDigits(std::string_view digits, unsigned base)
{
    if (digits.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : digits) {
        unsigned digit = 0;
        if (IsAsciiDigit(c)) {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && LowerAscii(c) >= 'a' && LowerAscii(c) <= 'f') {
            digit = static_cast<unsigned>(LowerAscii(c) - 'a' + 10);
        } else {
            return std::nullopt;
        }
        value = value * base + digit;
        if (value > std::numeric_limits<std::uint32_t>::max()) {
            return std::nullopt;
        }
    }
    return static_cast<std::uint32_t>(value);
}

} // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::optional<std::int32_t> ParseProfileInteger(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::int64_t value = 0;
    if (text.starts_with('$') || text.starts_with("0x") || text.starts_with("0X")) {
        // Hexadecimal gives the 32-bit pattern, so $FFFFFFFF is -1.
        const auto bits = ParseDigits(text.substr(text.front() == '$' ? 1 : 2), 16);
        if (!bits) {
            return std::nullopt;
        }
        value = static_cast<std::int32_t>(*bits);
    } else {
        const auto digits = ParseDigits(text, 10);
        if (!digits) {
            return std::nullopt;
        }
        value = *digits;
    }
    value = negative ? -value : value;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

IniDocument IniDocument::Parse(std::string_view text)
{
    IniDocument document;
    // Left on the first line, it would hide a first "[HostList]" header.
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
        document.byteOrderMark_ = true;
    }
    bool styleKnown = false;
    std::size_t start = 0;
    while (start < text.size()) {
        // A CR alone ends a line too, as the profile functions read it.
        const std::size_t lineBreak = text.find_first_of("\r\n", start);
        Line line;
        std::string_view raw =
            text.substr(start, lineBreak == std::string_view::npos ? std::string_view::npos
                                                                   : lineBreak - start);
        std::size_t next = text.size();
        if (lineBreak != std::string_view::npos) {
            line.end = text.substr(lineBreak, 1);
            if (text.substr(lineBreak, 2) == "\r\n") {
                line.end = "\r\n";
            }
            next = lineBreak + line.end.size();
            if (!styleKnown) {
                document.lineEnd_ = line.end;
                styleKnown = true;
            }
        }
        line.text = std::string(raw);
        ClassifyLine(line);
        document.lines_.push_back(std::move(line));
        start = next;
    }
    return document;
}

void IniDocument::ClassifyLine(Line& line)
{
    const std::string_view content = Trim(line.text, IsLineSpace);
    if (content.starts_with(';')) {
        return;
    }
    // A header's name runs to the last "]" of its line: "[View]]" names
    // "View]". Without any "]" the line is no header, so a stray "[broken"
    // leaves the section it stands in going on.
    const std::size_t close = content.rfind(']');
    if (content.starts_with('[') && close != std::string_view::npos) {
        line.kind = LineKind::Section;
        line.name = std::string(Trim(content.substr(1, close - 1), IsLineSpace));
        return;
    }
    const std::size_t equals = content.find('=');
    if (equals != std::string_view::npos) {
        line.kind = LineKind::Key;
        line.name = std::string(Trim(content.substr(0, equals), IsLineSpace));
    }
}

std::string IniDocument::Serialize() const
{
    std::size_t size = kByteOrderMark.size();
    for (const Line& line : lines_) {
        size += line.text.size() + line.end.size();
    }
    std::string text;
    text.reserve(size);
    if (byteOrderMark_) {
        text += kByteOrderMark;
    }
    for (const Line& line : lines_) {
        text += line.text;
        text += line.end;
    }
    return text;
}

std::optional<std::size_t> IniDocument::FindSection(std::string_view section) const
{
    const std::string_view wanted = Trim(section, IsLineSpace);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Section && EqualsIgnoringCase(lines_[i].name, wanted)) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t IniDocument::SectionEnd(std::size_t header) const
{
    std::size_t end = header + 1;
    while (end < lines_.size() && lines_[end].kind != LineKind::Section) {
        ++end;
    }
    return end;
}

std::optional<std::string> IniDocument::Value(std::string_view section, std::string_view key) const
{
    const auto header = FindSection(section);
    if (!header) {
        return std::nullopt;
    }
    const std::string_view wanted = Trim(key, IsLineSpace);
    const std::size_t end = SectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        const Line& line = lines_[i];
        if (line.kind == LineKind::Key && EqualsIgnoringCase(line.name, wanted)) {
            return ProcessValue(std::string_view(line.text).substr(line.text.find('=') + 1));
        }
    }
    return std::nullopt;
}

std::string IniDocument::ReadString(std::string_view section, std::string_view key,
                                    std::string_view fallback) const
{
    auto value = Value(section, key);
    return value ? std::move(*value) : std::string(fallback);
}

std::int32_t IniDocument::ReadInteger(std::string_view section, std::string_view key,
                                      std::int32_t fallback) const
{
    const auto value = Value(section, key);
    if (!value) {
        return fallback;
    }
    return ParseProfileInteger(*value).value_or(fallback);
}

bool IniDocument::ReadBool(std::string_view section, std::string_view key, bool fallback) const
{
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

std::vector<std::pair<std::string, std::string>>
IniDocument::Entries(std::string_view section) const
{
    std::vector<std::pair<std::string, std::string>> entries;
    const auto header = FindSection(section);
    if (!header) {
        return entries;
    }
    const std::size_t end = SectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        const Line& line = lines_[i];
        // A key without a name would end the profile functions' listing
        // and hide the hosts below it; here it is skipped.
        if (line.kind == LineKind::Key && !line.name.empty()) {
            entries.emplace_back(line.name, ProcessValue(std::string_view(line.text).substr(
                                                line.text.find('=') + 1)));
        }
    }
    return entries;
}

std::vector<std::string> IniDocument::KeyNames(std::string_view section) const
{
    std::vector<std::string> names;
    for (auto& [name, value] : Entries(section)) {
        names.push_back(std::move(name));
    }
    return names;
}

IniDocument::Line IniDocument::MakeKeyLine(std::string_view key, std::string_view value) const
{
    Line line;
    line.kind = LineKind::Key;
    line.name = OneLine(Trim(key, IsLineSpace));
    line.text = line.name + "=" + OneLine(value);
    line.end = lineEnd_;
    return line;
}

std::size_t IniDocument::AppendSection(std::string_view section)
{
    if (!lines_.empty() && lines_.back().end.empty()) {
        lines_.back().end = lineEnd_;
    }
    Line header;
    header.kind = LineKind::Section;
    header.name = OneLine(Trim(section, IsLineSpace));
    header.text = "[" + header.name + "]";
    header.end = lineEnd_;
    lines_.push_back(std::move(header));
    return lines_.size() - 1;
}

void IniDocument::WriteString(std::string_view section, std::string_view key,
                              std::string_view value)
{
    WriteStrings(section, {{std::string(key), std::string(value)}});
}

void IniDocument::WriteStrings(std::string_view section,
                               const std::vector<std::pair<std::string, std::string>>& values)
{
    if (values.empty()) {
        return;
    }
    const auto existing = FindSection(section);
    const std::size_t header = existing ? *existing : AppendSection(section);
    const std::size_t end = SectionEnd(header);

    // The first key of each name within the section, by lower-cased name.
    std::unordered_map<std::string, std::size_t> keys;
    std::size_t lastKey = header;
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind == LineKind::Key) {
            keys.emplace(LowerCopy(lines_[i].name), i);
            lastKey = i;
        }
    }

    std::vector<Line> added;
    for (const auto& [key, value] : values) {
        const std::string lower = LowerCopy(Trim(key, IsLineSpace));
        if (const auto found = keys.find(lower); found != keys.end()) {
            Line& line = found->second < end ? lines_[found->second] : added[found->second - end];
            line.text = line.name + "=" + OneLine(value);
        } else {
            keys.emplace(lower, end + added.size());
            added.push_back(MakeKeyLine(key, value));
        }
    }
    if (!added.empty()) {
        if (lastKey + 1 == lines_.size() && lines_.back().end.empty()) {
            lines_.back().end = lineEnd_;
        }
        // New keys land after the last key; comments and blank lines that
        // followed it in the section now follow the new keys.
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastKey + 1),
                      std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
    }
}

void IniDocument::EraseSection(std::string_view section)
{
    // Every section of the name goes, not just the first, so that a host
    // list written afresh cannot meet the keys of a second "[hostlist]".
    while (const auto header = FindSection(section)) {
        const std::size_t end = SectionEnd(*header);
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(end));
    }
}

} // namespace pelmora
