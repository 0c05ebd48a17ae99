#pragma once

#include <string>

namespace pelmora {

// Where the check worker's results go: the event log and the pop-up of the
// tray program, standard output of the console front-end. Both calls run on
// the user-interface thread, inside a hand-over.
class CheckSink {
public:
    CheckSink() = default;
    CheckSink(const CheckSink&) = delete;
    CheckSink& operator=(const CheckSink&) = delete;
    virtual ~CheckSink() = default;

    // One line such as "9:05:07. Host appeared: 192.0.2.1", without line break.
    virtual void AppendLogLine(const std::string& line) = 0;
    // The end-of-cycle report, CR LF between its lines; never empty.
    virtual void ShowReport(const std::string& report) = 0;
    // Once per run, the first time no ICMP socket may be opened at all: why
    // every IP and LAN entry stays down, and the two ways to change that, in
    // the user's language. Sinks that tell no user say nothing.
    virtual void IcmpNotPermitted(const std::string& /*hint*/) {}
};

} // namespace pelmora
