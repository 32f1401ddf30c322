// libFuzzer target for what the programs take from the file system at start-up and
// around an update: the start argument, the package files, the profile and the
// history log's folder. An input names the kind of thing to put at one of these
// places (a regular file, a FIFO, a folder, a link to a file, a link to nothing, a
// link to a device), its name (any bytes but '/' and NUL) and its bytes. Every call
// must return (nothing waits on a FIFO or reads a device for ever), every start error
// and history line is one line, and a profile value written is read back. The history line and the
// escaping are checked in memory as well.

#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "apps/start_location.h"
#include "engine/line_escape.h"
#include "engine/read_package.h"
#include "engine/update_history.h"
#include "platform/private_profile.h"

namespace {

using namespace morv;
namespace fs = std::filesystem;

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

/// True when `text` holds no byte that would break or colour a line: only the tab
/// (the history's field separator) below 0x20, no DEL.
bool OneQuietLine(std::string_view text) {
  for (unsigned char c : text)
    if ((c < 0x20 && c != '\t') || c == 0x7F) return false;
  return true;
}

/// Takes the next byte of the input (0 once it is used up).
uint8_t Take(std::string_view& input) {
  if (input.empty()) return 0;
  const uint8_t byte = static_cast<uint8_t>(input.front());
  input.remove_prefix(1);
  return byte;
}

/// A file name from the next bytes of the input: a length byte, then that many bytes.
std::string TakeName(std::string_view& input) {
  std::string name(input.substr(0, Take(input) % 64));
  input.remove_prefix(name.size());
  for (char& c : name)
    if (c == '/' || c == '\0') c = '_';
  if (name.empty() || name == "." || name == "..") name = "x";
  return name;
}

enum class Kind { Regular, Fifo, Folder, LinkToFile, LinkToNothing, LinkToDevice, Count };

/// Puts a thing of `kind` at `path`; a regular file (or a link's target) gets `bytes`.
void Make(Kind kind, const fs::path& path, std::string_view bytes) {
  std::error_code ignored;
  auto writeFile = [&](const fs::path& at) {
    std::FILE* file = std::fopen(at.c_str(), "wb");
    if (file == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  };
  switch (kind) {
    case Kind::Regular: writeFile(path); break;
    case Kind::Fifo: ::mkfifo(path.c_str(), 0644); break;
    case Kind::Folder: fs::create_directory(path, ignored); break;
    case Kind::LinkToFile:
      writeFile(path.parent_path() / "target");
      fs::create_symlink(path.parent_path() / "target", path, ignored);
      break;
    case Kind::LinkToNothing: fs::create_symlink(path.parent_path() / "nowhere", path, ignored); break;
    case Kind::LinkToDevice: fs::create_symlink("/dev/zero", path, ignored); break;
    case Kind::Count: break;
  }
}

/// A folder of this process, removed when it ends.
struct ScratchRoot {
  fs::path path;
  ScratchRoot() {
    char pattern[] = "/tmp/morvantide-fuzz-XXXXXX";
    path = ::mkdtemp(pattern);
  }
  ~ScratchRoot() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
};

/// A fresh, empty folder for one input.
fs::path Scratch() {
  static const ScratchRoot root;
  std::error_code ignored;
  fs::remove_all(root.path / "run", ignored);
  fs::create_directories(root.path / "run", ignored);
  return root.path / "run";
}

void FuzzStartArgument(const fs::path& place) {
  StartLocation location;
  const std::string error = ResolveStartLocation(place.string(), location);
  Require(OneQuietLine(error));
  if (error.empty()) Require(fs::is_directory(location.folder));
}

void FuzzPackage(const fs::path& parameters) {
  ParameterFile fields;
  static FirmwareImage image;
  const PackageVerdict verdict = ReadPackage(parameters.string(), ModelIn("E: KESTREL MX-R4410"), fields, image);
  if (verdict) Require(!verdict->text.empty());
}

void FuzzProfile(const fs::path& place, int value) {
  PrivateProfile profile(place.string());
  (void)profile.GetInt("HostAdaptor", "ID", 0);
  if (!profile.WriteString("HostAdaptor", "ID", std::to_string(value))) {
    Require(!profile.Error().empty());
    return;
  }
  Require(PrivateProfile(place.string()).GetInt("HostAdaptor", "ID", -1) == value);
}

void FuzzHistory(const fs::path& folder, const std::string& fileName) {
  UpdateRecord record;
  record.parameterFile = fileName;
  record.outcome = kOutcomeDeclined;
  const std::string line = HistoryLine("MorvantideNT", DriveKind::Real, record);
  Require(!line.empty() && line.back() == '\n' && OneQuietLine(line.substr(0, line.size() - 1)));
  HistoryLog log((folder / "history.log").string(), "MorvantideNT", DriveKind::Real);
  log.Append(record);
  for (const std::string& failure : log.Failures()) Require(!failure.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const Kind kind = static_cast<Kind>(Take(input) % static_cast<uint8_t>(Kind::Count));
  const uint8_t where = Take(input) % 5;
  const std::string name = TakeName(input);
  Require(OneQuietLine(EscapedForLine(input)));

  const fs::path folder = Scratch();
  const fs::path place = folder / name;
  Make(kind, place, input);
  switch (where) {
    case 0: FuzzStartArgument(place); break;
    case 1: FuzzPackage(place); break;
    case 2: FuzzProfile(place, static_cast<int>(size)); break;
    case 3: FuzzHistory(place, name); break;
    case 4:  // a good parameter file beside an image of any kind
      Make(Kind::Regular, folder / "PKG.OUC", "MorvantideParameterFile Ver.4.00\n\n\n1\n\n1\n\n1\n\n0\n");
      Make(kind, folder / "PKG.bin", input);
      FuzzPackage(folder / "PKG.OUC");
      break;
  }
  return 0;
}
