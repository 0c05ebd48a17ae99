// Settings files no program of ours wrote: huge, binary, absurdly shaped, or
// not a file at all. Loading always ends with what can be read and defaults
// for the rest; saving either replaces the file whole or says it could not.

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/config/ini_file.h"
#include "core/config/settings.h"
#include "support/process_memory.h"
#include "support/temp_dir.h"

#if defined(__SANITIZE_THREAD__)
#define PELMORA_UNDER_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define PELMORA_UNDER_TSAN 1
#endif
#endif

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteFile;

constexpr std::int32_t kDefaultPeriod = 60000;

std::string Targets(const std::vector<HostLine>& hosts)
{
    std::string text;
    for (const HostLine& line : hosts) {
        text += line.target + (line.proxy.empty() ? "" : "|" + line.proxy) + ";";
    }
    return text;
}

TEST(HostileSettings, HundredMegabyteFileLoadsWhatItNamesWithinBounds)
{
    const TempDir dir;
    const fs::path file = dir / "Pelmora.ini";
    {
        std::ofstream out(file, std::ios::binary);
        out << "[CheckParams]\nCheckPeriod=1234\n[Junk]\n";
        const std::string filler(90, 'x');
        for (int i = 0; i < 1'100'000; ++i) {
            out << "Key" << i << '=' << filler << '\n';
        }
        out << "[HostList]\nItem0=10.0.0.1\nItem1=http://web/ proxy:3128\n";
    }
    const auto size = static_cast<long>(fs::file_size(file));
    ASSERT_GE(size, 100L << 20);

    Settings settings;
    test::ResetPeakResident();
    const long residentBefore = test::ResidentKb();
    const auto start = std::chrono::steady_clock::now();
    settings = LoadSettings(file);
    const auto seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long peakGrowthKb = test::PeakResidentKb() - residentBefore;

    EXPECT_EQ(settings.checkPeriod, 1234);
    EXPECT_EQ(Targets(settings.hosts), "10.0.0.1;http://web/|proxy:3128;");
    // Bounded: a few copies of the file at most (more in an instrumented
    // build). How long it takes is the benchmark's to tell. The thread
    // sanitizer's shadow memory grows with every byte touched, so resident
    // memory says nothing about the program there.
#ifndef PELMORA_UNDER_TSAN
    EXPECT_LT(peakGrowthKb, 10 * (size >> 10)) << "peak growth " << peakGrowthKb << " kB";
#endif
    RecordProperty("load_seconds", std::to_string(seconds));
    RecordProperty("peak_growth_kb", std::to_string(peakGrowthKb));
    RecordProperty("file_kb", std::to_string(size >> 10));
}

// Garbage may hide in any line; what the program needs is read around it,
// and a save keeps the garbage as the foreign lines it is.
TEST(HostileSettings, BinaryGarbageAroundRealKeys)
{
    const TempDir dir;
    const fs::path file = dir / "Pelmora.ini";
    std::mt19937 random(20240607);
    std::string garbage(1 << 20, '\0');
    for (char& c : garbage) {
        c = static_cast<char>(random() & 0xFF);
    }
    WriteFile(file, garbage + "\n[CheckParams]\nPopUpInterval=777\n" + garbage);

    Settings settings;
    ASSERT_NO_THROW(settings = LoadSettings(file));
    EXPECT_EQ(settings.popUpInterval, 777);
    EXPECT_EQ(settings.checkPeriod, kDefaultPeriod);

    settings.checkPeriod = 4321;
    settings.hosts.push_back({"10.0.0.2", ""});
    SaveSettings(settings, file);
    const Settings reread = LoadSettings(file);
    EXPECT_EQ(reread.checkPeriod, 4321);
    EXPECT_EQ(reread.popUpInterval, 777);
    EXPECT_EQ(Targets(reread.hosts), "10.0.0.2;");
}

TEST(HostileSettings, MegabyteLinesAreCutAndTheLinesAfterThemStillRead)
{
    const TempDir dir;
    const fs::path file = dir / "Pelmora.ini";
    const std::string mega(1 << 20, 'h');
    WriteFile(file, "[" + mega + "]\n" + mega + "=" + mega + "\n[HostList]\nItem0=" + mega +
                        "\nItem1=10.0.0.3\n" + mega + "\n[View]\nFontName=" + mega +
                        "\nFontSize=12\n");

    const Settings settings = LoadSettings(file);
    ASSERT_EQ(settings.hosts.size(), 2U);
    EXPECT_EQ(settings.hosts[0].target.size(), 2047U);
    EXPECT_EQ(settings.hosts[1].target, "10.0.0.3");
    EXPECT_EQ(settings.font.name.size(), 2047U);
    EXPECT_EQ(settings.font.size, 12);
}

TEST(HostileSettings, HundredThousandKeysKeepTheirOrder)
{
    const TempDir dir;
    const fs::path file = dir / "Pelmora.ini";
    std::string text = "[HostList]\n";
    for (int i = 0; i < 100'000; ++i) {
        text += "K" + std::to_string(i) + "=h" + std::to_string(i) + "\n";
    }
    WriteFile(file, text + "[CheckParams]\nCheckPeriod=2000\n");

    const Settings settings = LoadSettings(file);
    ASSERT_EQ(settings.hosts.size(), 100'000U);
    EXPECT_EQ(settings.hosts[0].target, "h0");
    EXPECT_EQ(settings.hosts[99'999].target, "h99999");
    EXPECT_EQ(settings.checkPeriod, 2000);
}

} // namespace
} // namespace pelmora
