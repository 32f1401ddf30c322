#include "platform/linux/aspi_linux_manager.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <new>

#include "platform/fixed_format_sense.h"
#include "platform/linux/aspi_linux_sg.h"

namespace morv::linux_aspi {

/// One command handed to the sg driver. It owns the data and sense buffers the
/// driver fills, so a block that was aborted never receives late data.
struct LinuxAspiManager::Request {
  SRB_ExecSCSICmd* srb = nullptr;  ///< null once aborted: the answer is then dropped
  int fd = -1;
  DataDirection direction = DataDirection::None;
  std::vector<uint8_t> buffer;
  uint8_t cdb[kMaxCdbLength] = {};
  uint8_t sense[kSgSenseCapacity] = {};
  sg_io_hdr_t header{};
};

LinuxAspiManager::LinuxAspiManager(Paths paths) : m_paths(std::move(paths)) {
  m_adapters = ReadHostAdapters(m_paths.sysfs, ReadSgNodes(m_paths.sysfs));
  m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (m_wakeFd >= 0) m_completer = std::thread([this] { CompleteRequests(); });
}

LinuxAspiManager::~LinuxAspiManager() {
  {
    std::lock_guard lock(m_mutex);
    m_stopping = true;
  }
  if (m_completer.joinable()) {
    Wake();
    m_completer.join();
  }
  // The sg driver copies data and sense out only in read(): once a descriptor is
  // closed it no longer writes into the buffers of commands still running.
  for (int fd : m_openFds) close(fd);
  if (m_wakeFd >= 0) close(m_wakeFd);
}

uint32_t LinuxAspiManager::GetASPI32SupportInfo() {
  if (m_wakeFd < 0) return uint32_t{SS_FAILED_INIT} << 8;
  // No host at all is an empty list, not a failure: a manager status other than 1
  // would reach the operator as "Aspi Error : Timeout.", which says nothing true.
  return (uint32_t{SS_COMP} << 8) | static_cast<uint32_t>(std::min<size_t>(m_adapters.size(), 255));
}

uint8_t LinuxAspiManager::Inquire(SRB_HAInquiry& srb) {
  if (m_wakeFd < 0) {
    StoreSrbStatus(srb.SRB_Status, SS_FAILED_INIT);
    return SS_FAILED_INIT;
  }
  if (srb.SRB_HaId >= m_adapters.size()) {
    StoreSrbStatus(srb.SRB_Status, SS_INVALID_HA);
    return SS_INVALID_HA;
  }
  const HostAdapter& adapter = m_adapters[srb.SRB_HaId];
  return AnswerAdapterInquiry(srb, static_cast<uint8_t>(std::min<size_t>(m_adapters.size(), 255)), adapter.ownId,
                              "Linux SCSI sg", adapter.procName.c_str());
}

uint8_t LinuxAspiManager::Execute(SRB_ExecSCSICmd& srb) {
  uint8_t refusal = SS_PENDING;
  if (m_wakeFd < 0)
    refusal = SS_FAILED_INIT;
  else if (srb.SRB_HaId >= m_adapters.size())
    refusal = SS_INVALID_HA;
  else
    refusal = CheckExecBlock(srb);
  if (refusal != SS_PENDING) {
    CompleteExecBlock(srb, refusal, HASTAT_OK, 0);
    return refusal;
  }

  std::lock_guard lock(m_mutex);
  const int fd = NodeFor(m_adapters[srb.SRB_HaId].hostNumber, srb.SRB_Target, srb.SRB_Lun);
  if (fd < 0) {
    CompleteExecBlock(srb, SS_ERR, HASTAT_SEL_TO, 0);  // nobody answers at this ID
    return SS_ERR;
  }

  auto request = std::make_unique<Request>();
  request->srb = &srb;
  request->fd = fd;
  request->direction = ExecBlockDirection(srb);
  try {
    if (request->direction != DataDirection::None) request->buffer.resize(srb.SRB_BufLen);
  } catch (const std::bad_alloc&) {
    CompleteExecBlock(srb, SS_BUFFER_TO_BIG, HASTAT_OK, 0);
    return SS_BUFFER_TO_BIG;
  }
  if (request->direction == DataDirection::Out)
    std::memcpy(request->buffer.data(), srb.SRB_BufPointer, srb.SRB_BufLen);
  std::memcpy(request->cdb, srb.CDBByte, sizeof request->cdb);
  request->header = BuildSgHeader(srb, request->direction, request->buffer.data(), request->sense, request.get());
  request->header.cmdp = request->cdb;
  StoreSrbStatus(srb.SRB_Status, SS_PENDING);

  ssize_t written;
  do {
    written = write(fd, &request->header, sizeof request->header);
  } while (written < 0 && errno == EINTR);
  if (written != static_cast<ssize_t>(sizeof request->header)) {
    const int error = written < 0 ? errno : EIO;
    if (error == ENODEV || error == ENXIO) std::erase_if(m_nodes, [fd](const auto& n) { return n.second == fd; });
    const BlockOutcome outcome = SubmitFailureOutcome(error);
    CompleteExecBlock(srb, outcome.status, outcome.haStat, outcome.targStat);
    return outcome.status;
  }
  m_inFlight.push_back(std::move(request));
  Wake();
  return SS_PENDING;
}

uint8_t LinuxAspiManager::Abort(const SRB_Abort& abort) {
  std::lock_guard lock(m_mutex);
  for (auto& request : m_inFlight) {
    if (request->srb == nullptr || request->srb != abort.SRB_ToAbort) continue;
    // The command stays with the sg driver; its answer will be read and dropped.
    SRB_ExecSCSICmd& srb = *request->srb;
    request->srb = nullptr;
    CompleteExecBlock(srb, SS_ABORTED, HASTAT_OK, 0);
    return SS_COMP;
  }
  return SS_ABORT_FAIL;  // unknown, or already finished
}

int LinuxAspiManager::NodeFor(uint32_t host, uint32_t target, uint64_t lun) {
  const NodeKey key{host, target, lun};
  if (auto it = m_nodes.find(key); it != m_nodes.end()) return it->second;
  // Read the node list afresh: a device may have been added since the start.
  for (const SgNode& node : NodesAt(ReadSgNodes(m_paths.sysfs), host, target, lun)) {
    const int fd = OpenMatching(node);
    if (fd < 0) continue;
    m_nodes[key] = fd;
    return fd;
  }
  return -1;
}

int LinuxAspiManager::OpenMatching(const SgNode& node) {
  const std::string path = (m_paths.dev / node.name).string();
  // Read-write: the sg driver refuses commands such as WRITE BUFFER on read-only
  // descriptors. Non-blocking: answers are collected by poll().
  const int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT && m_reportedNodes.insert(path).second)
      std::fprintf(stderr, "Morvantide4: cannot open %s: %s\n", path.c_str(), std::strerror(errno));
    return -1;
  }
  sg_scsi_id id{};
  if (ioctl(fd, SG_GET_SCSI_ID, &id) < 0 || static_cast<uint32_t>(id.host_no) != node.address.host ||
      static_cast<uint32_t>(id.channel) != node.address.channel ||
      static_cast<uint32_t>(id.scsi_id) != node.address.target || static_cast<uint64_t>(id.lun) != node.address.lun) {
    close(fd);
    return -1;
  }
  m_openFds.push_back(fd);
  return fd;
}

