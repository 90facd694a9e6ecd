#pragma once

// Reading back the DVDs the tests build, as a player sees them (libdvdread).

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/nav_read.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace velmora::test {

struct DvdCloser {
    void operator()(dvd_reader_t* dvd) const { DVDClose(dvd); }
    void operator()(ifo_handle_t* ifo) const { ifoClose(ifo); }
    void operator()(dvd_file_t* file) const { DVDCloseFile(file); }
};
using DvdReader = std::unique_ptr<dvd_reader_t, DvdCloser>;
using DvdIfo = std::unique_ptr<ifo_handle_t, DvdCloser>;
using DvdFile = std::unique_ptr<dvd_file_t, DvdCloser>;

// The titles a player finds on a DVD folder or image; -1 when it cannot
// be read.
inline int titleCount(const std::filesystem::path& disc) {
    DvdReader dvd(DVDOpen(disc.c_str()));
    if (!dvd) return -1;
    DvdIfo manager(ifoOpen(dvd.get(), 0));
    if (!manager || manager->tt_srpt == nullptr) return -1;
    return manager->tt_srpt->nr_of_srpts;
}

// The button highlight information of every menu page of the video
// manager: the presentation data of the first navigation pack of the page's
// first cell. A page whose pack cannot be read is left out.
inline std::vector<hli_t> menuHighlights(dvd_reader_t* dvd, const ifo_handle_t& vmg) {
    std::vector<hli_t> pages;
    if (vmg.pgci_ut == nullptr) return pages;
    DvdFile vobs(DVDOpenFile(dvd, 0, DVD_READ_MENU_VOBS));
    const pgcit_t* menus = vmg.pgci_ut->lu[0].pgcit;
    for (int i = 0; vobs && i < menus->nr_of_pgci_srp; ++i) {
        const pgc_t* pgc = menus->pgci_srp[i].pgc;
        unsigned char block[DVD_VIDEO_LB_LEN];
        if (pgc->nr_of_cells == 0 ||
            DVDReadBlocks(vobs.get(), int(pgc->cell_playback[0].first_sector), 1, block) != 1)
            continue;
        pci_t pci{};
        navRead_PCI(&pci, block + 0x2d);  // the navigation pack's presentation data
        pages.push_back(pci.hli);
    }
    return pages;
}

}  // namespace velmora::test
