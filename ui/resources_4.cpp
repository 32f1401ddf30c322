// Morvantide4's resources: the drive is chosen by host adapter and target ID, so
// the host adapter selector shows and the device selector sits beside it.

#include "ui/resource_ids.h"
#include "ui/resources.h"
#include "ui/resources_common.h"

namespace morv {

const ProgramResources& Resources4() {
  static const ProgramResources resources = [] {
    ProgramResources r;
    r.mainDialog = MainDialogTemplate({
        .caption = "Morvantide4  for KESTREL MX-R441X Ver4.1.0",
        .hostAdapterVisible = true,
        .hostAdapterWidth = 90,
        .idLabel = "ID",
        .idLabelX = 110,
        .idLabelWidth = 8,
        .deviceX = 120,
        .deviceWidth = 90,
        .firmwareVersionHeight = 10,
        .fileLabel = "File Name",
        .fileLabelWidth = 33,
    });
    r.aboutBox = AboutBoxTemplate({
        .caption = "Morvantide 4",
        .name = "Morvantide",
        .nameWidth = 55,
        .version = "Ver.4.01.00",
        .versionX = 115,
        .versionWidth = 55,
    });
    r.mainMenu = MainMenuTemplate();
    // An orange badge reading "4".
    r.icons = ProgramIcons({0xFFE07010,
                            {
                                "....##.",
                                "...###.",
                                "..#.##.",
                                ".#..##.",
                                "#...##.",
                                "#######",
                                "....##.",
                                "....##.",
                                "....##.",
                            }});
    r.strings = CommonStrings();
    r.strings[IDS_ABOUTBOX] = "&About Morvantide4...";
    r.notice = JoinLines({
        "- Morvantide4 requires that \"Auto insert notification\" and \"DMA\" are disabled.",
        "   Verify that \"Auto insert notification\" and \"DMA\" are disabled.",
        "- This program is for use only with the MX-R4410.  It cannot be used with any other model.",
        "- Please insure both of these files are located in the same folder of your PC system.",
        "- Please close all other applications before starting this program. ",
        "- Verify that no media is installed in the MX-R4410.",
        "- Do not turn off the power supply or reset the system while updating the firmware.",
    });
    return r;
  }();
  return resources;
}

}  // namespace morv
