#include "core/monitor/net/privileges.h"

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <cstdint>

namespace pelmora {
namespace {

// CAP_NET_RAW lies in the first 32-bit word of each set.
constexpr std::uint32_t kNetRaw = 1U << CAP_NET_RAW;
// Far above the last capability any kernel knows.
constexpr int kCapabilityLimit = 64;

// The capability sets of the calling thread.
struct ThreadCapabilities {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    std::array<__user_cap_data_struct, _LINUX_CAPABILITY_U32S_3> sets{};

    bool Read() { return ::syscall(SYS_capget, &header, sets.data()) == 0; }
    bool Write() { return ::syscall(SYS_capset, &header, sets.data()) == 0; }
};

// Dropping from the bounding set needs CAP_SETPCAP: root has it, a program
// that holds only the file capability does not, and no_new_privs then keeps
// exec from granting anything anyway.
void NarrowBoundingSet()
{
    for (int capability = 0;
         capability < kCapabilityLimit && ::prctl(PR_CAPBSET_READ, capability, 0, 0, 0) >= 0;
         ++capability) {
        if (capability != CAP_NET_RAW) {
            ::prctl(PR_CAPBSET_DROP, capability, 0, 0, 0);
        }
    }
}

} // namespace

void DropPrivilegesExceptNetRaw()
{
    NarrowBoundingSet();
    ::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
    ThreadCapabilities capabilities;
    if (capabilities.Read()) {
        const std::uint32_t kept = capabilities.sets[0].permitted & kNetRaw;
        capabilities.sets = {};
        capabilities.sets[0].permitted = kept;
        capabilities.Write();
    }
    ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);
}

NetRawRaised::NetRawRaised()
{
    ThreadCapabilities capabilities;
    if (!capabilities.Read()) {
        return;
    }
    __user_cap_data_struct& first = capabilities.sets[0];
    if ((first.effective & kNetRaw) != 0 || (first.permitted & kNetRaw) == 0) {
        return;
    }
    first.effective |= kNetRaw;
    raised_ = capabilities.Write();
}

NetRawRaised::~NetRawRaised()
{
    ThreadCapabilities capabilities;
    if (raised_ && capabilities.Read()) {
        capabilities.sets[0].effective &= ~kNetRaw;
        capabilities.Write();
    }
}

} // namespace pelmora
