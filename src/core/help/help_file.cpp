#include "core/help/help_file.h"

#include <charconv>

#include "core/base/app_paths.h"
#include "core/base/char_class.h"
#include "core/base/file_text.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A topic number: decimal digits only, 1 or more (0 means "no help context").
std::optional<int> TopicNumber(std::string_view digits)
{
    if (digits.empty()) {
        return std::nullopt;
    }
    for (const char c : digits) {
        if (!IsAsciiDigit(c)) {
            return std::nullopt;
        }
    }
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc{} || end != digits.data() + digits.size() || number <= 0) {
        return std::nullopt;
    }
    return number;
}

void AppendPlain(HelpBlock& block, std::string_view text)
{
    if (text.empty()) {
        return;
    }
    if (block.spans.empty() || block.spans.back().link != 0) {
        block.spans.push_back(HelpSpan{});
    }
    block.spans.back().text += text;
}

// Reads the file line by line into topics, remembering every
// cross-reference so that dead ones can be reported once all topics exist.
class Parser {
public:
    explicit Parser(HelpFile& file) : file_(file) {}

    void Line(std::size_t number, std::string_view line)
    {
        line_ = number;
        line = TrimEnd(line, IsBlankOrCr);
        if (line.starts_with(';')) {
            return;
        }
        if (line.starts_with('[')) {
            Header(line);
            return;
        }
        if (skipping_) {
            return;
        }
        const std::string_view text = TrimStart(line, IsBlankOrCr);
        if (text.empty()) {
            open_ = false;
            return;
        }
        if (topic_ == nullptr) {
            if (!outsideReported_) {
                Problem("text before the first topic header is ignored");
                outsideReported_ = true;
            }
            return;
        }
        if (text.starts_with('|')) {
            Literal(text.substr(text.starts_with("| ") ? 2 : 1));
        } else if (text.starts_with("- ")) {
            topic_->blocks.push_back(HelpBlock{HelpBlockKind::Bullet, {}});
            AddText(TrimStart(text.substr(2), IsBlankOrCr));
        } else if (open_ && topic_->blocks.back().kind != HelpBlockKind::Literal) {
            AppendPlain(topic_->blocks.back(), " ");
            AddText(text);
        } else {
            topic_->blocks.push_back(HelpBlock{HelpBlockKind::Paragraph, {}});
            AddText(text);
        }
        open_ = true;
    }

    void Finish()
    {
        for (const Reference& reference : references_) {
            if (file_.Find(reference.to) == nullptr) {
                line_ = reference.line;
                Problem("topic " + std::to_string(reference.from) + " refers to topic " +
                        std::to_string(reference.to) + ", which does not exist");
            }
        }
        for (auto& [number, topic] : file_.topics) {
            for (HelpBlock& block : topic.blocks) {
                ResolveLinks(block);
            }
        }
    }

private:
    struct Reference {
        std::size_t line;
        int from;
        int to;
    };

    void Problem(std::string message)
    {
        file_.problems.push_back(HelpProblem{line_, std::move(message)});
    }

    void Header(std::string_view line)
    {
        topic_ = nullptr;
        open_ = false;
        skipping_ = true;
        const std::size_t close = line.find(']');
        const std::optional<int> number =
            close == std::string_view::npos ? std::nullopt : TopicNumber(line.substr(1, close - 1));
        if (!number) {
            Problem("not a topic header (\"[number] Title\"); the lines up to the next header "
                    "are skipped");
            return;
        }
        if (file_.topics.contains(*number)) {
            Problem("topic " + std::to_string(*number) + " appears twice; the first one stands");
            return;
        }
        HelpTopic& topic = file_.topics[*number];
        topic.number = *number;
        topic.title = std::string(Trim(line.substr(close + 1), IsBlankOrCr));
        if (topic.title.empty()) {
            Problem("topic " + std::to_string(*number) + " has no title");
        }
        topic_ = &topic;
        skipping_ = false;
    }

    void Literal(std::string_view text)
    {
        if (open_ && topic_->blocks.back().kind == HelpBlockKind::Literal) {
            topic_->blocks.back().spans.back().text += '\n';
            topic_->blocks.back().spans.back().text += text;
            return;
        }
        topic_->blocks.push_back(
            HelpBlock{HelpBlockKind::Literal, {HelpSpan{std::string(text), 0}}});
    }

    // Text with cross-references "{N}" and "{N|label}" into the last block.
    void AddText(std::string_view text)
    {
        HelpBlock& block = topic_->blocks.back();
        std::size_t plainStart = 0;
        std::size_t at = 0;
        while ((at = text.find('{', at)) != std::string_view::npos) {
            if (at + 1 >= text.size() || !IsAsciiDigit(text[at + 1])) {
                ++at;
                continue;
            }
            const std::size_t close = text.find('}', at);
            const std::string_view inside = close == std::string_view::npos
                                                ? std::string_view{}
                                                : text.substr(at + 1, close - at - 1);
            const std::size_t bar = inside.find('|');
            const std::optional<int> target = TopicNumber(inside.substr(0, bar));
            if (!target) {
                Problem("broken cross-reference; write {number} or {number|text}");
                ++at;
                continue;
            }
            AppendPlain(block, text.substr(plainStart, at - plainStart));
            const std::string_view label = bar == std::string_view::npos
                                               ? std::string_view{}
                                               : Trim(inside.substr(bar + 1), IsBlankOrCr);
            block.spans.push_back(HelpSpan{std::string(label), *target});
            references_.push_back(Reference{line_, topic_->number, *target});
            at = close + 1;
            plainStart = at;
        }
        AppendPlain(block, text.substr(plainStart));
    }

    // A reference without its own text shows the target's title; one whose
    // target is missing becomes plain text, so the viewer shows no dead link.
    void ResolveLinks(HelpBlock& block) const
    {
        std::vector<HelpSpan> spans;
        for (HelpSpan& span : block.spans) {
            if (span.link != 0) {
                const HelpTopic* target = file_.Find(span.link);
                if (span.text.empty()) {
                    span.text = target != nullptr && !target->title.empty()
                                    ? target->title
                                    : "topic " + std::to_string(span.link);
                }
                if (target == nullptr) {
                    span.link = 0;
                }
            }
            if (span.link == 0 && !spans.empty() && spans.back().link == 0) {
                spans.back().text += span.text;
            } else {
                spans.push_back(std::move(span));
            }
        }
        block.spans = std::move(spans);
    }

    HelpFile& file_;
    HelpTopic* topic_ = nullptr; // the topic that takes the lines, null outside any
    bool skipping_ = false;      // after a bad or repeated header, until the next good one
    bool open_ = false;          // the next text line continues the last block
    bool outsideReported_ = false;
    std::size_t line_ = 0;
    std::vector<Reference> references_;
};

} // namespace

const HelpTopic* HelpFile::Find(int number) const
{
    const auto found = topics.find(number);
    return found == topics.end() ? nullptr : &found->second;
}

HelpFile ParseHelpFile(std::string_view text)
{
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    HelpFile file;
    Parser parser(file);
    std::size_t number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        parser.Line(++number, text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    parser.Finish();
    return file;
}

std::optional<HelpFile> LoadHelpFile(const fs::path& file)
{
    const std::optional<std::string> text = ReadFileText(file, kMaxHelpFileBytes);
    if (!text) {
        return std::nullopt;
    }
    return ParseHelpFile(*text);
}

fs::path HelpFilePath()
{
    return DataDir() / "Help" / "PELMORA.HLP";
}

} // namespace pelmora
