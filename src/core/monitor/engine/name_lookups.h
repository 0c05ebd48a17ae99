#pragma once

#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/monitor/net/ip_address.h"

namespace pelmora {

// The answer to one lookup: the first address, or nothing when the name does
// not resolve.
struct LookupAnswer {
    std::size_t entry = 0;
    std::uint64_t ticket = 0;
    std::optional<IpAddress> address;
};

// Name lookups that run beside the caller, through the system resolver
// (getaddrinfo, so /etc/hosts, mDNS and every other nsswitch source keep
// working). They run on a small fixed set of threads that the whole process
// shares and that never end, so a lookup that hangs holds up one of those
// threads and nothing else: whoever asked may stop waiting for it at any
// time, and may even be gone when it ends, since the threads hold the
// answers' mailbox by shared ownership.
class NameLookups {
public:
    NameLookups();
    NameLookups(const NameLookups&) = delete;
    NameLookups& operator=(const NameLookups&) = delete;
    ~NameLookups();

    // Readable while answers wait to be taken.
    int Fd() const;
    // Looks `name` up; the answer carries `entry` and `ticket`.
    void Start(std::size_t entry, std::uint64_t ticket, const std::string& name);
    // The answers that came in since the last call.
    std::vector<LookupAnswer> Take();
    // Drops every lookup started so far: their answers never arrive, and
    // those not yet begun are not made at all.
    void AbandonAll();

    struct Mailbox;

private:
    std::shared_ptr<Mailbox> mailbox_;
};

} // namespace pelmora
