#pragma once

#include <optional>
#include <string>

namespace pelmora::test {

// Sets an environment variable (unsets it for nullopt) for as long as the
// object lives, then puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value);
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv();

private:
    void Set(const std::optional<std::string>& value) const;

    const char* name_;
    std::optional<std::string> old_;
};

} // namespace pelmora::test
