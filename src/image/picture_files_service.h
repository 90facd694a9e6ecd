#pragma once

#include <filesystem>
#include <string_view>

#include "image/picture.h"
#include "model/model_context.h"

namespace velmora {

struct SlideImage;

// The picture library's side of the project model: a file counts as a
// picture when it is a regular file that decodes as one of the loader's
// types without damage, and covers are fitted on white at 80 × 60.
class PictureFilesService final : public PictureFiles {
  public:
    bool canLoad(const std::filesystem::path& file, std::string* reason) override;
    bool renderCover(const std::filesystem::path& picture,
                     const std::filesystem::path& cover) override;
    QImage renderThumbnail(const std::filesystem::path& picture, QSize size) override;
};

// Saves an edited picture as the picture's working file: its file name gets
// a "~" in front, the copy goes into W/temp in the type of the source (a
// PNG, with ".png" added to the name, for types the picture type does not
// write), and workingPath names it. 0 when saved; −1 when there is no picture or it
// cannot be written (the picture keeps its old working file then).
// Where an edit of `sourcePath` is kept in the working folder:
// W/temp/<stem>-<8 hex digits>.<extension>. The digits come from the whole
// source path, so two pictures of the same name from different folders
// never overwrite each other's edited copy, and the same picture always
// gets the same place.
std::filesystem::path editedCopyPath(const std::filesystem::path& workingFolder,
                                     const std::filesystem::path& sourcePath,
                                     std::string_view extension);

int saveEditedPictureCopy(SlideImage& slideImage, const Picture& edited,
                          const std::filesystem::path& workingFolder);

}  // namespace velmora
