#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

namespace quillon::test_support {

// A fresh folder per test, removed afterwards. Its name carries the test's and a part of its
// own (mkdtemp), so two runs of the suite at once never share or remove each other's folder.
class TempFolder {
  public:
    TempFolder() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "quillon-";
        name += test->test_suite_name();
        name += '-';
        name += test->name();
        for (char& c : name) {
            if (c == '/') {
                c = '_';
            }
        }
        name += "-XXXXXX";
        std::string pattern = (std::filesystem::temp_directory_path() / name).string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::filesystem::filesystem_error(
                "no temporary folder", pattern, std::error_code(errno, std::generic_category()));
        }
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string str() const { return path_.string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// A fixture whose tests each get a fresh folder.
class InTempFolder : public ::testing::Test {
  protected:
    std::string path(const std::string& name) const { return folder.file(name); }

    TempFolder folder;
};

}  // namespace quillon::test_support
