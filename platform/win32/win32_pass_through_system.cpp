#include "platform/win32/win32_pass_through_system.h"

#include <windows.h>
#include <ntddscsi.h>

#include <cstddef>
#include <cstring>

#include "platform/aligned_record.h"
#include "platform/win32/pass_through_layout.h"

namespace morv::win32 {
namespace {

// The CD-ROM class driver's exclusive access (ntddcdrm.h of the Windows SDK; the
// cross compiler's headers lack it).
constexpr DWORD kIoctlCdromExclusiveAccess = CTL_CODE(FILE_DEVICE_CD_ROM, 0x0017, METHOD_BUFFERED,
                                                      FILE_READ_ACCESS | FILE_WRITE_ACCESS);
enum ExclusiveAccessRequest : ULONG { kExclusiveQueryState, kExclusiveLockDevice, kExclusiveUnlockDevice };
constexpr ULONG kCdromNoMediaNotifications = 0x2;
struct CdromExclusiveAccess {
  ULONG RequestType;
  ULONG Flags;
};
struct CdromExclusiveLock {
  CdromExclusiveAccess Access;
  UCHAR CallerName[64];
};
constexpr char kCallerName[] = "Morvantide";

/// The storage stack's descriptor of the adapter behind `device`; false where the
/// system offers none.
bool QueryAdapter(HANDLE device, STORAGE_ADAPTER_DESCRIPTOR& adapter) {
  STORAGE_PROPERTY_QUERY query{};
  query.PropertyId = StorageAdapterProperty;
  query.QueryType = PropertyStandardQuery;
  adapter = {};
  DWORD returned = 0;
  return DeviceIoControl(device, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, &adapter, sizeof adapter,
                         &returned, nullptr) &&
         returned >= offsetof(STORAGE_ADAPTER_DESCRIPTOR, CommandQueueing);
}

}  // namespace

Win32PassThroughSystem::~Win32PassThroughSystem() {
  for (void* handle : m_handles)
    if (handle) CloseHandle(handle);
}

bool Win32PassThroughSystem::Fail() {
  m_lastError = static_cast<int>(GetLastError());
  return false;
}

void* Win32PassThroughSystem::SystemHandle(Handle handle) const {
  if (handle < 0 || static_cast<size_t>(handle) >= m_handles.size()) return nullptr;
  return m_handles[static_cast<size_t>(handle)];
}

PassThroughSystem::Handle Win32PassThroughSystem::Open(char letter) {
  // Anything but a drive letter gives the empty path, which the system refuses.
  HANDLE device = CreateFileA(DevicePathOf(letter).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  if (device == INVALID_HANDLE_VALUE) {
    Fail();
    return kInvalidHandle;
  }
  for (size_t i = 0; i < m_handles.size(); ++i)
    if (!m_handles[i]) {
      m_handles[i] = device;
      return static_cast<Handle>(i);
    }
  m_handles.push_back(device);
  return static_cast<Handle>(m_handles.size() - 1);
}

bool Win32PassThroughSystem::PassThroughDirect(Handle handle, PassThroughRecord& record) {
  void* device = SystemHandle(handle);
  if (!device) {
    SetLastError(ERROR_INVALID_HANDLE);
    return Fail();
  }
  // The system defines "unspecified" as no data at all, so a command that moves data
  // goes out with its direction from the operation-code table, as the sg driver's
  // requests are built on Linux; the CDB and lengths stay as they are.
  if (record.spt.DataIn == kDataUnspecified) {
    const DataDirection direction = RecordDirection(record.spt);
    if (direction != DataDirection::None) record.spt.DataIn = direction == DataDirection::In ? kDataIn : kDataOut;
  }
  // The adapter's alignment, asked once per handle: a data buffer that does not
  // meet it goes through an aligned one.
  auto alignment = m_alignmentMasks.find(handle);
  if (alignment == m_alignmentMasks.end()) {
    STORAGE_ADAPTER_DESCRIPTOR adapter;
    alignment = m_alignmentMasks.emplace(handle, QueryAdapter(device, adapter) ? adapter.AlignmentMask : 0).first;
  }
  return CarryAligned(record, alignment->second, [&](PassThroughRecord& aligned) {
    DWORD returned = 0;
    return DeviceIoControl(device, IOCTL_SCSI_PASS_THROUGH_DIRECT, &aligned, sizeof aligned, &aligned,
                           sizeof aligned, &returned, nullptr) ||
           Fail();
  });
}

bool Win32PassThroughSystem::GetCapabilities(Handle handle, IoScsiCapabilities& capabilities) {
  void* device = SystemHandle(handle);
  if (!device) {
    SetLastError(ERROR_INVALID_HANDLE);
    return Fail();
  }
  // The storage stack's adapter descriptor answers on a drive letter's handle; the
  // port driver's own query fails for a device the port driver created, and is
  // asked only where the descriptor is not offered.
  STORAGE_ADAPTER_DESCRIPTOR adapter;
  if (QueryAdapter(device, adapter) && adapter.MaximumTransferLength != 0) {
    capabilities = {};
    capabilities.Length = sizeof capabilities;
    capabilities.MaximumTransferLength = adapter.MaximumTransferLength;
    capabilities.MaximumPhysicalPages = adapter.MaximumPhysicalPages;
    capabilities.AlignmentMask = adapter.AlignmentMask;
    capabilities.AdapterUsesPio = adapter.AdapterUsesPio;
    capabilities.AdapterScansDown = adapter.AdapterScansDown;
    return true;
  }
  DWORD returned = 0;
  if (!DeviceIoControl(device, IOCTL_SCSI_GET_CAPABILITIES, nullptr, 0, &capabilities, sizeof capabilities,
                       &returned, nullptr))
    return Fail();
  return true;
}

void Win32PassThroughSystem::Close(Handle handle) {
  void* device = SystemHandle(handle);
  if (!device) return;
  CloseHandle(device);
  m_handles[static_cast<size_t>(handle)] = nullptr;
  m_alignmentMasks.erase(handle);
}

DevicePlace Win32PassThroughSystem::PlaceOf(Handle handle) {
  void* device = SystemHandle(handle);
  SCSI_ADDRESS address{};
  address.Length = sizeof address;
  DWORD returned = 0;
  if (!device || !DeviceIoControl(device, IOCTL_SCSI_GET_ADDRESS, nullptr, 0, &address, sizeof address, &returned,
                                  nullptr))
    return {};
  return {{}, std::to_string(address.PortNumber) + ":" + std::to_string(address.PathId) + ":" +
                  std::to_string(address.TargetId) + ":" + std::to_string(address.Lun)};
}

bool Win32PassThroughSystem::LockExclusive(void* device, int& error) {
  CdromExclusiveLock lock{};
  lock.Access.RequestType = kExclusiveLockDevice;
  lock.Access.Flags = kCdromNoMediaNotifications;
  std::memcpy(lock.CallerName, kCallerName, sizeof kCallerName);
  DWORD returned = 0;
  if (DeviceIoControl(device, kIoctlCdromExclusiveAccess, &lock, sizeof lock, nullptr, 0, &returned, nullptr))
    return true;
  error = static_cast<int>(GetLastError());
  return false;
}

ClaimOutcome Win32PassThroughSystem::Claim(char letter, Handle& handle) {
  handle = Open(letter);
  if (handle == kInvalidHandle) return {ClaimStatus::Failed, {}, m_lastError};
  ClaimHold hold{std::make_unique<DriveUpdateLock>(), false};
  // Named after the bus address where the system tells it, else after the device path.
  const DevicePlace place = PlaceOf(handle);
  ClaimOutcome outcome = hold.lock->Take(place.address.empty() ? DevicePathOf(letter) : place.address);
  int error = 0;
  if (outcome.status == ClaimStatus::Claimed) {
    hold.exclusive = LockExclusive(SystemHandle(handle), error);
    // Refused because something has the drive: a mounted disc or another program's
    // lock. Any other failure means the system does not offer it (wine answers
    // ERROR_NOT_SUPPORTED): the update goes on with the lock alone.
    const bool held = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_BUSY ||
                      error == ERROR_LOCK_VIOLATION;
    if (!hold.exclusive && held)
      outcome = {ClaimStatus::HeldElsewhere, "a mounted disc or another program (a disc-burning program, for example)", 0};
  }
  if (outcome.status != ClaimStatus::Claimed) {
    if (outcome.status == ClaimStatus::Failed) m_lastError = outcome.error;
    Close(handle);
    handle = kInvalidHandle;
    return outcome;
  }
  m_claims[handle] = std::move(hold);
  return outcome;
}

void Win32PassThroughSystem::Release(Handle handle) {
  const auto claim = m_claims.find(handle);
  if (claim == m_claims.end()) return;
  if (claim->second.exclusive) {
    CdromExclusiveAccess unlock{kExclusiveUnlockDevice, 0};
    DWORD returned = 0;
    DeviceIoControl(SystemHandle(handle), kIoctlCdromExclusiveAccess, &unlock, sizeof unlock, nullptr, 0, &returned,
                    nullptr);
  }
  m_claims.erase(claim);  // releases the update lock
  Close(handle);
}

bool Win32PassThroughSystem::MessageText(int code, size_t bufferSize, std::string& text) {
  std::string buffer(bufferSize, '\0');
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer.data(),
                                static_cast<DWORD>(bufferSize), nullptr);
  if (length == 0) return Fail();
  text.assign(buffer.data(), length);
  return true;
}

}  // namespace morv::win32
