#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "model/audio_track.h"
#include "model/model_context.h"
#include "model/slide_image.h"

namespace velmora {

// What a slideshow needs to know of a picture file before it takes it.
// Finding it out decodes the file, which is why it is a step of its own: an
// import checks many files at once on worker threads and adds them after.
struct PictureFileCheck {
    std::filesystem::path file;
    bool loads = false;   // a whole picture that can be read
    std::string refusal;  // why not, when it does not
    uint64_t fileSize = 0;
    std::time_t modifiedTime = 0;
};

// Checks the file as addPicture does, touching no slideshow: safe on any
// thread as far as `pictures` is.
PictureFileCheck checkPictureFile(const std::filesystem::path& file, PictureFiles& pictures);

// One DVD title: its pictures, its soundtrack and the names of the files the
// build makes for it. Every operation sets the project's modified flag;
// operations taking an index refuse one outside the list with 1 and change
// nothing.
class Slideshow {
  public:
    Slideshow(std::string name, const std::filesystem::path& workingFolder,
              ProjectContext& context);

    std::string name;
    std::vector<SlideImage> pictures;
    std::vector<AudioTrack> audioTracks;
    // T/slideshow.mp2: the music every title starts with, built once for all.
    std::filesystem::path sharedSoundtrackPath;
    // T/slideshow_<index>.mp2: this title's own soundtrack, the shared one
    // cut where the title's video ends; the one its render multiplexes.
    std::filesystem::path soundtrackPath;
    std::filesystem::path programStreamPath;  // T/<name>.mpg, T/<index>.mpg for authoring
    std::filesystem::path coverPath;          // T/cover_<name>.bmp
    int totalFrames = 0;
    int index = 0;
    int coverIndex = 0;

    // Pictures. A picture is added at the end with the defaults; 1 when it
    // is refused (already there, not a file, not a whole picture), with
    // *refusal, when given, saying why in a fragment that follows the file's
    // name ("is a FIFO, not a file"). The model has no log: callers that
    // keep one write the refusal there.
    int addPicture(const std::filesystem::path& path, const SlideSettings& defaults,
                   std::string* refusal = nullptr);
    // The same with the file checked beforehand; refused in the same order
    // (no name, already there, then what the check found).
    int addCheckedPicture(const PictureFileCheck& check, const SlideSettings& defaults,
                          std::string* refusal = nullptr);
    int removePicture(int i);
    void removePictures(std::span<const int> indices);
    int movePictureUp(int i, bool* becameFirst = nullptr);
    int movePictureDown(int i);
    int movePictures(std::vector<int> indices, int target, bool before);
    void setMotionCategoryEffect(std::span<const int> indices, int category);
    void setDisplayTime(std::span<const int> indices, int seconds);
    void setTransitionTime(std::span<const int> indices, int seconds);
    void setTransition(std::span<const int> indices, const TransitionSetting& transition);
    enum class SortKey { FileName, ModifiedTime };
    enum class SortOrder { Ascending, Descending };
    void sortPictures(SortKey key, SortOrder order);
    void recomputeFrames();
    int setCover(int i);
    const SlideImage* coverPicture() const;
    // Picture i's list thumbnail of a size class (0 = 60 × 45, 1 = 80 × 60,
    // 2 = 160 × 120, 3 = 320 × 240, 4 = 80 × 60, 5 = 76 × 95), made again
    // when another class is asked for or when forced; null for an index
    // outside the list, an unknown class or a picture that cannot be loaded.
    QImage thumbnail(int i, int sizeClass, bool force = false);

    // Soundtrack.
    int addAudioTrack(const std::filesystem::path& path,
                      const std::filesystem::path& workingFolder);
    int addDefaultAudio(const std::filesystem::path& workingFolder);
    int removeAudioTrack(int i);
    void moveAudioUp(int i);
    void moveAudioDown(int i);
    // soundtrackPath when there is at least one track, else empty.
    std::filesystem::path soundtrack() const;

    // Points every temporary file of the slideshow into `folder`.
    void repointTempFiles(const std::filesystem::path& folder);
    // Names the title's own soundtrack after its place in the project
    // (beside the shared one): places, unlike names, never clash, and moving
    // slideshows changes them, so the build numbers them before it uses them.
    void numberSoundtrack(int position);

  private:
    bool isPictureIndex(int i) const { return i >= 0 && i < int(pictures.size()); }
    bool holdsPicture(const std::filesystem::path& path) const;
    void recomputeAudioStarts();
    void changed() { context_.flags.modified = true; }

    ProjectContext& context_;
};

}  // namespace velmora
