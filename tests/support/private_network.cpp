#include "support/private_network.h"

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "support/skip_without_root.h"

namespace pelmora::test {

bool EnterPrivateNetwork(std::string* whyNot)
{
    if (::unshare(CLONE_NEWNET) != 0) {
        *whyNot = std::string("cannot make a private network namespace (needs root): ") +
                  std::strerror(errno);
        return false;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *whyNot = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    if (up) {
        request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
        up = ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    }
    const int savedErrno = errno;
    ::close(fd);
    if (!up) {
        *whyNot = std::string("cannot bring the loopback link up: ") + std::strerror(savedErrno);
        return false;
    }
    return true;
}

void Ip(const std::string& arguments)
{
    const std::string command = "ip " + arguments + " 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_EQ(status, 0) << "failed: " << command;
}

void SetNetSysctl(const std::string& key, const std::string& value)
{
    std::ofstream file("/proc/sys/net/" + key);
    file << value;
    file.close();
    ASSERT_TRUE(file.good()) << "cannot set net." << key << " to " << value;
}

void AddSilentTestNetAddress()
{
    Ip("link add pelv0 type veth peer name pelv1");
    Ip("addr add 192.0.2.1/24 dev pelv0");
    Ip("link set pelv0 up");
    Ip("link set pelv1 up");
    Ip("neigh replace 192.0.2.2 lladdr 02:00:5e:00:02:02 dev pelv0 nud permanent");
}

void AddSilentTestNet6Address()
{
    Ip("link add pelv6a type veth peer name pelv6b");
    // No duplicate address detection, so the address is usable at once.
    Ip("-6 addr add 2001:db8::1/64 dev pelv6a nodad");
    Ip("link set pelv6a up");
    Ip("link set pelv6b up");
    Ip("-6 neigh replace 2001:db8::2 lladdr 02:00:5e:00:02:06 dev pelv6a nud permanent");
}

void PrivateNetworkTest::SetUp()
{
    std::string whyNot;
    if (!EnterPrivateNetwork(&whyNot)) {
        SkipWithoutRoot(whyNot);
    }
}

} // namespace pelmora::test
