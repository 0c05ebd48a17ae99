#pragma once

#include <string>

#include "core/monitor/probing/reply_status.h"

namespace pelmora::test {

// One line with every reply status item but the round-trip time, e.g.
// "EchoReply from 127.0.0.1, TTL 64, 72 bytes, type 0, sequence 3489", so
// that a test compares a whole status at once and a failure shows all of it.
std::string Describe(const TReplyStatus& status);

} // namespace pelmora::test
