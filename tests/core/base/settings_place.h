#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace pelmora::test {

// A program folder with or without Pelmora.ini, and a configuration home
// with or without Pelmora/Pelmora.ini.
class SettingsPlace : public ::testing::Test {
protected:
    void SetUp() override;

    // LocateSettings(dir_/program, dir_/home) reads dir_/read, writes dir_/write.
    void Expect(const char* program, const char* home, const char* read, const char* write);

    TempDir dir_;
};

} // namespace pelmora::test
