#include "platform/linux/aspi_linux_manager.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
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
#include "platform/linux/sg_drive_claim.h"
#include "platform/linux/sg_queue.h"

namespace morv::linux_aspi {

namespace {

/// How often the completion thread looks at vanished nodes that still have
/// requests out: poll() reports them as hung up at once, so they cannot be polled.
constexpr int kVanishedNodeCheckMs = 10;

}  // namespace

/// One command handed to the sg driver. The driver keeps pointers to the sense
/// buffer and, for data-in, to dataIn, and fills both when the answer is read; so
/// both belong to the request and live until it is answered or its node closed.
struct LinuxAspiManager::Request {
  SRB_ExecSCSICmd* srb = nullptr;  ///< null once aborted: the answer is then dropped
  int fd = -1;
  uint32_t dataInLength = 0;
  std::unique_ptr<uint8_t[]> dataIn;  ///< data-in lands here, never straight in the caller's buffer
  uint8_t sense[kSgSenseCapacity];
};

LinuxAspiManager::LinuxAspiManager(Paths paths, Report report)
    : m_paths(std::move(paths)), m_report(std::move(report)) {
  m_adapters = ReadHostAdapters(m_paths.sysfs, ReadSgNodes(m_paths.sysfs));
  m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (m_wakeFd < 0) return;
  // The completion thread takes no signal: handlers the program installs (a
  // terminal's resize and stop handlers, the hold on termination signals) run on
  // the program's own thread, and the thread's waits are never cut short.
  sigset_t all, previous;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &previous);
  m_completer = std::thread([this] { CompleteRequests(); });
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
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
  for (const auto& [fd, claim] : m_claims) {
    if (claim.blockFd >= 0) close(claim.blockFd);
    if (claim.gone) close(fd);
  }
  for (int fd : m_polled) close(fd);
  for (int fd : m_vanished) close(fd);
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

  // No descriptor is closed while this one is written to; the completion thread
  // may still read answers meanwhile, so an instant answer is not held up.
  std::lock_guard submitting(m_submitMutex);
  int fd;
  const Request* submitted;
  sg_io_hdr_t header;
  {
    std::lock_guard lock(m_mutex);
    fd = NodeFor(m_adapters[srb.SRB_HaId].hostNumber, srb.SRB_Target, srb.SRB_Lun);
    if (fd < 0) {
      const NodeKey key{m_adapters[srb.SRB_HaId].hostNumber, srb.SRB_Target, srb.SRB_Lun};
      // A claimed device that has gone ends the request with the kernel's reason;
      // elsewhere nobody answers at this ID.
      const BlockOutcome outcome =
          ClaimAt(key) != m_claims.end() ? SubmitFailureOutcome(ENODEV) : BlockOutcome{SS_ERR, HASTAT_SEL_TO, 0};
      CompleteExecBlock(srb, outcome.status, outcome.haStat, outcome.targStat);
      return outcome.status;
    }
    auto request = std::make_unique<Request>();
    request->srb = &srb;
    request->fd = fd;
    const DataDirection direction = ExecBlockDirection(srb);
    // Data-out and the CDB are read by the driver inside write(): no copy of ours.
    uint8_t* data = direction == DataDirection::Out ? srb.SRB_BufPointer : nullptr;
    if (direction == DataDirection::In) {
      try {
        request->dataIn = std::make_unique_for_overwrite<uint8_t[]>(srb.SRB_BufLen);
      } catch (const std::bad_alloc&) {
        CompleteExecBlock(srb, SS_BUFFER_TO_BIG, HASTAT_OK, 0);
        return SS_BUFFER_TO_BIG;
      }
      request->dataInLength = srb.SRB_BufLen;
      data = request->dataIn.get();
    }
    header = BuildSgHeader(srb, direction, data, request->sense, request.get());
    StoreSrbStatus(srb.SRB_Status, SS_PENDING);
    // In flight before it is written: its answer may come before write() returns.
    submitted = request.get();
    m_inFlight.push_back(std::move(request));
  }

  const int error = sg::SubmitHeader(fd, header);
  if (error == 0) return SS_PENDING;

