#include "engine/package_file.h"

#include <cerrno>
#include <cstring>

namespace morv {

FileError FileError::FromErrno() { return FileError{false, errno != 0 ? errno : EIO}; }

std::string FileError::Text() const {
  if (endOfFile) return "End of File";
  return std::strerror(osError);
}

PackageFile::PackageFile(const std::string& path) {
  errno = 0;
  m_stream = std::fopen(path.c_str(), "rb");
  if (m_stream == nullptr) throw FileError::FromErrno();
}

PackageFile::PackageFile(std::FILE* stream) : m_stream(stream) {
  if (m_stream == nullptr) throw FileError{false, EINVAL};
}

PackageFile::~PackageFile() {
  if (m_stream != nullptr) std::fclose(m_stream);
}

uint8_t PackageFile::ReadByte() {
  errno = 0;
  int c = std::getc(m_stream);
  if (c != EOF) return static_cast<uint8_t>(c);
  if (std::ferror(m_stream)) throw FileError::FromErrno();
  throw FileError{true, 0};
}

std::size_t PackageFile::Read(uint8_t* buffer, std::size_t size) {
  errno = 0;
  std::size_t count = std::fread(buffer, 1, size, m_stream);
  if (count < size && std::ferror(m_stream)) throw FileError::FromErrno();
  return count;
}

void PackageFile::Close() {
  if (m_stream == nullptr) return;
  std::FILE* stream = m_stream;
  m_stream = nullptr;
  errno = 0;
  if (std::fclose(stream) != 0) throw FileError::FromErrno();
}

}  // namespace morv
