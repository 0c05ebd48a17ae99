#pragma once

#include <gtest/gtest.h>

#include <string>

namespace pelmora::test {

// Moves the calling process into a network namespace of its own with the
// loopback link up. Returns false, with the reason, where the process may
// not (not root, or namespaces disabled). No packet sent afterwards can
// leave the namespace.
bool EnterPrivateNetwork(std::string* whyNot);

// Runs an `ip` command inside the current namespace; fails the test when it
// does not succeed.
void Ip(const std::string& arguments);

// Writes a value under /proc/sys/net (per namespace), e.g.
// SetNetSysctl("ipv4/icmp_echo_ignore_all", "1").
void SetNetSysctl(const std::string& key, const std::string& value);

// 192.0.2.1 on a veth link whose neighbour 192.0.2.2 has a permanent entry
// with a MAC address nobody owns: packets to 192.0.2.2 vanish without any
// answer or error report.
constexpr const char* kSilentAddress = "192.0.2.2";
void AddSilentTestNetAddress();

// The same for IPv6 in the documentation range: 2001:db8::1 on the veth
// link, 2001:db8::2 a permanent neighbour that never answers.
constexpr const char* kSilentAddress6 = "2001:db8::2";
void AddSilentTestNet6Address();

// Base fixture: every test starts in a fresh private network, or is skipped
// with the reason.
class PrivateNetworkTest : public ::testing::Test {
protected:
    void SetUp() override;
};

} // namespace pelmora::test
