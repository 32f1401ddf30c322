#include "tools/package_tool/package_tool.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>

#include "engine/package_writer.h"
#include "engine/read_package.h"
#include "sim/revision_stamp.h"

namespace morv {
namespace {

constexpr const char* kUsage =
    "usage: morvantide-package check FILE.OUC [--model TEXT]\n"
    "       morvantide-package make FILE.OUC --model TEXT [--image IMAGE.bin] [--generate SEED]\n"
    "                                        [--version REV] [--regions 1,2,3|none] [--header TEXT]\n"
    "                                        [--force]\n"
    "       morvantide-package -h | --help | --version\n"
    "\n"
    "check  reads the package as an update does and prints its fields, the regions it\n"
    "       would write and the verdict. --model is the selected drive's description;\n"
    "       without it the model check is skipped.\n"
    "make   writes FILE.OUC for the image with its checksum. The image defaults to the\n"
    "       name an update derives from FILE.OUC; --generate writes a deterministic image\n"
    "       there first, and --version stamps the revision REV (1 to 4 characters) into\n"
    "       it, which the emulated MX-R4410 reports once it has saved the image.\n"
    "       --regions lists the regions to select (default 1,2,3). An existing file is\n"
    "       replaced only with --force.\n"
    "\n"
    "exit status: 0 accepted or written, 1 rejected, 2 bad command line, 3 a file could\n"
    "not be read or written, 4 a file exists (make without --force).\n";

// A command line error: one line on the error stream and exit code 2.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct CommandLine {
  std::string file;
  std::map<std::string, std::string> options;
  std::set<std::string> flags;
  bool help = false;

  std::optional<std::string> Option(const std::string& name) const {
    auto it = options.find(name);
    return it == options.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
};

// `valued` are the options that take a value, `flags` those that do not.
CommandLine ParseCommandLine(const std::vector<std::string>& args, const std::set<std::string>& valued,
                             const std::set<std::string>& flags = {}) {
  CommandLine line;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      line.help = true;
      return line;
    }
    if (flags.contains(arg)) {
      line.flags.insert(arg);
    } else if (arg.starts_with("--")) {
      if (!valued.contains(arg)) throw UsageError("unknown option " + arg + " for " + args[0]);
      if (i + 1 == args.size()) throw UsageError(arg + " needs a value");
      line.options[arg] = args[++i];
    } else if (line.file.empty()) {
      line.file = arg;
    } else {
      throw UsageError("unexpected argument " + arg);
    }
  }
  if (line.file.empty()) throw UsageError(args[0] + " needs a parameter file");
  return line;
}

std::array<bool, 3> ParseRegions(const std::string& text) {
  std::array<bool, 3> regions{false, false, false};
  if (text == "none") return regions;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    const std::string item = text.substr(start, comma - start);
    if (item != "1" && item != "2" && item != "3") throw UsageError("--regions takes 1, 2, 3 separated by commas, or none");
    regions[item[0] - '1'] = true;
    if (comma == std::string::npos) return regions;
    start = comma + 1;
  }
}

uint64_t ParseSeed(const std::string& text) {
  if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos)
    throw UsageError("--generate takes a decimal seed");
  return std::stoull(text);
}

void CheckField(const std::string& option, const std::string& text, int limit) {
  const std::string problem = FieldProblem(text, limit);
  if (!problem.empty()) throw UsageError(option + " " + problem);
}

