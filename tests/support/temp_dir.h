#pragma once

// A fresh, empty directory for one test, removed with everything in it when
// the object goes out of scope. Tests that take permissions away inside it
// need not give them back: removal restores the owner's rights first.

#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace zarnmon::test {

class TempDir {
public:
    TempDir() {
        // Random names keep parallel test processes (ctest -j) apart.
        std::random_device random;
        const auto base = std::filesystem::temp_directory_path();
        for (;;) {
            path_ = base / ("zarnmon-test-" + std::to_string(random()) + std::to_string(random()));
            if (std::filesystem::create_directories(path_)) {
                break;
            }
        }
    }
    ~TempDir() {
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        for (auto it = fs::recursive_directory_iterator(path_, fs::directory_options::skip_permission_denied, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_directory(ec) && !it->is_symlink(ec)) {
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
            }
        }
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    TempDir(TempDir&&) = delete;
    TempDir& operator=(TempDir&&) = delete;

    [[nodiscard]] std::filesystem::path Path() const { return path_; }
    [[nodiscard]] std::filesystem::path File(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace zarnmon::test
