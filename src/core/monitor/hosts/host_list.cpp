#include "core/monitor/hosts/host_list.h"

#include <utility>

namespace pelmora {

void HostList::Clear()
{
    entries_.clear();
    if (observer_ != nullptr) {
        observer_->HostListReset();
    }
}

HostEntry& HostList::Append(std::string target, std::string proxy)
{
    entries_.push_back(std::make_unique<HostEntry>(std::move(target), std::move(proxy)));
    if (observer_ != nullptr) {
        observer_->HostAppended(entries_.size() - 1);
    }
    return *entries_.back();
}

const HostEntry* HostList::At(std::size_t index) const
{
    return index < entries_.size() ? entries_[index].get() : nullptr;
}

void HostList::SetState(std::size_t index, HostState state)
{
    if (index >= entries_.size()) {
        return;
    }
    entries_[index]->SetState(state);
    if (observer_ != nullptr) {
        observer_->HostStateChanged(index);
    }
}

void HostList::SetLastRoundTrip(std::size_t index,
                                std::optional<std::chrono::microseconds> roundTrip)
{
    if (index >= entries_.size() || entries_[index]->LastRoundTrip() == roundTrip) {
        return;
    }
    entries_[index]->SetLastRoundTrip(roundTrip);
    if (observer_ != nullptr) {
        observer_->HostRoundTripChanged(index);
    }
}

void HostList::SetDownSince(std::size_t index,
                            std::optional<std::chrono::steady_clock::time_point> since)
{
    if (index < entries_.size()) {
        entries_[index]->SetDownSince(since);
    }
}

void HostList::SetAllDown()
{
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        SetState(i, HostState::Down);
        SetLastRoundTrip(i, std::nullopt);
        SetDownSince(i, std::nullopt);
    }
}

} // namespace pelmora