void LinuxAspiManager::Wake() {
  const uint64_t one = 1;
  [[maybe_unused]] ssize_t ignored = write(m_wakeFd, &one, sizeof one);
}

void LinuxAspiManager::CompleteRequests() {
  for (;;) {
    std::vector<pollfd> fds{{m_wakeFd, POLLIN, 0}};
    {
      std::lock_guard lock(m_mutex);
      if (m_stopping) return;
      for (const auto& request : m_inFlight)
        if (std::none_of(fds.begin(), fds.end(), [&](const pollfd& p) { return p.fd == request->fd; }))
          fds.push_back({request->fd, POLLIN, 0});
    }
    if (poll(fds.data(), fds.size(), -1) < 0) {
      if (errno != EINTR) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    if (fds[0].revents != 0) {
      uint64_t count;
      [[maybe_unused]] ssize_t ignored = read(m_wakeFd, &count, sizeof count);
    }
    for (size_t i = 1; i < fds.size(); ++i) {
      if (fds[i].revents == 0) continue;
      // The sg driver reports a node whose device is going away with POLLHUP.
      const bool gone = !ReadAnswers(fds[i].fd) || (fds[i].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
      if (gone) FailRequestsOn(fds[i].fd);
    }
  }
}

bool LinuxAspiManager::ReadAnswers(int fd) {
  for (;;) {
    sg_io_hdr_t answer;
    std::memset(&answer, 0, sizeof answer);
    answer.interface_id = 'S';
    const ssize_t n = read(fd, &answer, sizeof answer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) return true;
    if (n != static_cast<ssize_t>(sizeof answer)) return false;

    std::lock_guard lock(m_mutex);
    auto it = std::find_if(m_inFlight.begin(), m_inFlight.end(),
                           [&](const auto& r) { return r.get() == answer.usr_ptr; });
    if (it == m_inFlight.end()) continue;
    Request& request = **it;
    const BlockOutcome outcome = OutcomeFor(answer.status, answer.host_status, answer.driver_status);
    uint8_t sense[SENSE_LEN + 2];
    const size_t senseLength =
        FixedFormatSense(request.sense, std::min<size_t>(answer.sb_len_wr, kSgSenseCapacity), sense, sizeof sense);
    const int resid = std::clamp(answer.resid, 0, static_cast<int>(request.buffer.size()));
    Finish(request, outcome.status, outcome.haStat, outcome.targStat, sense, senseLength,
           request.buffer.size() - static_cast<size_t>(resid));
    m_inFlight.erase(it);
  }
}

void LinuxAspiManager::FailRequestsOn(int fd) {
  std::lock_guard lock(m_mutex);
  std::erase_if(m_nodes, [fd](const auto& node) { return node.second == fd; });
  for (auto it = m_inFlight.begin(); it != m_inFlight.end();) {
    if ((*it)->fd != fd) {
      ++it;
      continue;
    }
    Finish(**it, SS_ERR, HASTAT_SEL_TO, 0, nullptr, 0, 0);
    it = m_inFlight.erase(it);
  }
}

void LinuxAspiManager::Finish(Request& request, uint8_t status, uint8_t haStat, uint8_t targStat,
                              const uint8_t* sense, size_t senseLength, size_t transferred) {
  if (request.srb == nullptr) return;  // aborted: the requester has moved on
  SRB_ExecSCSICmd& srb = *request.srb;
  request.srb = nullptr;
  if (request.direction == DataDirection::In && transferred != 0)
    std::memcpy(srb.SRB_BufPointer, request.buffer.data(), transferred);
  CompleteExecBlock(srb, status, haStat, targStat, sense, senseLength);
}

}  // namespace morv::linux_aspi
