#pragma once

#include <string>

namespace pelmora {

// How much of the event log is kept: the newest lines up to a limit and,
// once older ones went, a first line that says how many went in all.
class LogBound {
public:
    // Enough for months of a flapping host at a few hundred bytes a line.
    static constexpr int kDefaultLineLimit = 10000;

    // A limit below 1 keeps one line.
    explicit LogBound(int lineLimit = kDefaultLineLimit);

    int LineLimit() const { return lineLimit_; }
    int DroppedLines() const { return dropped_; }
    // Whether the log starts with the dropped-lines line.
    bool HasNotice() const { return dropped_ > 0; }

    // How many of the oldest of `lines` log lines (the dropped-lines line not
    // counted) have to go: those beyond the limit, else none.
    int Excess(int lines) const;
    // The oldest `count` lines went.
    void Dropped(int count);
    // The dropped-lines line: the "LogDropped" text of the current language,
    // a blank and the count.
    std::string Notice() const;

private:
    int lineLimit_;
    int dropped_ = 0;
};

} // namespace pelmora
