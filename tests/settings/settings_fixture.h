#pragma once
// A fresh folder for each test, with the settings file's path in it.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "settings/settings.h"

namespace velmo {

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velmo-settings-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        path_ = (folder_ / "velmo.ini").string();
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    void Put(const std::string& bytes) const { std::ofstream(path_, std::ios::binary) << bytes; }
    std::string Bytes() const { return Bytes(path_); }
    static std::string Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    Settings SaveAndLoad(const Settings& settings) const {
        EXPECT_EQ(SaveSettings(path_, settings), "");
        return LoadSettings(path_);
    }

    std::filesystem::path folder_;
    std::string path_;
};

}  // namespace velmo
