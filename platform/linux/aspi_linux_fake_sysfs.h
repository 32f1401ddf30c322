#pragma once
// For tests: a throw-away folder laid out like the parts of sysfs the Linux ASPI
// manager reads, removed again at the end of the test.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace morv::linux_aspi {

class FakeSysfs {
 public:
  FakeSysfs() {
    std::string pattern = (std::filesystem::temp_directory_path() / "aspi-sysfs-XXXXXX").string();
    m_root = mkdtemp(pattern.data());
    std::filesystem::create_directories(m_root / "class" / "scsi_generic");
    std::filesystem::create_directories(m_root / "class" / "scsi_host");
    std::filesystem::create_directories(m_root / "dev");
  }
  ~FakeSysfs() { std::filesystem::remove_all(m_root); }
  FakeSysfs(const FakeSysfs&) = delete;
  FakeSysfs& operator=(const FakeSysfs&) = delete;

  const std::filesystem::path& Root() const { return m_root; }
  std::filesystem::path Dev() const { return m_root / "dev"; }

  /// class/scsi_generic/<name>/device -> ../../../<deviceLink> (e.g. "0:0:5:0").
  void AddNode(const std::string& name, const std::string& deviceLink) {
    auto dir = m_root / "class" / "scsi_generic" / name;
    std::filesystem::create_directories(dir);
    std::filesystem::create_symlink("../../../devices/" + deviceLink, dir / "device");
  }
  /// class/scsi_host/host<number> with proc_name and this_id files (written as given).
  void AddHost(int number, const std::string& procName, const std::string& thisId) {
    auto dir = m_root / "class" / "scsi_host" / ("host" + std::to_string(number));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "proc_name") << procName;
    std::ofstream(dir / "this_id") << thisId;
  }

 private:
  std::filesystem::path m_root;
};

}  // namespace morv::linux_aspi
