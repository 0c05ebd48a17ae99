#include "core/monitor/engine/windows/icmp_echoes.h"

// icmpapi.h declares the APC routine parameter as FARPROC unless told that
// PIO_APC_ROUTINE (winternl.h) is there.
#define PIO_APC_ROUTINE_DEFINED
#include <iphlpapi.h>

#include <icmpapi.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <limits>
#include <system_error>
#include <utility>

#include "core/monitor/engine/windows/echo_completion.h"

namespace pelmora {
namespace {

using Clock = IcmpEchoes::Clock;
using EchoData = std::array<unsigned char, kEchoDataSize>;

// The SDK's ICMPV6_ECHO_REPLY, which mingw-w64 lacks: its address part is
// packed to 26 bytes, the status follows at offset 28.
#pragma pack(push, 1)
struct Ipv6AddressEx {
    USHORT port;
    ULONG flowInfo;
    USHORT address[8];
    ULONG scopeId;
};
#pragma pack(pop)

struct Icmpv6EchoReply {
    Ipv6AddressEx address;
    ULONG status;
    unsigned int roundTripTime;
};
static_assert(offsetof(Icmpv6EchoReply, status) == 28);

// One reply with up to 40 bytes of IP options, the echoed data, room for an
// ICMP error and the IO_STATUS_BLOCK that iphlpapi keeps in the same buffer.
constexpr std::size_t kReplyBufferSize =
    std::max(sizeof(ICMP_ECHO_REPLY), sizeof(Icmpv6EchoReply)) + 40 + kEchoDataSize + 8 +
    sizeof(IO_STATUS_BLOCK);

EchoData BuildEchoData()
{
    EchoData data{};
    const DWORD tick = GetTickCount();
    for (std::size_t i = 0; i < 4; ++i) {
        data[i] = static_cast<unsigned char>(tick >> (8 * i));
    }
    std::fill(data.begin() + 12, data.end(), static_cast<unsigned char>(0x45));
    return data;
}

std::string Ipv6Text(const USHORT (&words)[8])
{
    in6_addr address{};
    std::memcpy(&address, words, sizeof address);
    std::array<char, INET6_ADDRSTRLEN> text{};
    if (inet_ntop(AF_INET6, &address, text.data(), text.size()) == nullptr) {
        return {};
    }
    return text.data();
}

// A request that ended with an error of its own, not with an IP_STATUS:
// Wine, for one, refuses a request beyond its 256th at once with
// STATUS_NO_MEMORY and leaves the buffer as it was.
unsigned long FailureOf(NTSTATUS ioStatus)
{
    return NT_SUCCESS(ioStatus) ? IP_GENERAL_FAILURE : RtlNtStatusToDosError(ioStatus);
}

EchoCompletion ReadIcmpReply(void* buffer, DWORD size, NTSTATUS ioStatus)
{
    const DWORD replies = IcmpParseReplies(buffer, size);
    const auto* reply = static_cast<const ICMP_ECHO_REPLY*>(buffer);
    EchoCompletion completion;
    completion.ipStatus = replies > 0 ? reply->Status : GetLastError();
    if (replies == 0 && completion.ipStatus == IP_SUCCESS) {
        completion.ipStatus = FailureOf(ioStatus);
    }
    if (replies > 0) {
        completion.source = Ipv4Text(reply->Address);
        completion.ttl = reply->Options.Ttl;
        completion.optionsSize = reply->Options.OptionsSize;
        completion.dataSize = reply->DataSize;
    }
    return completion;
}

EchoCompletion ReadIcmp6Reply(void* buffer, DWORD size, NTSTATUS ioStatus)
{
    const DWORD replies = Icmp6ParseReplies(buffer, size);
    const auto* reply = static_cast<const Icmpv6EchoReply*>(buffer);
    EchoCompletion completion;
    completion.family = EchoFamily::V6;
    completion.ipStatus = replies > 0 ? reply->status : GetLastError();
    if (replies == 0 && completion.ipStatus == IP_SUCCESS) {
        completion.ipStatus = FailureOf(ioStatus);
    }
    if (replies > 0) {
        completion.source = Ipv6Text(reply->address.address);
        // The reply's data is not counted; an echo reply carries ours back.
        completion.dataSize = static_cast<std::uint32_t>(kEchoDataSize);
    }
    return completion;
}

std::uint32_t Milliseconds(Clock::duration span)
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(span).count();
    return static_cast<std::uint32_t>(
        std::clamp<long long>(ms, 0, std::numeric_limits<std::uint32_t>::max()));
}

DWORD WaitMilliseconds(std::chrono::milliseconds timeout)
{
    // INFINITE is never asked for by accident.
    return static_cast<DWORD>(
        std::clamp<long long>(timeout.count(), 0, static_cast<long long>(INFINITE) - 1));
}

} // namespace

