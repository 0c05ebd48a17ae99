#include "windows/echo_burst.h"

#include <windows.h>
#include <winternl.h>

// icmpapi.h declares the APC routine parameter as FARPROC unless told that
// PIO_APC_ROUTINE (winternl.h) is there.
#define PIO_APC_ROUTINE_DEFINED
#include <iphlpapi.h>

#include <icmpapi.h>

#include <array>
#include <memory>

namespace pelmora {
namespace {

struct BareRequest {
    BurstResult* result = nullptr;
    std::size_t* done = nullptr;
    alignas(std::max_align_t) std::array<unsigned char, 256> reply{};
    static constexpr DWORD kReplySize = 256;
};

void NTAPI BareCompleted(void* context, IO_STATUS_BLOCK* /*status*/, ULONG /*reserved*/)
{
    auto* request = static_cast<BareRequest*>(context);
    const DWORD replies = IcmpParseReplies(request->reply.data(), BareRequest::kReplySize);
    const auto* reply = reinterpret_cast<const ICMP_ECHO_REPLY*>(request->reply.data());
    if (replies > 0 && reply->Status == IP_SUCCESS) {
        ++request->result->answered;
    } else if (replies == 0 && GetLastError() == IP_REQ_TIMED_OUT) {
        ++request->result->timedOut;
    } else {
        ++request->result->failed;
    }
    ++*request->done;
}

} // namespace

std::vector<in_addr> BurstTargets(std::size_t answering, std::size_t silent)
{
    std::vector<in_addr> targets;
    for (std::size_t i = 0; i < answering; ++i) {
        in_addr address{};
        address.S_un.S_un_b = {127, 0, static_cast<unsigned char>(i / 250),
                               static_cast<unsigned char>(1 + i % 250)};
        targets.push_back(address);
    }
    for (std::size_t i = 0; i < silent; ++i) {
        in_addr address{};
        address.S_un.S_un_b = {192, 0, 2, static_cast<unsigned char>(1 + i % 126)};
        targets.push_back(address);
    }
    return targets;
}

BurstResult BareBurst(const std::vector<in_addr>& targets, std::chrono::milliseconds budget)
{
    HANDLE icmp = IcmpCreateFile();
    std::array<unsigned char, 44> data{};
    IP_OPTION_INFORMATION options{};
    options.Ttl = 128;
    BurstResult result;
    std::size_t done = 0;
    std::vector<std::unique_ptr<BareRequest>> requests;
    const auto start = std::chrono::steady_clock::now();
    for (const in_addr& target : targets) {
        auto& request = requests.emplace_back(std::make_unique<BareRequest>());
        request->result = &result;
        request->done = &done;
        if (IcmpSendEcho2(icmp, nullptr, BareCompleted, request.get(), target.S_un.S_addr,
                          data.data(), static_cast<WORD>(data.size()), &options,
                          request->reply.data(), BareRequest::kReplySize,
                          static_cast<DWORD>(budget.count())) == 0 &&
            GetLastError() != ERROR_IO_PENDING) {
            ++result.failed;
            ++done;
        }
    }
    while (done < targets.size()) {
        SleepEx(INFINITE, TRUE);
    }
    result.took = std::chrono::steady_clock::now() - start;
    IcmpCloseHandle(icmp);
    return result;
}

} // namespace pelmora