// "0x10000-0x79FFF (424 KiB: blocks 4-29, first half of block 30)".
std::string DescribeRegion(const ImageRegion& region) {
  const uint32_t end = region.offset + region.length;
  uint32_t firstWhole = (region.offset + kBlockSize - 1) / kBlockSize;
  uint32_t endWhole = end / kBlockSize;
  std::string parts;
  auto add = [&parts](const std::string& part) { parts += (parts.empty() ? "" : ", ") + part; };
  if (region.offset % kBlockSize != 0) add("second half of block " + std::to_string(region.offset / kBlockSize));
  if (endWhole > firstWhole + 1)
    add("blocks " + std::to_string(firstWhole) + "-" + std::to_string(endWhole - 1));
  else if (endWhole == firstWhole + 1)
    add("block " + std::to_string(firstWhole));
  if (end % kBlockSize != 0) add("first half of block " + std::to_string(end / kBlockSize));
  char range[32];
  std::snprintf(range, sizeof range, "0x%05X-0x%05X", region.offset, end - 1);
  return std::string(range) + " (" + std::to_string(region.length / 1024) + " KiB: " + parts + ")";
}

// Reads the image at `path` as an update does and returns how many bytes it has (at
// most kImageSize); throws FileError.
std::size_t ReadImageFile(const std::string& path, FirmwareImage& image) {
  PackageFile file(path);
  const std::size_t size = ReadImage(file, image);
  file.Close();
  return size;
}

// What the tool says about an image beyond its checksum.
void NoteImageSize(std::ostream& out, const std::string& path, std::size_t size) {
  if (size < kImageSize) out << "note: " << path << " has " << size << " bytes; the rest counts as zero\n";
}

// One line on the error stream for a file that could not be read or written.
int FileProblem(std::ostream& err, const char* what, const std::string& path, const FileError& error) {
  err << "morvantide-package: " << what << " " << path << ": " << error.Text() << "\n";
  return kExitFile;
}

int Check(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const CommandLine line = ParseCommandLine(args, {"--model"});
  if (line.help) {
    out << kUsage;
    return kExitOk;
  }
  const std::optional<std::string> drive = line.Option("--model");
  if (drive && drive->empty()) throw UsageError("--model needs the drive's description");
  // Without its parameter file a package has nothing to report.
  try {
    PackageFile(line.file).Close();
  } catch (const FileError& error) {
    return FileProblem(err, "cannot read", line.file, error);
  }

  // What the operator would see, in the order an update shows it.
  ParameterFile parameters;
  FirmwareImage image;
  const ModelCheck anyModel = [](const std::string&) { return true; };
  const PackageVerdict verdict = ReadPackage(line.file, drive ? ModelIn(*drive) : anyModel, parameters, image);
  const bool accepted = !verdict;
  if (ChecksumFieldRead(verdict)) out << ChecksumLine(parameters);
  if (verdict && (verdict->step == PackageStep::ParameterFile || verdict->step == PackageStep::ImageFile))
    out << "status line: " << Quoted(verdict->text) << "\n";
  if (verdict) out << "message box: " << Quoted(verdict->text) << "\n";

  out << "parameter file: " << line.file << "\n"
      << "header:         " << Quoted(parameters.header) << "\n"
      << "model:          " << Quoted(parameters.model);
  if (drive)
    out << " in drive " << Quoted(*drive) << "\n";
  else
    out << " (no --model: not checked)\n";
  const std::array<bool, 3> selected = SelectedRegions(parameters);
  const std::string* flags[] = {&parameters.region1, &parameters.region2, &parameters.region3};
  for (int region = 0; region < 3; ++region)
    out << "region " << region + 1 << ":       " << Quoted(*flags[region]) << (selected[region] ? " write " : " skip  ")
        << DescribeRegion(kImageRegions[region]) << "\n";
  const std::string imagePath = FindImageFile(ImageFileName(line.file));
  out << "checksum:       " << Quoted(parameters.checksumText) << " = " << parameters.checksum << "\n"
      << "image file:     " << imagePath << "\n";
  std::optional<FileError> imageError;
  try {
    NoteImageSize(out, imagePath, ReadImageFile(imagePath, image));
  } catch (const FileError& error) {
    imageError = error;
  }
  out << "verdict:        " << (accepted ? "accepted" : "rejected") << "\n";
  if (imageError) return FileProblem(err, "cannot read", imagePath, *imageError);
  return accepted ? kExitOk : kExitRejected;
}

}  // namespace

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      default:
        if (c < 0x20 || c > 0x7E) {
          char hex[5];
          std::snprintf(hex, sizeof hex, "\\x%02X", c);
          out += hex;
        } else {
          out.push_back(static_cast<char>(c));
        }
    }
  }
  return out + "\"";
}

