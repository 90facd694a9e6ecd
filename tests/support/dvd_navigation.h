#pragma once

// Playing the DVDs the tests build as a player does (libdvdnav, the
// navigator inside VLC and mpv): without decoding, block by block.

#include <dvdnav/dvdnav.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

namespace velmora::test {

class DvdPlayer {
  public:
    explicit DvdPlayer(const std::filesystem::path& disc) {
        dvdnav_t* opened = nullptr;
        if (dvdnav_open(&opened, disc.c_str()) == DVDNAV_STATUS_OK) nav_.reset(opened);
    }
    bool opened() const { return nav_ != nullptr; }
    dvdnav_t* nav() const { return nav_.get(); }

    // Plays on until `reached` holds at a navigation pack, or `blockLimit`
    // blocks have passed (false then). Waits and stills are skipped, as a
    // viewer who lets the disc run would see them pass.
    bool playUntil(const std::function<bool()>& reached, int blockLimit = 200000) {
        uint8_t block[DVD_VIDEO_LB_LEN];
        for (int i = 0; i < blockLimit; ++i) {
            int32_t event = 0;
            int32_t length = 0;
            if (dvdnav_get_next_block(nav(), block, &event, &length) != DVDNAV_STATUS_OK)
                return false;
            if (event == DVDNAV_WAIT) dvdnav_wait_skip(nav());
            if (event == DVDNAV_STILL_FRAME) dvdnav_still_skip(nav());
            if (event == DVDNAV_CELL_CHANGE) ++cellChanges_;
            if (event == DVDNAV_STOP) return false;
            if (event == DVDNAV_NAV_PACKET && reached()) return true;
        }
        return false;
    }

    // The highlighted button, numbered from 1; 0 when none can be read.
    int highlightedButton() const {
        int32_t button = 0;
        return dvdnav_get_current_highlight(nav(), &button) == DVDNAV_STATUS_OK ? button : 0;
    }
    // The sector of the navigation pack playing, within its VOB file.
    uint32_t navigationSector() const {
        const pci_t* pci = dvdnav_get_current_nav_pci(nav());
        return pci != nullptr ? pci->pci_gi.nv_pck_lbn : 0;
    }
    bool inVideoManagerMenu() const { return dvdnav_is_domain_vmgm(nav()) != 0; }
    int cellChanges() const { return cellChanges_; }

  private:
    struct Closer {
        void operator()(dvdnav_t* nav) const { dvdnav_close(nav); }
    };
    std::unique_ptr<dvdnav_t, Closer> nav_;
    int cellChanges_ = 0;
};

}  // namespace velmora::test