struct IcmpEchoes::Request {
    // Null once the object that sent it is gone: the completion then only
    // frees the record.
    IcmpEchoes* owner = nullptr;
    std::size_t entry = 0;
    std::uint16_t sequence = 0;
    bool v6 = false;
    bool abandoned = false;
    Clock::time_point sent;
    alignas(std::max_align_t) std::array<unsigned char, kReplyBufferSize> reply{};
};

IcmpEchoes::IcmpEchoes(std::chrono::milliseconds budget) : budget_(budget) {}

IcmpEchoes::~IcmpEchoes()
{
    CloseHandles();
    for (auto& [sequence, request] : outstanding_) {
        request->owner = nullptr;
        // Freed by its completion.
        static_cast<void>(request.release());
    }
}

std::optional<std::uint16_t> IcmpEchoes::Send(std::size_t entry, const in_addr& destination)
{
    auto request = std::make_unique<Request>();
    request->entry = entry;
    return Issue(std::move(request), &destination);
}

std::optional<std::uint16_t> IcmpEchoes::Send(std::size_t entry, const in6_addr& destination)
{
    auto request = std::make_unique<Request>();
    request->entry = entry;
    request->v6 = true;
    return Issue(std::move(request), &destination);
}

std::optional<std::uint16_t> IcmpEchoes::NextSequence()
{
    constexpr std::size_t kSequences = std::numeric_limits<std::uint16_t>::max() + 1;
    if (outstanding_.size() >= kSequences) {
        return std::nullopt;
    }
    while (outstanding_.contains(nextSequence_)) {
        ++nextSequence_;
    }
    return nextSequence_++;
}

HANDLE IcmpEchoes::HandleFor(bool v6)
{
    HANDLE& handle = v6 ? icmp6_ : icmp_;
    if (handle == INVALID_HANDLE_VALUE) {
        handle = v6 ? Icmp6CreateFile() : IcmpCreateFile();
    }
    return handle;
}

std::optional<std::uint16_t> IcmpEchoes::Issue(std::unique_ptr<Request> request,
                                               const void* destination)
{
    const std::optional<std::uint16_t> sequence = NextSequence();
    if (!sequence) {
        return std::nullopt;
    }
    request->owner = this;
    request->sequence = *sequence;
    EchoOutcome failed;
    failed.entry = request->entry;
    failed.sequence = *sequence;

    HANDLE handle = HandleFor(request->v6);
    if (handle == INVALID_HANDLE_VALUE) {
        failed.failure = GetLastError();
        outcomes_.push_back(failed);
        return sequence;
    }
    // In the table before the call: the completion may find it from then on.
    Request& out = *outstanding_.emplace(*sequence, std::move(request)).first->second;
    EchoData data = BuildEchoData();
    IP_OPTION_INFORMATION options{};
    options.Ttl = kTimeToLive;
    const auto timeout = static_cast<DWORD>(budget_.count());
    const auto replySize = static_cast<DWORD>(out.reply.size());
    out.sent = Clock::now();
    DWORD sent = 0;
    if (out.v6) {
        sockaddr_in6 source{};
        source.sin6_family = AF_INET6;
        sockaddr_in6 target{};
        target.sin6_family = AF_INET6;
        std::memcpy(&target.sin6_addr, destination, sizeof target.sin6_addr);
        sent = Icmp6SendEcho2(handle, nullptr, &IcmpEchoes::Completed, &out, &source, &target,
                              data.data(), static_cast<WORD>(data.size()), &options,
                              out.reply.data(), replySize, timeout);
    } else {
        IPAddr target = 0;
        std::memcpy(&target, destination, sizeof target);
        sent = IcmpSendEcho2(handle, nullptr, &IcmpEchoes::Completed, &out, target, data.data(),
                             static_cast<WORD>(data.size()), &options, out.reply.data(), replySize,
                             timeout);
    }
    // Sent asynchronously, the call returns 0 with ERROR_IO_PENDING and the
    // completion will run. Any other error means nothing was queued, so the
    // record may go now.
    const DWORD error = sent == 0 ? GetLastError() : ERROR_IO_PENDING;
    if (error != ERROR_IO_PENDING) {
        outstanding_.erase(*sequence);
        failed.failure = error;
        outcomes_.push_back(failed);
    }
    return sequence;
}

