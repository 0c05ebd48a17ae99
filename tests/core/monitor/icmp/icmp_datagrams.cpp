#include "icmp_datagrams.h"

#include <arpa/inet.h>

#include <cstring>
#include <stdexcept>

#include "core/monitor/icmp/icmp_packet.h"

namespace pelmora::test {
namespace {

void PutChecksum(Bytes& bytes, std::size_t at, std::size_t from, std::size_t length)
{
    bytes[at] = 0;
    bytes[at + 1] = 0;
    const std::uint16_t checksum = InternetChecksum(bytes.data() + from, length);
    bytes[at] = static_cast<std::uint8_t>(checksum >> 8);
    bytes[at + 1] = static_cast<std::uint8_t>(checksum & 0xFF);
}

} // namespace

in_addr Address(const char* dotted)
{
    in_addr address{};
    if (::inet_pton(AF_INET, dotted, &address) != 1) {
        throw std::invalid_argument(dotted);
    }
    return address;
}

Bytes IcmpMessage(std::uint8_t type, std::uint8_t code, const Bytes& rest)
{
    Bytes message{type, code, 0, 0};
    message.insert(message.end(), rest.begin(), rest.end());
    PutChecksum(message, 2, 0, message.size());
    return message;
}

Bytes EchoMessage(std::uint8_t type, std::uint16_t identifier, std::uint16_t sequence,
                  const Bytes& data)
{
    Bytes rest{
        static_cast<std::uint8_t>(identifier & 0xFF), static_cast<std::uint8_t>(identifier >> 8),
        static_cast<std::uint8_t>(sequence & 0xFF), static_cast<std::uint8_t>(sequence >> 8)};
    rest.insert(rest.end(), data.begin(), data.end());
    return IcmpMessage(type, 0, rest);
}

Bytes Report(std::uint8_t type, std::uint8_t code, const Bytes& quotedDatagram)
{
    Bytes rest{0, 0, 0, 0};
    rest.insert(rest.end(), quotedDatagram.begin(), quotedDatagram.end());
    return IcmpMessage(type, code, rest);
}

Bytes IpDatagram(in_addr source, in_addr destination, std::uint8_t ttl, const Bytes& icmp)
{
    const std::size_t total = 20 + icmp.size();
    Bytes datagram(20, 0);
    datagram[0] = 0x45;
    datagram[2] = static_cast<std::uint8_t>(total >> 8);
    datagram[3] = static_cast<std::uint8_t>(total & 0xFF);
    datagram[8] = ttl;
    datagram[9] = 1;
    std::memcpy(&datagram[12], &source.s_addr, 4);
    std::memcpy(&datagram[16], &destination.s_addr, 4);
    PutChecksum(datagram, 10, 0, 20);
    datagram.insert(datagram.end(), icmp.begin(), icmp.end());
    return datagram;
}

Bytes IcmpPart(const Bytes& datagram)
{
    const std::size_t headerLength = static_cast<std::size_t>(datagram.at(0) & 0x0F) * 4;
    return {datagram.begin() + static_cast<std::ptrdiff_t>(headerLength), datagram.end()};
}

} // namespace pelmora::test
