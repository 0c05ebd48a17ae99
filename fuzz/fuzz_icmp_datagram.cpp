// Every ICMP or ICMPv6 datagram that reaches the machine is examined: it must
// never be read out of bounds, whatever its lengths claim.
#include <arpa/inet.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/monitor/icmp/icmp6_packet.h"
#include "core/monitor/icmp/icmp_packet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) {
        return 0;
    }
    // A copy of exactly the received length, so reading past it is caught.
    const std::vector<std::uint8_t> bytes(data + 1, data + size);
    in_addr loopback{};
    loopback.s_addr = htonl(0x7F000001);
    pelmora::EchoExpectation expected;
    expected.destination = loopback;
    expected.identifier = 0x1234;
    expected.sequence = 3489;

    pelmora::DatagramFraming framing;
    framing.ipHeaderInFront = (data[0] & 1) != 0;
    framing.source = loopback;
    framing.ttl = 64;
    static_cast<void>(pelmora::ExamineDatagram(bytes.data(), bytes.size(), expected, framing));

    pelmora::ErrorQueueReport report;
    report.type = static_cast<std::uint8_t>(data[0] >> 1);
    in_addr reporter{};
    reporter.s_addr = htonl(0xC0000201);
    report.reporter = reporter;
    report.ttl = 64;
    report.quotedDestination = expected.destination;
    report.quoted = bytes.data();
    report.quotedLength = bytes.size();
    static_cast<void>(pelmora::ExamineErrorQueueReport(report, expected));

    // The same bytes as ICMPv6, which comes without its IPv6 header.
    expected.destination = in6addr_loopback;
    framing.ipHeaderInFront = false;
    framing.source = in6addr_loopback;
    static_cast<void>(pelmora::SequenceAnswered6(bytes.data(), bytes.size()));
    static_cast<void>(pelmora::ExamineDatagram6(bytes.data(), bytes.size(), expected, framing));
    report.quotedDestination = expected.destination;
    static_cast<void>(pelmora::ExamineErrorQueueReport6(report, expected));
    return 0;
}
