#include "image/openjpeg_decoder.h"

#include <openjpeg.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

#include "image/decode_limits.h"
#include "image/picture_file.h"

namespace velmora {

namespace {

struct CodecDeleter {
    void operator()(opj_codec_t* codec) const { opj_destroy_codec(codec); }
};
struct StreamDeleter {
    void operator()(opj_stream_t* stream) const { opj_stream_destroy(stream); }
};
struct ImageDeleter {
    void operator()(opj_image_t* image) const { opj_image_destroy(image); }
};
using CodecPtr = std::unique_ptr<opj_codec_t, CodecDeleter>;
using StreamPtr = std::unique_ptr<opj_stream_t, StreamDeleter>;
using ImagePtr = std::unique_ptr<opj_image_t, ImageDeleter>;

// The first message OpenJPEG reports as an error, kept as the reason.
void keepFirstError(const char* message, void* userData) {
    auto* reason = static_cast<std::string*>(userData);
    if (!reason->empty()) return;
    *reason = message;
    while (!reason->empty() && (reason->back() == '\n' || reason->back() == ' ')) {
        reason->pop_back();
    }
}
void ignoreMessage(const char*, void*) {}

using FilePtr = std::unique_ptr<FILE, int (*)(FILE*)>;

// The file opened for reading, a regular file only (see picture_file.h).
FilePtr openFile(const std::filesystem::path& file, std::string* reason) {
    FileDescriptor opened = openPictureFile(file, reason);
    if (!opened.isOpen()) return FilePtr(nullptr, &std::fclose);
    FilePtr in(fdopen(opened.get(), "rb"), &std::fclose);
    if (in) {
        opened.release();
    } else {
        *reason = "the file cannot be opened";
    }
    return in;
}

// JP2 files start with a signature box; raw code streams with the SOC and
// SIZ markers. The file's content decides, whatever its extension says.
bool sniffCodec(FILE* in, OPJ_CODEC_FORMAT* codec, std::string* reason) {
    std::array<unsigned char, 12> head{};
    const size_t count = std::fread(head.data(), 1, head.size(), in);
    std::rewind(in);
    static constexpr unsigned char kJp2Signature[12] = {0x00, 0x00, 0x00, 0x0C, 'j',  'P',
                                                        ' ',  ' ',  0x0D, 0x0A, 0x87, 0x0A};
    if (count == 12 && std::equal(head.begin(), head.end(), kJp2Signature)) {
        *codec = OPJ_CODEC_JP2;
        return true;
    }
    if (count >= 4 && head[0] == 0xFF && head[1] == 0x4F && head[2] == 0xFF && head[3] == 0x51) {
        *codec = OPJ_CODEC_J2K;
        return true;
    }
    *reason = count == 0 ? "the file is empty" : "not a JPEG 2000 file";
    return false;
}

// OpenJPEG reads through these from the FILE we opened; it would otherwise
// open the file by name itself.
OPJ_SIZE_T readFromFile(void* buffer, OPJ_SIZE_T bytes, void* file) {
    const size_t got = std::fread(buffer, 1, bytes, static_cast<FILE*>(file));
    return got == 0 ? OPJ_SIZE_T(-1) : got;
}
OPJ_OFF_T skipInFile(OPJ_OFF_T bytes, void* file) {
    return fseeko(static_cast<FILE*>(file), bytes, SEEK_CUR) == 0 ? bytes : -1;
}
OPJ_BOOL seekInFile(OPJ_OFF_T position, void* file) {
    return fseeko(static_cast<FILE*>(file), position, SEEK_SET) == 0 ? OPJ_TRUE : OPJ_FALSE;
}

StreamPtr streamFrom(FILE* in) {
    StreamPtr stream(opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE));
    if (!stream) return stream;
    struct stat status {};
    const OPJ_UINT64 length = ::fstat(fileno(in), &status) == 0 ? OPJ_UINT64(status.st_size) : 0;
    opj_stream_set_user_data(stream.get(), in, nullptr);
    opj_stream_set_user_data_length(stream.get(), length);
    opj_stream_set_read_function(stream.get(), readFromFile);
    opj_stream_set_skip_function(stream.get(), skipInFile);
    opj_stream_set_seek_function(stream.get(), seekInFile);
    return stream;
}

// An open decoder that has read the header of one file.
struct OpenedStream {
    FilePtr file{nullptr, &std::fclose};
    CodecPtr codec;
    StreamPtr stream;
    ImagePtr image;
    std::string error;  // filled by OpenJPEG's error handler
};

bool openStream(const std::filesystem::path& file, OpenedStream* opened, std::string* reason) {
    opened->file = openFile(file, reason);
    if (!opened->file) return false;
    OPJ_CODEC_FORMAT format = OPJ_CODEC_UNKNOWN;
    if (!sniffCodec(opened->file.get(), &format, reason)) return false;
    opened->codec.reset(opj_create_decompress(format));
    opened->stream = streamFrom(opened->file.get());
    if (!opened->codec || !opened->stream) {
        *reason = "the JPEG 2000 decoder cannot be started";
        return false;
    }
    opj_set_error_handler(opened->codec.get(), keepFirstError, &opened->error);
    opj_set_warning_handler(opened->codec.get(), ignoreMessage, nullptr);
    opj_set_info_handler(opened->codec.get(), ignoreMessage, nullptr);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    opj_image_t* image = nullptr;
    if (!opj_setup_decoder(opened->codec.get(), &parameters) ||
        !opj_read_header(opened->stream.get(), opened->codec.get(), &image)) {
        opened->image.reset(image);
        *reason = "the JPEG 2000 header is damaged" +
                  (opened->error.empty() ? std::string() : " (" + opened->error + ")");
        return false;
    }
    opened->image.reset(image);
    if (image->numcomps == 0 || image->x1 <= image->x0 || image->y1 <= image->y0) {
        *reason = "the JPEG 2000 picture has no pixels";
        return false;
    }
    const std::string tooLarge =
        checkPictureSize(int64_t(image->x1) - image->x0, int64_t(image->y1) - image->y0);
    if (!tooLarge.empty()) {
        *reason = tooLarge;
        return false;
    }
    return true;
}

// The number of times the picture may be halved and still cover `size`,
// limited by the resolution levels the code stream has.
OPJ_UINT32 reductionFor(const OpenedStream& opened, QSize size) {
    if (!size.isValid()) return 0;
    opj_codestream_info_v2_t* info = opj_get_cstr_info(opened.codec.get());
    if (info == nullptr) return 0;
    OPJ_UINT32 levels = info->m_default_tile_info.tccp_info != nullptr
                            ? info->m_default_tile_info.tccp_info[0].numresolutions
                            : 1;
    opj_destroy_cstr_info(&info);
    const int64_t width = int64_t(opened.image->x1) - opened.image->x0;
    const int64_t height = int64_t(opened.image->y1) - opened.image->y0;
    OPJ_UINT32 reduction = 0;
    while (reduction + 1 < levels && (width >> (reduction + 1)) >= size.width() &&
           (height >> (reduction + 1)) >= size.height()) {
        ++reduction;
    }
    return reduction;
}

// One component's sample at picture position (x, y), scaled to 0..255.
class ComponentReader {
  public:
    ComponentReader(const opj_image_comp_t& component, int pictureWidth, int pictureHeight)
        : component_(component), pictureWidth_(pictureWidth), pictureHeight_(pictureHeight) {}

