#include "engine/package_file.h"

#include <algorithm>
#include <cerrno>

#include "platform/regular_file.h"

namespace morv {

FileError FileError::FromErrno() { return FileError{false, errno != 0 ? errno : EIO}; }

std::string FileError::Text() const {
  if (endOfFile) return "End of File";
  return RegularFileErrorText(osError);
}

PackageFile::PackageFile(const std::string& path) {
  int error = 0;
  m_stream = OpenRegularFile(path, error);
  if (m_stream == nullptr) throw FileError{false, error != 0 ? error : EIO};
}

PackageFile::PackageFile(std::FILE* stream) : m_stream(stream) {
  if (m_stream == nullptr) throw FileError{false, EINVAL};
}

PackageFile::~PackageFile() {
  if (m_stream != nullptr) std::fclose(m_stream);
}

void PackageFile::LimitByteReads(std::size_t limit) { m_byteLimit = limit; }

uint8_t PackageFile::ReadByte() {
  if (m_chunkNext == m_chunkEnd) {
    // The bytes come from the stream a chunk at a time; the limit ends the file early.
    const std::size_t wanted = std::min(m_chunk.size(), m_byteLimit - m_bytesTaken);
    if (wanted == 0) throw FileError{true, 0};
    errno = 0;
    const std::size_t count = std::fread(m_chunk.data(), 1, wanted, m_stream);
    if (count == 0) {
      if (std::ferror(m_stream)) throw FileError::FromErrno();
      throw FileError{true, 0};
    }
    m_bytesTaken += count;
    m_chunkNext = 0;
    m_chunkEnd = count;
  }
  return m_chunk[m_chunkNext++];
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
