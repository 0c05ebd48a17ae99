#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace pelmora::test {

// Another program run by a test, with its standard output and error caught.
// It inherits the test's namespaces, so it sees the test's private network.
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    void Signal(int signal) const;
    // Waits for the end, reading both outputs meanwhile; kills the child when
    // it has not ended within waitMs. Returns the exit status, or 128 + the
    // signal that ended it, or -1 when it had to be killed.
    int Wait(int waitMs);

    const std::string& Out() const { return out_; }
    const std::string& Err() const { return err_; }

private:
    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::string out_;
    std::string err_;
};

// Runs a program to its end (at most waitMs).
struct ChildResult {
    int status = -1;
    std::string out;
    std::string err;
};
ChildResult RunChild(const std::vector<std::string>& argv, int waitMs = 20000);

} // namespace pelmora::test
