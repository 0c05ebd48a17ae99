#include "core/shell/overall_status.h"

#include <string_view>
#include <utility>

#include "core/i18n/languages.h"

namespace pelmora {
namespace {

// Every `placeholder` in `text` becomes `value`; the scan goes on after each
// value, so a value is never searched itself.
std::string ReplaceAll(std::string text, std::string_view placeholder, const std::string& value)
{
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size())) {
        text.replace(at, placeholder.size(), value);
    }
    return text;
}

constexpr std::string_view kDownKey = "HostsDown";

} // namespace

OverallStatus::OverallStatus() : downTemplate_(MessageText(kDownKey)) {}

void OverallStatus::SetHint(std::string hint)
{
    hint_ = std::move(hint);
    downTemplate_ = MessageText(kDownKey);
}

void OverallStatus::Reset()
{
    states_.clear();
    down_ = 0;
}

void OverallStatus::Appended(HostState state)
{
    states_.push_back(state);
    down_ += state == HostState::Down ? 1 : 0;
}

void OverallStatus::Changed(std::size_t index, HostState state)
{
    if (index >= states_.size() || states_[index] == state) {
        return;
    }
    states_[index] = state;
    if (state == HostState::Down) {
        ++down_;
    } else {
        --down_;
    }
}

TrayState OverallStatus::State() const
{
    if (!running_) {
        return TrayState::Stopped;
    }
    return down_ > 0 ? TrayState::SomeDown : TrayState::AllUp;
}

std::string OverallStatus::Tooltip() const
{
    if (State() != TrayState::SomeDown) {
        return hint_;
    }
    const std::string counts = ReplaceAll(ReplaceAll(downTemplate_, "%1", std::to_string(down_)),
                                          "%2", std::to_string(states_.size()));
    return hint_.empty() ? counts : hint_ + '\n' + counts;
}

} // namespace pelmora
