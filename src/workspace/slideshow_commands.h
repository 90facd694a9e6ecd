#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "model/slideshow.h"
#include "workspace/slideshow_import.h"

namespace velmora {

class Application;
class Notifier;

// What adding pictures did: how many came in, which were refused and why,
// and whether the disc filled up on the way.
struct AddedPictures {
    int added = 0;
    bool discLimitReached = false;
    std::vector<RefusedPicture> refused;
};

// The slideshow tab's commands on the project, with their questions and
// messages. The tab chooses files and indices; these run the model's
// operations, keep the size estimate current and tell the user what went
// wrong. Every command works on the current slideshow unless it names one.
class SlideshowCommands {
  public:
    SlideshowCommands(Application& app, Notifier& notifier);

    // Adding a slideshow is two steps around the picture dialog: the new
    // slideshow (with its default name and music, −1 with the message when
    // the model refuses it), then its pictures; with none taken it goes
    // again. True when the slideshow stayed.
    int startSlideshow();
    bool fillNewSlideshow(int index, const std::vector<std::filesystem::path>& pictures,
                          AddedPictures* result = nullptr);

    // Asks first; true when the slideshow went.
    bool deleteSlideshow(int index);
    bool deleteAllSlideshows();
    void moveSlideshowUp(int index);
    void moveSlideshowDown(int index);
    // False when another slideshow has the name (the model keeps the old one).
    bool renameSlideshow(int index, const std::string& newName);

    // Pictures go to the end of the current slideshow in order; one that
    // would take the disc over its limit is taken back, with one message.
    AddedPictures addPictures(const std::vector<std::filesystem::path>& pictures);
    // Files and folders dropped from the file manager: a folder gives its
    // pictures in name order; everything goes to the current slideshow (a
    // new one when there is none).
    AddedPictures dropPictures(const std::vector<std::filesystem::path>& paths);
    // Folders dropped onto the disc tree become slideshows as the import
    // dialog makes them; loose files dropped with them make one slideshow.
    ImportResult dropSlideshows(const std::vector<std::filesystem::path>& paths);
    ImportResult importFolders(const std::vector<std::filesystem::path>& folders);

    // True when the slideshow itself went because it became empty.
    bool deletePictures(const std::vector<int>& selected);
    // The first selected picture up; down only when exactly one is selected.
    // The index the picture moved to, or −1.
    int movePictureUp(const std::vector<int>& selected);
    int movePictureDown(const std::vector<int>& selected);
    // Moves the selected pictures, in their order, before picture `position`
    // (the number of pictures: to the end). The index of the first moved.
    int movePicturesTo(const std::vector<int>& selected, int position);
    void sortPictures(Slideshow::SortKey key, Slideshow::SortOrder order);

    // Rotates each selected picture's working file a quarter turn and keeps
    // the turn in its edit list. The files rewritten (their old thumbnails
    // are stale), or nothing with *failure naming the file that could not
    // be rotated.
    std::vector<std::filesystem::path> rotatePictures(const std::vector<int>& selected, bool left,
                                                      std::string* failure);

    void resetMotionEffects(const std::vector<int>& selected);
    void randomizeMotionEffects(const std::vector<int>& selected);
    void randomizeTransitions(const std::vector<int>& selected);
    void setMenuThumbnail(int index);

    Slideshow* currentSlideshow();

  private:
    // Refills the size estimate after a change of pictures.
    void pictureCountChanged();
    void logRefusals(const std::vector<RefusedPicture>& refused) const;

    Application& app_;
    Notifier& notifier_;
};

}  // namespace velmora