namespace {

int Make(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const CommandLine line =
      ParseCommandLine(args, {"--model", "--image", "--generate", "--version", "--regions", "--header"}, {"--force"});
  if (line.help) {
    out << kUsage;
    return kExitOk;
  }
  PackageDescription description;
  const std::optional<std::string> model = line.Option("--model");
  if (!model) throw UsageError("make needs --model");
  // An empty model occurs in every drive's description.
  if (model->find_first_not_of(' ') == std::string::npos)
    throw UsageError("--model names no model: the package would fit every drive");
  description.model = *model;
  description.header = line.Option("--header").value_or(description.header);
  description.regions = ParseRegions(line.Option("--regions").value_or("1,2,3"));
  CheckField("--model", description.model, kModelFieldLimit);
  CheckField("--header", description.header, kTextFieldLimit);
  const std::optional<std::string> seed = line.Option("--generate");
  const uint64_t seedValue = seed ? ParseSeed(*seed) : 0;
  // The stamp goes into an image the tool writes itself, never into one it was given.
  const std::optional<std::string> revision = line.Option("--version");
  if (revision && !seed) throw UsageError("--version needs --generate");
  if (revision && !sim::RevisionProblem(*revision).empty())
    throw UsageError("--version " + sim::RevisionProblem(*revision));

  const std::string derived = FindImageFile(ImageFileName(line.file));
  const std::string imagePath = line.Option("--image").value_or(derived);
  // Nothing is written unless every file make would write may be written.
  if (!line.flags.contains("--force")) {
    for (const std::string& path : seed ? std::vector{imagePath, line.file} : std::vector{line.file}) {
      std::error_code ignored;
      if (std::filesystem::exists(std::filesystem::symlink_status(path, ignored))) {
        err << "morvantide-package: " << path << " exists; --force replaces it\n";
        return kExitExists;
      }
    }
  }
  FirmwareImage image;
  try {
    if (seed) {
      GenerateImage(seedValue, image);
      if (revision) sim::StampRevision(image.data(), image.size(), *revision);
      WriteFileBytes(imagePath, image.data(), kImageSize);
    } else {
      NoteImageSize(out, imagePath, ReadImageFile(imagePath, image));
    }
  } catch (const FileError& error) {
    return FileProblem(err, seed ? "cannot write" : "cannot read", imagePath, error);
  }

  const int32_t checksum = ImageChecksum(image);
  const std::string text = ParameterFileText(description, checksum);
  try {
    WriteFileBytes(line.file, text.data(), text.size());
  } catch (const FileError& error) {
    return FileProblem(err, "cannot write", line.file, error);
  }
  out << "wrote " << line.file << " for image " << imagePath << ", checksum " << checksum << "\n";
  if (imagePath != derived) out << "note: an update reads the image from " << derived << "\n";
  if (!HeaderMatches(description.header)) out << "note: the header does not carry this program's format version\n";
  return kExitOk;
}

}  // namespace

int RunPackageTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  try {
    if (args.empty()) throw UsageError("needs a command: check or make (see --help)");
    if (args[0] == "--help" || args[0] == "-h") {
      out << kUsage;
      return kExitOk;
    }
    if (args[0] == "--version") {
      out << "morvantide-package " MORVANTIDE_VERSION "\n";
      return kExitOk;
    }
    if (args[0] == "check") return Check(args, out, err);
    if (args[0] == "make") return Make(args, out, err);
    throw UsageError("unknown command " + args[0] + " (see --help)");
  } catch (const UsageError& error) {
    err << "morvantide-package: " << error.what() << "\n";
    return kExitUsage;
  }
}

}  // namespace morv