    int at(int x, int y) const {
        const int cx = static_cast<int>(int64_t(x) * component_.w / pictureWidth_);
        const int cy = static_cast<int>(int64_t(y) * component_.h / pictureHeight_);
        int64_t value = component_.data[size_t(cy) * component_.w + size_t(cx)];
        const int precision = static_cast<int>(std::clamp<OPJ_UINT32>(component_.prec, 1, 31));
        if (component_.sgnd) value += int64_t(1) << (precision - 1);
        const int64_t maximum = (int64_t(1) << precision) - 1;
        value = std::clamp<int64_t>(value, 0, maximum);
        return static_cast<int>((value * 255 + maximum / 2) / maximum);
    }

  private:
    const opj_image_comp_t& component_;
    int pictureWidth_;
    int pictureHeight_;
};

int clampByte(double value) {
    return std::clamp(static_cast<int>(value + 0.5), 0, 255);
}

QImage toQImage(const opj_image_t& image, std::string* reason) {
    const opj_image_comp_t& first = image.comps[0];
    const int width = static_cast<int>(first.w);
    const int height = static_cast<int>(first.h);
    for (OPJ_UINT32 i = 0; i < image.numcomps; ++i) {
        if (image.comps[i].data == nullptr || image.comps[i].w == 0 || image.comps[i].h == 0) {
            *reason = "the JPEG 2000 picture data is incomplete";
            return {};
        }
    }
    if (width <= 0 || height <= 0) {
        *reason = "the JPEG 2000 picture has no pixels";
        return {};
    }
    const bool colour = image.numcomps >= 3;
    const bool hasAlpha = image.numcomps == 2 || image.numcomps >= 4;
    const bool cmyk = image.color_space == OPJ_CLRSPC_CMYK && image.numcomps >= 4;
    const bool ycc = image.color_space == OPJ_CLRSPC_SYCC && colour;
    std::vector<ComponentReader> components;
    for (OPJ_UINT32 i = 0; i < std::min<OPJ_UINT32>(image.numcomps, 4); ++i) {
        components.emplace_back(image.comps[i], width, height);
    }

    QImage out(width, height, hasAlpha && !cmyk ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width; ++x) {
            int r = components[0].at(x, y);
            int g = r;
            int b = r;
            int a = 255;
            if (cmyk) {
                const int k = components[3].at(x, y);
                r = (255 - r) * (255 - k) / 255;
                g = (255 - components[1].at(x, y)) * (255 - k) / 255;
                b = (255 - components[2].at(x, y)) * (255 - k) / 255;
            } else if (colour) {
                g = components[1].at(x, y);
                b = components[2].at(x, y);
                if (ycc) {
                    const double luma = r;
                    const double cb = g - 128.0;
                    const double cr = b - 128.0;
                    r = clampByte(luma + 1.402 * cr);
                    g = clampByte(luma - 0.344136 * cb - 0.714136 * cr);
                    b = clampByte(luma + 1.772 * cb);
                }
                if (hasAlpha) a = components[3].at(x, y);
            } else if (hasAlpha) {
                a = components[1].at(x, y);
            }
            row[x] = qRgba(r, g, b, a);
        }
    }
    return out;
}

}  // namespace

QSize jpeg2000Size(const std::filesystem::path& file, std::string* reason) {
    OpenedStream opened;
    if (!openStream(file, &opened, reason)) return {};
    return QSize(static_cast<int>(opened.image->x1 - opened.image->x0),
                 static_cast<int>(opened.image->y1 - opened.image->y0));
}

QImage decodeJpeg2000(const std::filesystem::path& file, QSize coverSize, std::string* reason) {
    OpenedStream opened;
    if (!openStream(file, &opened, reason)) return {};
    opj_codec_set_threads(opened.codec.get(), 2);
    const OPJ_UINT32 reduction = reductionFor(opened, coverSize);
    if (reduction > 0 && !opj_set_decoded_resolution_factor(opened.codec.get(), reduction)) {
        *reason = "the JPEG 2000 picture cannot be decoded at a reduced size";
        return {};
    }
    if (!opj_decode(opened.codec.get(), opened.stream.get(), opened.image.get()) ||
        !opj_end_decompress(opened.codec.get(), opened.stream.get())) {
        *reason = "the JPEG 2000 picture data is damaged" +
                  (opened.error.empty() ? std::string() : " (" + opened.error + ")");
        return {};
    }
    return toQImage(*opened.image, reason);
}

}  // namespace velmora