  std::lock_guard lock(m_mutex);
  std::erase_if(m_inFlight, [submitted](const auto& r) { return r.get() == submitted; });
  // A node whose device is going away takes nothing more; the completion thread
  // sees it hung up and closes it.
  if (error == ENODEV || error == ENXIO) std::erase_if(m_nodes, [fd](const auto& n) { return n.second == fd; });
  const BlockOutcome outcome = SubmitFailureOutcome(error);
  CompleteExecBlock(srb, outcome.status, outcome.haStat, outcome.targStat);
  return outcome.status;
}

uint8_t LinuxAspiManager::Abort(const SRB_Abort& abort) {
  SRB_ExecSCSICmd* srb = nullptr;
  const Request* abandoned = nullptr;
  {
    std::lock_guard submitting(m_submitMutex);  // no node is closed meanwhile
    const auto nodeOfBlock = [&] {
      std::lock_guard lock(m_mutex);
      for (const auto& request : m_inFlight)
        if (request->srb != nullptr && request->srb == abort.SRB_ToAbort) return request->fd;
      return -1;
    };
    const int fd = nodeOfBlock();
    if (fd < 0) return SS_ABORT_FAIL;  // unknown, or already finished
    // Its answer may be waiting unread (the process was stopped past the caller's
    // limit, say): then the drive's answer is the outcome, not an abort.
    int error = 0;
    while (ReadAnswer(fd, error) == Answer::Finished) {
    }
    std::lock_guard lock(m_mutex);
    const auto it = std::find_if(m_inFlight.begin(), m_inFlight.end(),
                                 [&](const auto& r) { return r->srb != nullptr && r->srb == abort.SRB_ToAbort; });
    if (it == m_inFlight.end()) return SS_ABORT_FAIL;  // finished with the drive's answer after all
    // From here the answer is dropped whenever it comes: the caller gave up.
    srb = (*it)->srb;
    (*it)->srb = nullptr;
    abandoned = it->get();
  }

  // The command stays with the sg driver, which cannot take it back: the block
  // stays pending (so the caller sends nothing more) until the completion thread
  // has read and dropped the answer, the node is gone, or the wait is over.
  std::unique_lock lock(m_mutex);
  m_answered.wait_for(lock, m_lateAnswerWait, [&] {
    return std::none_of(m_inFlight.begin(), m_inFlight.end(), [&](const auto& r) { return r.get() == abandoned; });
  });
  CompleteExecBlock(*srb, SS_ABORTED, HASTAT_OK, 0);
  return SS_COMP;
}

bool LinuxAspiManager::AccessDenied() {
  std::lock_guard lock(m_mutex);
  return !m_deniedNodes.empty();
}

int LinuxAspiManager::NodeFor(uint32_t host, uint32_t target, uint64_t lun) {
  const NodeKey key{host, target, lun};
  if (auto it = m_nodes.find(key); it != m_nodes.end()) return it->second;
  // A claimed address is never opened afresh: whatever sits there now was not checked.
  if (ClaimAt(key) != m_claims.end()) return -1;
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
  const int error = fd < 0 ? errno : 0;
  if (error == EACCES || error == EPERM)
    m_deniedNodes.insert(path);
  else
    m_deniedNodes.erase(path);
  if (fd < 0) {
    if (error != ENOENT && m_report && m_reportedNodes.insert(path).second)
      m_report("cannot open " + path + ": " + std::strerror(error));
    return -1;
  }
  sg_scsi_id id{};
  if (ioctl(fd, SG_GET_SCSI_ID, &id) < 0 || static_cast<uint32_t>(id.host_no) != node.address.host ||
      static_cast<uint32_t>(id.channel) != node.address.channel ||
      static_cast<uint32_t>(id.scsi_id) != node.address.target || static_cast<uint64_t>(id.lun) != node.address.lun) {
    close(fd);
    return -1;
  }
  // Polled from now on: the completion thread hears of its answers and of its going.
  m_polled.push_back(fd);
  Wake();
  return fd;
}

