#pragma once

namespace pelmora {

// Gives up every capability except CAP_NET_RAW, which stays permitted but not
// effective, and bars the process from gaining any through exec. Where the
// process may, CAP_NET_RAW is also all that stays in the bounding set. A
// process without CAP_NET_RAW ends up with no capability at all.
//
// Capabilities belong to each thread, and a new thread starts with those of
// the thread that made it: call this first thing in main, before any thread
// exists, so that every later thread starts as bare.
void DropPrivilegesExceptNetRaw();

// Makes CAP_NET_RAW effective in the calling thread for as long as it lives,
// where it is permitted, and lowers it again afterwards. Other threads never
// hold it meanwhile. Does nothing where the capability is already effective
// or not permitted.
class NetRawRaised {
public:
    NetRawRaised();
    NetRawRaised(const NetRawRaised&) = delete;
    NetRawRaised& operator=(const NetRawRaised&) = delete;
    ~NetRawRaised();

private:
    bool raised_ = false;
};

} // namespace pelmora
