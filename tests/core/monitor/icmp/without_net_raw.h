#pragma once

#include <functional>
#include <string>

namespace pelmora::test {

// Runs `body` in a forked child that has given up CAP_NET_RAW (effective,
// permitted, inheritable, ambient and bounding sets) and returns the text the
// body returned, or the message of what it threw. The child shares the
// caller's network namespace. When raw sockets still open in the child, the
// text says so instead of running the body.
std::string RunWithoutNetRaw(const std::function<std::string()>& body);

// Runs `body` in a forked child, so that what it gives up stays given up
// there, and returns the text it returned or the message of what it threw;
// a child that does not exit cleanly adds a note saying so.
std::string RunInForkedChild(const std::function<std::string()>& body);

} // namespace pelmora::test
