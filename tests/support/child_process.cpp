#include "support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <stdexcept>

namespace pelmora::test {

ChildProcess::ChildProcess(const std::vector<std::string>& argv)
{
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    pid_ = ::fork();
    if (pid_ < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid_ == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        // The test process may have signals blocked; the child starts clean.
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        std::vector<char*> args;
        args.reserve(argv.size() + 1);
        for (const std::string& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    outFd_ = out[0];
    errFd_ = err[0];
}

ChildProcess::~ChildProcess()
{
    if (pid_ > 0) {
        Wait(0);
    }
}

void ChildProcess::Signal(int signal) const
{
    ::kill(pid_, signal);
}

int ChildProcess::Wait(int waitMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    bool killed = false;
    while (outFd_ >= 0 || errFd_ >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0 && !killed) {
            ::kill(pid_, SIGKILL);
            killed = true;
        }
        pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
        ::poll(fds, 2, left > 0 ? static_cast<int>(left) : 100);
        for (int i = 0; i < 2; ++i) {
            int& fd = i == 0 ? outFd_ : errFd_;
            if (fd < 0 || fds[i].revents == 0) {
                continue;
            }
            char buffer[4096];
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got > 0) {
                (i == 0 ? out_ : err_).append(buffer, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                ::close(fd);
                fd = -1;
            }
        }
    }
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    if (killed) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

ChildResult RunChild(const std::vector<std::string>& argv, int waitMs)
{
    ChildProcess child(argv);
    ChildResult result;
    result.status = child.Wait(waitMs);
    result.out = child.Out();
    result.err = child.Err();
    return result;
}

} // namespace pelmora::test