void NTAPI IcmpEchoes::Completed(void* context, IO_STATUS_BLOCK* status, ULONG /*reserved*/)
{
    const Clock::time_point at = Clock::now();
    auto* request = static_cast<Request*>(context);
    if (request->owner == nullptr) {
        delete request; // NOLINT(cppcoreguidelines-owning-memory): released by the destructor
        return;
    }
    request->owner->Finish(*request, status->Status, at);
}

void IcmpEchoes::Finish(Request& request, NTSTATUS ioStatus, Clock::time_point at) noexcept
{
    if (!request.abandoned) {
        const auto size = static_cast<DWORD>(request.reply.size());
        const EchoCompletion completion = request.v6
                                              ? ReadIcmp6Reply(request.reply.data(), size, ioStatus)
                                              : ReadIcmpReply(request.reply.data(), size, ioStatus);
        EchoOutcome outcome;
        outcome.entry = request.entry;
        outcome.sequence = request.sequence;
        if (const std::optional<TReplyStatus> reply = ReplyStatusOf(completion, request.sequence)) {
            outcome.reply = *reply;
            outcome.reply.RoundTripMs = Milliseconds(at - request.sent);
            if (reply->Status != ReplyKind::TimedOut) {
                outcome.roundTrip =
                    std::chrono::duration_cast<std::chrono::microseconds>(at - request.sent);
            }
        } else {
            outcome.failure = completion.ipStatus;
        }
        outcomes_.push_back(std::move(outcome));
    }
    // Frees `request`.
    const std::uint16_t sequence = request.sequence;
    outstanding_.erase(sequence);
}

std::optional<std::size_t> IcmpEchoes::Wait(std::span<const HANDLE> handles,
                                            std::chrono::milliseconds timeout)
{
    if (handles.size() > kMostWaitHandles) {
        throw std::system_error(ERROR_INVALID_PARAMETER, std::system_category(),
                                "WaitForMultipleObjectsEx");
    }
    const DWORD wait = outcomes_.empty() ? WaitMilliseconds(timeout) : 0;
    if (handles.empty()) {
        SleepEx(wait, TRUE);
        return std::nullopt;
    }
    const auto count = static_cast<DWORD>(handles.size());
    const DWORD result = WaitForMultipleObjectsEx(count, handles.data(), FALSE, wait, TRUE);
    if (result < WAIT_OBJECT_0 + count) {
        return result - WAIT_OBJECT_0;
    }
    if (result >= WAIT_ABANDONED_0 && result < WAIT_ABANDONED_0 + count) {
        return result - WAIT_ABANDONED_0;
    }
    if (result == WAIT_FAILED) {
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                "WaitForMultipleObjectsEx");
    }
    // WAIT_IO_COMPLETION or WAIT_TIMEOUT.
    return std::nullopt;
}

std::vector<EchoOutcome> IcmpEchoes::TakeOutcomes()
{
    return std::exchange(outcomes_, {});
}

void IcmpEchoes::Abandon()
{
    CloseHandles();
    for (auto& [sequence, request] : outstanding_) {
        request->abandoned = true;
    }
    outcomes_.clear();
}

std::size_t IcmpEchoes::Outstanding() const
{
    return outstanding_.size();
}

void IcmpEchoes::CloseHandles()
{
    for (HANDLE* handle : {&icmp_, &icmp6_}) {
        if (*handle != INVALID_HANDLE_VALUE) {
            IcmpCloseHandle(*handle);
            *handle = INVALID_HANDLE_VALUE;
        }
    }
}

} // namespace pelmora
