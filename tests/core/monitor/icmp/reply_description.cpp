#include "reply_description.h"

namespace pelmora::test {
namespace {

const char* KindName(ReplyKind kind)
{
    switch (kind) {
    case ReplyKind::EchoReply: return "EchoReply";
    case ReplyKind::Error: return "Error";
    case ReplyKind::TimedOut: return "TimedOut";
    case ReplyKind::Unreachable: return "Unreachable";
    case ReplyKind::TtlExpired: return "TtlExpired";
    }
    return "?";
}

} // namespace

std::string Describe(const TReplyStatus& status)
{
    return std::string(KindName(status.Status)) + " from " + status.SourceAddress + ", TTL " +
           std::to_string(status.Ttl) + ", " + std::to_string(status.ByteCount) + " bytes, type " +
           std::to_string(status.MessageType) + ", sequence " +
           std::to_string(status.SequenceNumber);
}

} // namespace pelmora::test
