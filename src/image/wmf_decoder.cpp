#include "image/wmf_decoder.h"

// libwmf's headers are C and not const-correct.
#include <libwmf/api.h>
#include <libwmf/gd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "image/decode_limits.h"

namespace velmora {

namespace {

constexpr double kDotsPerInch = 96.0;
constexpr std::string_view kEmfRefusal =
    "EMF pictures are not supported, only WMF; save the picture as PNG or JPEG first";

// libwmf keeps global state (font maps, its gd copy); one metafile at a time.
std::mutex& libwmfMutex() {
    static std::mutex mutex;
    return mutex;
}

// A libwmf player with the metafile opened from memory and scanned.
class MetafilePlayer {
  public:
    explicit MetafilePlayer(std::span<const uint8_t> data) : bytes_(data.begin(), data.end()) {}
    ~MetafilePlayer() {
        if (api_ == nullptr) return;
        if (opened_) wmf_mem_close(api_);
        wmf_api_destroy(api_);
    }
    MetafilePlayer(const MetafilePlayer&) = delete;
    MetafilePlayer& operator=(const MetafilePlayer&) = delete;

    bool open(std::string* reason) {
        wmfAPI_Options options{};
        options.function = wmf_gd_function;
        const unsigned long flags =
            WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
        if (wmf_api_create(&api_, flags, &options) != wmf_E_None) {
            *reason = "the WMF decoder cannot be started";
            return false;
        }
        if (bytes_.empty() ||
            wmf_mem_open(api_, bytes_.data(), long(bytes_.size())) != wmf_E_None) {
            *reason = "not a WMF picture";
            return false;
        }
        opened_ = true;
        if (wmf_scan(api_, 0, &bbox_) != wmf_E_None) {
            *reason = "the WMF picture is damaged";
            return false;
        }
        unsigned int width = 0;
        unsigned int height = 0;
        if (wmf_display_size(api_, &width, &height, kDotsPerInch, kDotsPerInch) != wmf_E_None) {
            *reason = "the WMF picture has no size";
            return false;
        }
        size_ = QSize(int(std::min<unsigned>(width, kMaxPictureSide + 1)),
                      int(std::min<unsigned>(height, kMaxPictureSide + 1)));
        const std::string tooLarge = checkPictureSize(size_.width(), size_.height());
        if (!tooLarge.empty()) {
            *reason = tooLarge;
            return false;
        }
        return true;
    }

    QSize size() const { return size_; }

    // Draws the metafile as a PNG into `out`. libwmf writes the PNG when the
    // player is destroyed, and only then frees its drawing surface.
    bool play(QSize size, FILE* out, std::string* reason) {
        wmf_gd_t* device = WMF_GD_GetData(api_);
        device->type = wmf_gd_png;
        device->flags |= WMF_GD_OUTPUT_FILE;
        device->file = out;
        device->bbox = bbox_;
        device->width = unsigned(size.width());
        device->height = unsigned(size.height());
        if (wmf_play(api_, 0, &bbox_) != wmf_E_None) {
            *reason = "the WMF picture cannot be drawn";
            return false;
        }
        return true;
    }

  private:
    std::vector<unsigned char> bytes_;
    wmfAPI* api_ = nullptr;
    bool opened_ = false;
    wmfD_Rect bbox_{};
    QSize size_;
};

// A FILE that writes into memory.
class MemoryFile {
  public:
    MemoryFile() : file_(open_memstream(&buffer_, &size_)) {}
    ~MemoryFile() {
        if (file_ != nullptr) std::fclose(file_);
        std::free(buffer_);
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    FILE* file() const { return file_; }
    QByteArray contents() {
        if (file_ != nullptr) std::fflush(file_);
        return QByteArray(buffer_, qsizetype(size_));
    }

  private:
    char* buffer_ = nullptr;
    size_t size_ = 0;
    FILE* file_;
};

}  // namespace

bool isEnhancedMetafile(std::span<const uint8_t> head) {
    // An EMF starts with its header record (type 1) carrying " EMF" at offset 40.
    return head.size() >= 44 && head[0] == 1 && head[1] == 0 && head[2] == 0 && head[3] == 0 &&
           head[40] == ' ' && head[41] == 'E' && head[42] == 'M' && head[43] == 'F';
}

QSize wmfSize(std::span<const uint8_t> data, std::string* reason) {
    if (isEnhancedMetafile(data)) {
        *reason = kEmfRefusal;
        return {};
    }
    std::lock_guard lock(libwmfMutex());
    MetafilePlayer player(data);
    if (!player.open(reason)) return {};
    return player.size();
}

QImage decodeWmf(std::span<const uint8_t> data, QSize size, std::string* reason) {
    if (isEnhancedMetafile(data)) {
        *reason = kEmfRefusal;
        return {};
    }
    MemoryFile png;
    if (png.file() == nullptr) {
        *reason = "not enough memory to draw the WMF picture";
        return {};
    }
    {
        std::lock_guard lock(libwmfMutex());
        MetafilePlayer player(data);
        if (!player.open(reason)) return {};
        const QSize drawn = size.isValid() && !size.isEmpty() ? size : player.size();
        if (const std::string tooLarge = checkPictureSize(drawn.width(), drawn.height());
            !tooLarge.empty()) {
            *reason = tooLarge;
            return {};
        }
        if (!player.play(drawn, png.file(), reason)) return {};
    }
    QImage image = QImage::fromData(png.contents(), "PNG");
    if (image.isNull()) *reason = "the WMF picture cannot be drawn";
    return image;
}

}  // namespace velmora
