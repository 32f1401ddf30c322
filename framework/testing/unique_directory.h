#pragma once
// A new, empty directory with a name no one else has, under `base`, for tests on any
// system (mkdtemp is POSIX only).

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

namespace morv::testing {

inline std::filesystem::path MakeUniqueDirectory(const std::filesystem::path& base, const std::string& prefix) {
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate = base / (prefix + std::to_string(random() % 1000000000));
    std::error_code ec;
    if (std::filesystem::create_directory(candidate, ec)) return candidate;  // false: it existed already
  }
  throw std::runtime_error("cannot make a directory in " + base.string());
}

}  // namespace morv::testing
