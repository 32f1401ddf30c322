// MorvantideNT's resources: the drive is chosen by drive letter, so the host
// adapter selector and its label stay hidden and the device selector is wide.

#include "ui/resource_ids.h"
#include "ui/resources.h"
#include "ui/resources_common.h"

namespace morv {

const ProgramResources& ResourcesNT() {
  static const ProgramResources resources = [] {
    ProgramResources r;
    r.mainDialog = MainDialogTemplate({
        .caption = "Morvantide NT for KESTREL MX-R4410 ver.1.0.0",
        .hostAdapterVisible = false,
        .hostAdapterWidth = 16,
        .idLabel = "Drive ID",
        .idLabelX = 5,
        .idLabelWidth = 38,
        .deviceX = 45,
        .deviceWidth = 165,
        .firmwareVersionHeight = 12,
        .fileLabel = "Selected File",
        .fileLabelWidth = 68,
    });
    r.aboutBox = AboutBoxTemplate({
        .caption = "Morvantide NT",
        .name = "Morvantide NT",
        .nameWidth = 65,
        .version = "ver.1.00.00",
        .versionX = 125,
        .versionWidth = 45,
    });
    r.mainMenu = MainMenuTemplate();
    // A blue badge reading "NT".
    r.icons = ProgramIcons({0xFF2A64D0,
                            {
                                "#...#.#####",
                                "##..#...#..",
                                "##..#...#..",
                                "#.#.#...#..",
                                "#..##...#..",
                                "#..##...#..",
                                "#...#...#..",
                            }});
    r.strings = CommonStrings();
    r.strings[IDS_ABOUTBOX] = "&About MorvantideNT...";
    r.notice = JoinLines({
        "- This is a program for the KESTREL DVD-RAM MX-R4410.",
        "- Close all other applications before starting this program. ",
        "- Check that a disc is not loaded in the drive.",
        "- Do not turn off the power supply or reset the system while updating the firmware.",
    });
    return r;
  }();
  return resources;
}

}  // namespace morv
