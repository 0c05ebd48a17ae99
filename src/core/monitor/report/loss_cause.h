#pragma once

#include <optional>
#include <string>

#include "core/monitor/probing/probe_job.h"

namespace pelmora {

// Why a probe found its host gone, for the event log: a message key of the
// user's language and the text that stands for %1 in it.
struct LossCause {
    std::string key;
    std::string argument;

    bool operator==(const LossCause&) const = default;
};

// The cause of a failed probe of `kind` that ended with `answer`. Nothing
// for failures the user is told no cause of (a reset connection, an answer
// that is no HTTP): the trace of pelmora-check --verbose has their text.
std::optional<LossCause> ClassifyLoss(ProbeKind kind, const ProbeAnswer& answer);

} // namespace pelmora
