#pragma once
// The files of a firmware package, read through the C library without any text-mode
// translation. Every failure to open, read or close one becomes a FileError, which
// ReadPackage turns into the operator's "File Read Error!" report.

#include <array>
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
  /// Opens `path` for binary reading; throws FileError when it cannot or when it is not
  /// a regular file (a FIFO or a device would block the update).
  explicit PackageFile(const std::string& path);
  /// Takes over an already open stream (tests and the fuzzer read from memory this way).
  explicit PackageFile(std::FILE* stream);
  ~PackageFile();
  PackageFile(const PackageFile&) = delete;
  PackageFile& operator=(const PackageFile&) = delete;

  /// Lets ReadByte deliver at most `limit` bytes; past them it reports the end of the
  /// file, so a huge file fails as quickly as a short one.
  void LimitByteReads(std::size_t limit);
  /// The next byte; throws FileError at the end of the file (or of the byte limit) or
  /// on a read error. Do not mix with Read on one file.
  uint8_t ReadByte();
  /// Reads up to `size` bytes into `buffer` and returns how many arrived (fewer only at
  /// the end of the file); throws FileError on a read error.
  std::size_t Read(uint8_t* buffer, std::size_t size);
  /// Closes the file; throws FileError when the close fails.
  void Close();

 private:
  std::FILE* m_stream = nullptr;
  std::size_t m_byteLimit = SIZE_MAX;
  std::size_t m_bytesTaken = 0;  ///< bytes ReadByte has taken from the stream
  std::array<uint8_t, 4096> m_chunk{};
  std::size_t m_chunkNext = 0;
  std::size_t m_chunkEnd = 0;
};

}  // namespace morv
