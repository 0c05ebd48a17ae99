#pragma once

#include <windows.h>

#include <utility>

namespace pelmora {

// Owns one kernel object handle (file, event) and closes it once; what
// UniqueFd is to a POSIX descriptor.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept;
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    HANDLE Get() const { return handle_; }
    // CreateFileW fails with INVALID_HANDLE_VALUE, CreateEventW with null.
    bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE handle = nullptr);
    HANDLE Release() { return std::exchange(handle_, nullptr); }

private:
    HANDLE handle_ = nullptr;
};

} // namespace pelmora
