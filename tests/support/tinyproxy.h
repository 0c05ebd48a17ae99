#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace pelmora::test {

// Debian's tinyproxy, run in the foreground on 127.0.0.1 of the test's
// private network as a real proxy to check through. It sees the test's
// namespaces, so its name lookups go wherever the test's resolver points.
// Stopped when the object goes.
class Tinyproxy {
public:
    static constexpr std::uint16_t kPort = 3128;

    Tinyproxy();
    Tinyproxy(const Tinyproxy&) = delete;
    Tinyproxy& operator=(const Tinyproxy&) = delete;
    ~Tinyproxy();

    // Empty once the proxy listens; else why it does not.
    const std::string& Failure() const { return failure_; }

private:
    TempDir dir_;
    std::unique_ptr<ChildProcess> process_;
    std::string failure_;
};

} // namespace pelmora::test
