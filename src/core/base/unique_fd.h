#pragma once

#include <utility>

namespace pelmora {

// Owns one POSIX file descriptor and closes it once. Windows code holds its
// kernel objects in UniqueHandle (base/windows) and its sockets in
// UniqueSocket (monitor/net).
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(); }

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    void Reset(int fd = -1);
    int Release() { return std::exchange(fd_, -1); }

private:
    int fd_ = -1;
};

} // namespace pelmora
