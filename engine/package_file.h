#pragma once
// The files of a firmware package, read through the C library without any text-mode
// translation. Every failure to open, read or close one becomes a FileError, which
// ReadPackage turns into the operator's "File Read Error!" report.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace morv {

/// A failed open, read or close, or the end of a file met while a field was wanted.
struct FileError {
  /// True for the end of the parameter file; then osError is 0.
  bool endOfFile = false;
  /// The errno value of a failed operation.
  int osError = 0;

  /// The error of the C library call that just failed (EIO where it left no errno).
  static FileError FromErrno();
  /// "End of File" for the end of file, otherwise the system's text for osError.
  std::string Text() const;
};

/// One open package file; closed when destroyed, so no road out leaves it open.
class PackageFile {
 public:
  /// Opens `path` for binary reading; throws FileError when it cannot.
  explicit PackageFile(const std::string& path);
  /// Takes over an already open stream (tests and the fuzzer read from memory this way).
  explicit PackageFile(std::FILE* stream);
  ~PackageFile();
  PackageFile(const PackageFile&) = delete;
  PackageFile& operator=(const PackageFile&) = delete;

  /// The next byte; throws FileError at the end of the file or on a read error.
  uint8_t ReadByte();
  /// Reads up to `size` bytes into `buffer` and returns how many arrived (fewer only at
  /// the end of the file); throws FileError on a read error.
  std::size_t Read(uint8_t* buffer, std::size_t size);
  /// Closes the file; throws FileError when the close fails.
  void Close();

 private:
  std::FILE* m_stream = nullptr;
};

}  // namespace morv
