// aspi_probe: the WNASPI32 that Morvantide4 binds by ordinal, asked through the
// programs' own WnAspi32Manager for its host adapters, then an INQUIRY sent to
// each target of adapter 0 with event notification. Prints one line per step for
// the script that runs it under wine in the qemu VM. Exit status: 0 when a device
// answered the INQUIRY, 1 when none did.

#include <cstdio>
#include <cstring>

#include "platform/win32/wnaspi32_manager.h"

int main() {
  using namespace morv;
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  win32::WnAspi32Manager manager;
  const uint32_t info = manager.GetASPI32SupportInfo();
  std::printf("SUPPORT status=0x%02x adapters=%u\n", (info >> 8) & 0xff, info & 0xff);

  SRB_HAInquiry adapter{};
  adapter.SRB_Cmd = SC_HA_INQUIRY;
  const uint32_t answer = manager.SendASPI32Command(&adapter);
  std::printf("HA_INQUIRY return=0x%02x status=0x%02x count=%u manager=\"%.16s\" identifier=\"%.16s\"\n", answer,
              adapter.SRB_Status, adapter.HA_Count, reinterpret_cast<const char*>(adapter.HA_ManagerId),
              reinterpret_cast<const char*>(adapter.HA_Identifier));

  bool answered = false;
  for (uint8_t target = 0; target < 8; ++target) {
    uint8_t data[36] = {};
    auto event = AspiEvent::Create();
    SRB_ExecSCSICmd srb{};
    srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
    srb.SRB_Flags = SRB_DIR_IN | SRB_EVENT_NOTIFY;
    srb.SRB_Target = target;
    srb.SRB_BufLen = sizeof data;
    srb.SRB_BufPointer = data;
    srb.SRB_SenseLen = SENSE_LEN;
    srb.SRB_CDBLen = 6;
    srb.SRB_PostProc = event.get();
    const uint8_t cdb[6] = {0x12, 0, 0, 0, sizeof data, 0};
    std::memcpy(srb.CDBByte, cdb, sizeof cdb);
    const uint32_t sent = manager.SendASPI32Command(&srb);
    if (sent == SS_PENDING && !event->Wait(30000)) {
      std::printf("INQUIRY 0:%u:0 no answer within 30 s\n", target);
      return 1;  // the block is still the manager's
    }
    const uint8_t status = LoadSrbStatus(srb.SRB_Status);
    std::printf("INQUIRY 0:%u:0 return=0x%02x status=0x%02x ha=0x%02x target=0x%02x", target, sent, status,
                srb.SRB_HaStat, srb.SRB_TargStat);
    if (status == SS_COMP) {
      char identity[25] = {};  // vendor and product, unprintable bytes as '.'
      for (size_t i = 0; i < 24; ++i) identity[i] = data[8 + i] >= 0x20 && data[8 + i] < 0x7f ? char(data[8 + i]) : '.';
      std::printf(" type=%u identity=\"%s\"", data[0] & 0x1f, identity);
      answered = true;
    }
    std::printf("\n");
  }
  return answered ? 0 : 1;
}
