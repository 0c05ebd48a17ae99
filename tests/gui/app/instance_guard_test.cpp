// Two real copies of Pelmora: the second one shows nothing and ends with 0,
// unless its title differs.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "support/child_process.h"
#include "support/private_network.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

class InstanceGuard : public test::PrivateNetworkTest {
protected:
    void SetUp() override
    {
        test::PrivateNetworkTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        fs::create_directory(dir_ / "run");
        fs::permissions(dir_ / "run", fs::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", (dir_ / "run").c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }

    // A copy of the program under another name, with an empty host list.
    std::string Install(const std::string& name)
    {
        const fs::path folder = dir_ / ("bin-" + std::to_string(++installs_));
        fs::create_directory(folder);
        fs::copy_file(PELMORA_PROGRAM, folder / name);
        test::WriteFile(folder / "Pelmora.ini", "[CheckParams]\nCheckPeriod=0\n");
        return (folder / name).string();
    }

    bool WaitForLock(const std::string& title)
    {
        const fs::path lock = dir_ / "run" / ("PREVINST:" + title + ".lock");
        for (int i = 0; i < 100; ++i) {
            if (fs::exists(lock) && fs::exists(dir_ / "run" / ("PREVINST:" + title))) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    TempDir dir_;
    int installs_ = 0;
};

TEST_F(InstanceGuard, SecondCopyEndsAtOnceAndTheFirstRunsOn)
{
    const std::string first = Install("Pelmora");
    test::ChildProcess running({first});
    ASSERT_TRUE(WaitForLock("Pelmora"));

    // Same title from another folder and another spelling of the name.
    for (const std::string& name : {std::string("Pelmora"), std::string("PELMORA.bin")}) {
        const auto second = test::RunChild({Install(name)}, 5000);
        EXPECT_EQ(second.status, 0) << name;
    }
    running.Signal(SIGTERM);
    EXPECT_EQ(running.Wait(5000), 128 + SIGTERM);
}

TEST_F(InstanceGuard, CopiesWithOtherTitlesRunSideBySide)
{
    test::ChildProcess first({Install("Pelmora")});
    ASSERT_TRUE(WaitForLock("Pelmora"));
    test::ChildProcess other({Install("pelmora")});
    EXPECT_TRUE(WaitForLock("pelmora"));
    other.Signal(SIGTERM);
    first.Signal(SIGTERM);
    EXPECT_EQ(other.Wait(5000), 128 + SIGTERM);
    EXPECT_EQ(first.Wait(5000), 128 + SIGTERM);
}

} // namespace
} // namespace pelmora