void LinuxAspiManager::Wake() {
  const uint64_t one = 1;
  [[maybe_unused]] ssize_t ignored = write(m_wakeFd, &one, sizeof one);
}

std::vector<pollfd> LinuxAspiManager::PollSet() {
  std::vector<pollfd> fds{{m_wakeFd, POLLIN, 0}};
  for (int fd : m_polled) fds.push_back({fd, POLLIN, 0});
  return fds;
}

void LinuxAspiManager::CompleteRequests() {
  // The set is rebuilt only when it changes (a node opened or gone, or the end):
  // those are the only times the thread is woken.
  std::vector<pollfd> fds;
  bool rebuild = true;
  bool vanished = false;
  for (;;) {
    if (rebuild) {
      std::lock_guard lock(m_mutex);
      if (m_stopping) return;
      fds = PollSet();
      rebuild = false;
    }
    if (poll(fds.data(), fds.size(), vanished ? kVanishedNodeCheckMs : -1) < 0) {
      if (errno != EINTR) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    if (fds[0].revents != 0) {
      uint64_t count;
      [[maybe_unused]] ssize_t ignored = read(m_wakeFd, &count, sizeof count);
      rebuild = true;
    }
    for (size_t i = 1; i < fds.size(); ++i) {
      if (fds[i].revents == 0) continue;
      // Answers first: a node going away may still have answered.
      int error = 0;
      const Answer answer = (fds[i].revents & POLLIN) ? ReadAnswer(fds[i].fd, error) : Answer::NoneWaiting;
      // The sg driver reports a node whose device is going away with POLLHUP.
      if (answer == Answer::NodeGone || (fds[i].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
        LetGo(fds[i].fd);
        rebuild = true;
      }
    }
    // A node just let go (which asks for a rebuild) or one still draining.
    if (vanished || rebuild) vanished = DrainVanished();
  }
}

LinuxAspiManager::Answer LinuxAspiManager::ReadAnswer(int fd, int& error) {
  sg_io_hdr_t answer{};
  if (const int failure = sg::ReadAnswer(fd, answer); failure != 0) {
    if (failure == EAGAIN) return Answer::NoneWaiting;
    error = failure;
    return Answer::NodeGone;
  }

  std::lock_guard lock(m_mutex);
  auto it = std::find_if(m_inFlight.begin(), m_inFlight.end(),
                         [&](const auto& r) { return r.get() == answer.usr_ptr; });
  if (it == m_inFlight.end()) return Answer::Finished;
  Request& request = **it;
  const BlockOutcome outcome = OutcomeFor(answer.status, answer.host_status, answer.driver_status);
  uint8_t sense[SENSE_LEN + 2];
  const size_t senseLength =
      FixedFormatSense(request.sense, std::min<size_t>(answer.sb_len_wr, kSgSenseCapacity), sense, sizeof sense);
  const int resid = std::clamp(answer.resid, 0, static_cast<int>(request.dataInLength));
  Finish(request, outcome.status, outcome.haStat, outcome.targStat, sense, senseLength,
         request.dataInLength - static_cast<size_t>(resid));
  m_inFlight.erase(it);
  m_answered.notify_all();
  return Answer::Finished;
}

void LinuxAspiManager::LetGo(int fd) {
  std::lock_guard lock(m_mutex);
  std::erase_if(m_nodes, [fd](const auto& node) { return node.second == fd; });
  std::erase(m_polled, fd);
  // Its requests end with what the driver answers for them; until then the
  // descriptor stays open (closing it would lose those answers).
  m_vanished.push_back(fd);
}

bool LinuxAspiManager::DrainVanished() {
  std::vector<int> vanished;
  {
    std::lock_guard lock(m_mutex);
    vanished = m_vanished;
  }
  for (int fd : vanished) {
    Answer answer;
    int error = 0;
    do answer = ReadAnswer(fd, error);
    while (answer == Answer::Finished);
    std::scoped_lock lock(m_submitMutex, m_mutex);
    const bool waitedOn = std::any_of(m_inFlight.begin(), m_inFlight.end(),
                                      [fd](const auto& r) { return r->fd == fd && r->srb != nullptr; });
    // A node that can no longer be read answers nothing more: its requests end
    // with the driver's reason.
    if (answer == Answer::NodeGone)
      CloseNode(fd, SubmitFailureOutcome(error));
    else if (!waitedOn)
      CloseNode(fd, {});
  }
  std::lock_guard lock(m_mutex);
  return !m_vanished.empty();
}

void LinuxAspiManager::CloseNode(int fd, const BlockOutcome& outcome) {
  // Requests still on it were abandoned by their callers or can never be
  // answered; the driver frees them without writing to our buffers.
  for (auto& request : m_inFlight)
    if (request->fd == fd) Finish(*request, outcome.status, outcome.haStat, outcome.targStat, nullptr, 0, 0);
  std::erase_if(m_inFlight, [fd](const auto& r) { return r->fd == fd; });
  m_answered.notify_all();
  std::erase(m_vanished, fd);
  // A claimed node stays open until its claim ends, so its number stays taken.
  if (auto claim = m_claims.find(fd); claim != m_claims.end())
    claim->second.gone = true;
  else
    close(fd);
}

bool LinuxAspiManager::KeyOf(uint8_t adapter, uint8_t target, uint8_t lun, NodeKey& key) const {
  if (adapter >= m_adapters.size()) return false;
  key = NodeKey{m_adapters[adapter].hostNumber, target, lun};
  return true;
}

std::map<int, LinuxAspiManager::ClaimedNode>::iterator LinuxAspiManager::ClaimAt(const NodeKey& key) {
  return std::find_if(m_claims.begin(), m_claims.end(), [&](const auto& claim) { return claim.second.key == key; });
}

DevicePlace LinuxAspiManager::PlaceOf(uint8_t adapter, uint8_t target, uint8_t lun) {
  std::lock_guard lock(m_mutex);
  NodeKey key;
  if (!KeyOf(adapter, target, lun, key)) return {};
  const int fd = NodeFor(std::get<0>(key), std::get<1>(key), std::get<2>(key));
  return fd < 0 ? DevicePlace{} : sg::SgPlaceOf(fd);
}

ClaimOutcome LinuxAspiManager::Claim(uint8_t adapter, uint8_t target, uint8_t lun) {
  std::lock_guard lock(m_mutex);
  NodeKey key;
  if (!KeyOf(adapter, target, lun, key)) return {ClaimStatus::Failed, {}, ENODEV};
  if (ClaimAt(key) != m_claims.end()) return {ClaimStatus::UpdatedElsewhere, {}, 0};
  const int fd = NodeFor(std::get<0>(key), std::get<1>(key), std::get<2>(key));
  if (fd < 0) return {ClaimStatus::Failed, {}, ENODEV};
  int blockFd = -1;
  const ClaimOutcome outcome = sg::ClaimSgDevice(fd, {m_paths.sysfs, m_paths.dev}, blockFd);
  if (outcome.status == ClaimStatus::Claimed) m_claims[fd] = ClaimedNode{key, blockFd, false};
  return outcome;
}

void LinuxAspiManager::Release(uint8_t adapter, uint8_t target, uint8_t lun) {
  std::scoped_lock lock(m_submitMutex, m_mutex);
  NodeKey key;
  if (!KeyOf(adapter, target, lun, key)) return;
  const auto claim = ClaimAt(key);
  if (claim == m_claims.end()) return;
  sg::ReleaseSgDevice(claim->first, claim->second.blockFd);
  if (claim->second.gone) close(claim->first);
  m_claims.erase(claim);
}

void LinuxAspiManager::Finish(Request& request, uint8_t status, uint8_t haStat, uint8_t targStat,
                              const uint8_t* sense, size_t senseLength, size_t transferred) {
  if (request.srb == nullptr) return;  // aborted: the requester has moved on
  SRB_ExecSCSICmd& srb = *request.srb;
  request.srb = nullptr;
  if (transferred != 0) std::memcpy(srb.SRB_BufPointer, request.dataIn.get(), transferred);
  CompleteExecBlock(srb, status, haStat, targStat, sense, senseLength);
}

}  // namespace morv::linux_aspi
