#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/monitor/probing/reply_status.h"

namespace pelmora {

// The data of our echo request after the ICMP header Windows builds itself:
// the same 44 bytes the raw socket sends after its own header.
constexpr std::size_t kEchoDataSize = 44;

enum class EchoFamily : std::uint8_t { V4, V6 };

// What iphlpapi handed back for one completed echo request. Windows keeps
// the datagram itself to itself: it tells the outcome as an IP_STATUS code,
// the replying (or reporting) address and, for IPv4, the reply's TTL, IP
// options and echoed data.
struct EchoCompletion {
    EchoFamily family = EchoFamily::V4;
    unsigned long ipStatus = 0;
    std::string source;
    // IPv4 only; Icmp6ParseReplies reports no hop limit.
    std::uint8_t ttl = 0;
    std::uint32_t optionsSize = 0;
    std::uint32_t dataSize = 0;
};

// The reply status a completion stands for, with the fields as the raw
// socket would have filled them: an echo reply, a destination-unreachable
// or time-exceeded report (with the ICMP type of the family), or the
// timeout status. The byte count includes the IP header; for a report it
// counts the whole request quoted, as routers quote it, since Windows does
// not hand the report over. Nothing for any other IP_STATUS, which is a
// failure of the request and not an answer.
std::optional<TReplyStatus> ReplyStatusOf(const EchoCompletion& completion, std::uint16_t sequence);

// Dotted decimal of an IPv4 address held in network byte order.
std::string Ipv4Text(std::uint32_t networkOrder);

} // namespace pelmora
