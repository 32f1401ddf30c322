#pragma once
// The ASPI manager on Linux: the SCSI hosts that have sg nodes are the host
// adapters, numbered in ascending host number when the manager starts; a request
// goes to the sg node with that host, target and LUN (channel 0 first) through
// the sg driver's asynchronous write()/read() interface, and a thread of the
// manager completes it and signals its event.
//
// Each command is written to the driver once; nothing here ever writes it again.
// Data-out is read by the driver inside write() straight from the caller's buffer.
// Data-in is delivered by the driver when the answer is read, possibly after the
// caller gave up (an abort at its time limit) and released its buffer: so it lands
// in a buffer of the request and is copied to the caller only while the caller
// still waits.
//
// It also keeps Morvantide4's update claims (platform/linux/sg_drive_claim.h) on the
// descriptors its requests go through. A claimed node is never opened afresh: once
// its device has gone, requests to its address fail with the kernel's ENODEV, and
// the descriptor stays open until the claim ends, so its number is not given away.
//
// The sg driver cannot take a command back: an abort waits (a bounded time) for
// the command's answer before it completes the block as aborted, so the program
// sends nothing more while the drive is still busy with what it gave up on.

#include <poll.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/aspi_drive_claims.h"
#include "platform/aspi_manager.h"
#include "platform/linux/aspi_linux_sg.h"
#include "platform/linux/aspi_linux_sysfs.h"

namespace morv::linux_aspi {

class LinuxAspiManager : public DispatchingAspiManager, public AspiDriveClaims {
 public:
  /// Where sysfs and the device nodes are (tests point these at a prepared tree).
  struct Paths {
    std::filesystem::path sysfs = "/sys";
    std::filesystem::path dev = "/dev";
  };

  /// Takes one line for the operator about a node the manager could not use ("cannot
  /// open /dev/sg3: Permission denied"); the program says whose line it is.
  using Report = std::function<void(const std::string& line)>;

  /// Finds the host adapters and starts the completion thread; each node that
  /// cannot be opened is reported once to `report`, when given.
  explicit LinuxAspiManager(Paths paths, Report report = {});
  LinuxAspiManager() : LinuxAspiManager(Paths{}) {}
  /// Stops the completion thread and closes the nodes; blocks still pending are
  /// left untouched.
  ~LinuxAspiManager() override;
  LinuxAspiManager(const LinuxAspiManager&) = delete;
  LinuxAspiManager& operator=(const LinuxAspiManager&) = delete;

  /// SS_COMP with the number of adapters (at most 255; 0 when there is none).
  uint32_t GetASPI32SupportInfo() override;

  /// The node's path and host:channel:target:LUN of the device at that address.
  DevicePlace PlaceOf(uint8_t adapter, uint8_t target, uint8_t lun) override;
  /// Claims the node requests to that address go through.
  ClaimOutcome Claim(uint8_t adapter, uint8_t target, uint8_t lun) override;
  /// Drops the lock and the block device; a node whose device has gone is closed now.
  void Release(uint8_t adapter, uint8_t target, uint8_t lun) override;

  /// Whether the last open of some device node failed for want of rights (EACCES,
  /// EPERM): the node is there, this user may not use it.
  bool AccessDenied() override;

  /// The host adapters, adapter number = position.
  const std::vector<HostAdapter>& Adapters() const { return m_adapters; }
  /// How long an abort waits for the abandoned command's answer (tests shorten it).
  void SetLateAnswerWait(std::chrono::milliseconds wait) { m_lateAnswerWait = wait; }

  /// The abort's default wait: the time the kernel itself gives a CD/DVD command,
  /// so a drive that answers at all has answered by then.
  static constexpr std::chrono::milliseconds kLateAnswerWait = std::chrono::seconds(30);

 private:
  struct Request;
  using NodeKey = std::tuple<uint32_t, uint32_t, uint64_t>;  // host, target, LUN

  uint8_t Inquire(SRB_HAInquiry& srb) override;
  uint8_t Execute(SRB_ExecSCSICmd& srb) override;
  uint8_t Abort(const SRB_Abort& srb) override;
  /// A claimed node: its address, its block device's descriptor (or -1), and
  /// whether its device has gone.
  struct ClaimedNode {
    NodeKey key;
    int blockFd = -1;
    bool gone = false;
  };

  /// An open descriptor of the node at host/target/LUN, or -1 (also for a claimed
  /// address whose device has gone).
  int NodeFor(uint32_t host, uint32_t target, uint64_t lun);
  /// The address of adapter/target/LUN; false for an adapter the manager does not have.
  bool KeyOf(uint8_t adapter, uint8_t target, uint8_t lun, NodeKey& key) const;
  /// The claim on address `key`, or m_claims.end().
  std::map<int, ClaimedNode>::iterator ClaimAt(const NodeKey& key);
  /// Opens `node` read-write and checks that the sg driver names the same address.
  int OpenMatching(const SgNode& node);
  /// Completion thread: waits for answers of the sg driver and finishes requests.
  void CompleteRequests();
  /// The poll set: the wake descriptor, then every open node not yet gone.
  std::vector<pollfd> PollSet();
  /// What reading a node gave.
  enum class Answer { Finished, NoneWaiting, NodeGone };
  /// Reads one answer waiting on `fd` and finishes its request; `error` is set
  /// when the node can no longer be read.
  Answer ReadAnswer(int fd, int& error);
  /// A node whose device went away: no new request goes to it; it is closed at
  /// once, or once its last request still waited on has its answer (or is aborted).
  void LetGo(int fd);
  /// Reads what the vanished nodes answered and closes those nobody waits on;
  /// whether any is left.
  bool DrainVanished();
  /// Closes `fd` (with both locks held); requests still on it end with `outcome`
  /// (if their callers wait).
  void CloseNode(int fd, const BlockOutcome& outcome);
  void Finish(Request& request, uint8_t status, uint8_t haStat, uint8_t targStat, const uint8_t* sense,
              size_t senseLength, size_t transferred);
  void Wake();

  const Paths m_paths;
  const Report m_report;
  std::vector<HostAdapter> m_adapters;
  std::chrono::milliseconds m_lateAnswerWait = kLateAnswerWait;

  std::mutex m_submitMutex;                        // held while writing to a node, and closing one
  std::mutex m_mutex;                              // guards everything below
  std::list<std::unique_ptr<Request>> m_inFlight;  // handed to the sg driver, not yet answered
  std::condition_variable m_answered;              // a request left m_inFlight
  std::map<NodeKey, int> m_nodes;                  // open descriptor per address, for new requests
  std::vector<int> m_polled;                       // open descriptors the completion thread polls
  std::vector<int> m_vanished;                     // open descriptors of nodes gone, with requests out
  std::set<std::string> m_reportedNodes;           // nodes whose open failure was reported
  std::set<std::string> m_deniedNodes;             // nodes whose last open was refused for want of rights
  std::map<int, ClaimedNode> m_claims;             // claimed descriptors
  bool m_stopping = false;
  int m_wakeFd = -1;
  std::thread m_completer;
};

}  // namespace morv::linux_aspi
