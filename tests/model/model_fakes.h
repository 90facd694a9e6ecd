#pragma once

#include <QImage>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "base/notifier.h"
#include "interfaces/audio_converter.h"
#include "model/model_context.h"

namespace velmora::test {

// Pictures are files that exist and are not named *.bad; covers are files.
class FakePictureFiles final : public PictureFiles {
  public:
    bool canLoad(const std::filesystem::path& file, std::string* reason) override {
        if (!std::filesystem::exists(file)) {
            *reason = "does not exist";
            return false;
        }
        if (file.extension() == ".bad") {
            *reason = "cannot be loaded: the picture data is damaged";
            return false;
        }
        return true;
    }
    bool renderCover(const std::filesystem::path& picture,
                     const std::filesystem::path& cover) override {
        covers.emplace_back(picture, cover);
        return true;
    }
    QImage renderThumbnail(const std::filesystem::path&, QSize size) override {
        ++thumbnailsMade;
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        return image;
    }
    int thumbnailsMade = 0;
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> covers;
};

// Durations by file name; unknown files measure 0.
class FakeAudio final : public AudioConverterLibrary {
  public:
    int GetFileTimeLength(const std::filesystem::path& file) override {
        const auto it = seconds.find(file.filename().string());
        return it == seconds.end() ? 0 : it->second;
    }
    // Writes a few bytes where the conversion goes.
    int xToMp2(const std::filesystem::path&, const std::filesystem::path& target, const Event&,
               const ConversionLimit&) override {
        std::ofstream(target, std::ios::binary) << "mp2";
        return 0;
    }
    std::map<std::string, int> seconds;
};

class RecordingNotifier final : public Notifier {
  public:
    void show(std::string_view text, std::string_view, NotifierIcon) override {
        messages.emplace_back(text);
    }
    NotifierAnswer ask(std::string_view, std::string_view, NotifierButtons) override {
        return NotifierAnswer::No;
    }
    std::vector<std::string> messages;
};

class RecordingEvents final : public ProjectEvents {
  public:
    void thumbnailsChanged(int slideshowIndex) override { changed.push_back(slideshowIndex); }
    std::vector<int> changed;
};

}  // namespace velmora::test
