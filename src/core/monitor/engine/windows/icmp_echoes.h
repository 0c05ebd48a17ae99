#pragma once

// winsock2.h must come before windows.h, winternl.h after it.
#include <winsock2.h>

#include <windows.h>
#include <ws2tcpip.h>

#include <winternl.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "core/monitor/probing/reply_status.h"

namespace pelmora {

// How one echo request ended.
struct EchoOutcome {
    std::size_t entry = 0;
    std::uint16_t sequence = 0;
    // The Win32 or IP_STATUS code of a request that could not be sent or
    // ended in an error that is no answer; 0 when `reply` holds its end.
    unsigned long failure = 0;
    // An answer, a report, or the timeout status. RoundTripMs counts from
    // the send to the completion.
    TReplyStatus reply;
    // From the send to the completion, for an answer or a report only.
    std::optional<std::chrono::microseconds> roundTrip;
};

// The echo requests of a cycle without administrator rights: every request
// goes out at once through IcmpSendEcho2 (Icmp6SendEcho2 for IPv6) over one
// handle per family, each with its own budget, and completes by an APC.
//
// The wait. Windows runs a request's completion only on the thread that sent
// it, and only while that thread is in an alertable wait. So all sending
// and all waiting happen on one thread, and Wait is that wait: one
// WaitForMultipleObjectsEx with bAlertable set, which also takes the
// caller's own handles (the stop event, the event its sockets are bound to
// with WSAEventSelect, a mailbox's event), so the engine still waits in one
// place for everything and the completions run inside it.
//
// The memory. Each request owns its reply buffer, which iphlpapi writes to
// until the completion runs; the buffer is freed only after that, and the
// completion runs for every request sent (answer, report, timeout or
// cancel). Abandon closes the handles, which on Windows cuts the requests
// short (Wine lets them run to their budget), and keeps the records until
// their completions come. Destroyed with requests still out, the object
// leaves their records to free themselves when their completions run.
class IcmpEchoes {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::uint16_t kFirstSequence = 3489;
    static constexpr std::uint8_t kTimeToLive = 128;
    // MAXIMUM_WAIT_OBJECTS.
    static constexpr std::size_t kMostWaitHandles = 64;

    explicit IcmpEchoes(std::chrono::milliseconds budget = std::chrono::milliseconds(1500));
    IcmpEchoes(const IcmpEchoes&) = delete;
    IcmpEchoes& operator=(const IcmpEchoes&) = delete;
    ~IcmpEchoes();

    // Sends the echo request of list entry `entry` and returns its sequence
    // number, which its outcome carries. Nothing, with nothing sent, while
    // every sequence number is taken by a request still out. A request that
    // cannot be sent (no handle for its family, the call refused) ends at
    // once with an outcome whose `failure` tells why. Wine takes at most 256
    // requests at once and ends the others, soon after, with
    // ERROR_NOT_ENOUGH_MEMORY.
    std::optional<std::uint16_t> Send(std::size_t entry, const in_addr& destination);
    std::optional<std::uint16_t> Send(std::size_t entry, const in6_addr& destination);

    // Waits until a request has ended, one of `handles` (at most
    // kMostWaitHandles) is signalled, or `timeout` has passed, running
    // completions meanwhile, and returns the index of a signalled handle.
    // Returns at once while outcomes wait to be taken, and may return early
    // when only abandoned requests completed. Throws std::system_error when
    // the wait itself fails.
    std::optional<std::size_t> Wait(std::span<const HANDLE> handles,
                                    std::chrono::milliseconds timeout);

    // The outcomes of the requests that ended since the last call.
    std::vector<EchoOutcome> TakeOutcomes();

    // Ends the cycle: outcomes not yet taken and requests still out are
    // dropped, and nothing of them is reported again.
    void Abandon();

    // Requests sent whose completion has not run yet, abandoned ones included.
    std::size_t Outstanding() const;

private:
    struct Request;

    static void NTAPI Completed(void* context, IO_STATUS_BLOCK* status, ULONG reserved);
    void Finish(Request& request, NTSTATUS ioStatus, Clock::time_point at) noexcept;
    std::optional<std::uint16_t> NextSequence();
    HANDLE HandleFor(bool v6);
    std::optional<std::uint16_t> Issue(std::unique_ptr<Request> request, const void* destination);
    void CloseHandles();

    std::chrono::milliseconds budget_;
    HANDLE icmp_ = INVALID_HANDLE_VALUE;
    HANDLE icmp6_ = INVALID_HANDLE_VALUE;
    std::unordered_map<std::uint16_t, std::unique_ptr<Request>> outstanding_;
    std::vector<EchoOutcome> outcomes_;
    // Goes on from cycle to cycle, like the raw socket's.
    std::uint16_t nextSequence_ = kFirstSequence;
};

} // namespace pelmora
