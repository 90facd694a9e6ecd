#include "image/pgx_decoder.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "image/decode_limits.h"

namespace velmora {

namespace {

constexpr int kMostBits = 16;
// Header numbers stop growing here, so a long run of digits cannot overflow;
// anything this large is refused later anyway.
constexpr int64_t kNumberCap = 1'000'000'000'000;

const char* const kBadHeader = "not a PGX file (bad header)";

struct PgxHeader {
    int width = 0;
    int height = 0;
    int depth = 0;  // bits of each sample
    bool isSigned = false;
    bool bigEndian = true;
    size_t dataOffset = 0;  // first byte after the header line
};

bool fail(std::string* reason, std::string text) {
    if (reason != nullptr) *reason = std::move(text);
    return false;
}

QImage failImage(std::string* reason, std::string text) {
    fail(reason, std::move(text));
    return {};
}

// Walks the header line.
class HeaderText {
  public:
    explicit HeaderText(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    size_t position() const { return next_; }

    // Skips spaces and tabs; returns how many there were.
    size_t skipBlanks() {
        const size_t start = next_;
        while (next_ < bytes_.size() && (bytes_[next_] == ' ' || bytes_[next_] == '\t'))
            ++next_;
        return next_ - start;
    }

    bool take(char c) {
        if (next_ >= bytes_.size() || bytes_[next_] != static_cast<uint8_t>(c)) return false;
        ++next_;
        return true;
    }

    bool takeWord(const char* word) {
        const size_t start = next_;
        for (const char* c = word; *c != '\0'; ++c) {
            if (!take(*c)) {
                next_ = start;
                return false;
            }
        }
        return true;
    }

    // A run of decimal digits; false when there is none.
    bool takeNumber(int64_t* value) {
        const size_t start = next_;
        int64_t number = 0;
        while (next_ < bytes_.size() && bytes_[next_] >= '0' && bytes_[next_] <= '9') {
            number = std::min(number * 10 + (bytes_[next_] - '0'), kNumberCap);
            ++next_;
        }
        *value = number;
        return next_ > start;
    }

  private:
    std::span<const uint8_t> bytes_;
    size_t next_ = 0;
};

// "PG", blanks, "ML" or "LM", an optional sign, the bit depth, the width and
// the height, then a single newline; the samples follow at once.
bool readHeader(std::span<const uint8_t> head, PgxHeader* header, std::string* reason) {
    HeaderText text(head);
    if (!text.takeWord("PG") || text.skipBlanks() == 0) return fail(reason, kBadHeader);
    if (text.takeWord("ML"))
        header->bigEndian = true;
    else if (text.takeWord("LM"))
        header->bigEndian = false;
    else
        return fail(reason, kBadHeader);
    text.skipBlanks();
    if (text.take('-'))
        header->isSigned = true;
    else
        text.take('+');
    text.skipBlanks();

    int64_t depth = 0;
    int64_t width = 0;
    int64_t height = 0;
    if (!text.takeNumber(&depth) || text.skipBlanks() == 0 || !text.takeNumber(&width) ||
        text.skipBlanks() == 0 || !text.takeNumber(&height)) {
        return fail(reason, kBadHeader);
    }
    text.skipBlanks();
    text.take('\r');
    if (!text.take('\n')) return fail(reason, kBadHeader);

    if (depth < 1 || depth > kMostBits)
        return fail(reason, "unsupported PGX bit depth: " + std::to_string(depth));
    const std::string tooLarge = checkPictureSize(width, height);
    if (!tooLarge.empty()) return fail(reason, tooLarge);
    header->depth = static_cast<int>(depth);
    header->width = static_cast<int>(width);
    header->height = static_cast<int>(height);
    header->dataOffset = text.position();
    return true;
}

// One sample as a value from 0 to 2^depth - 1. Signed samples are stored as
// two's complement numbers of the sample size and shifted up by half the
// range; values outside the range stop at its ends.
int32_t sampleValue(const PgxHeader& header, const uint8_t* bytes) {
    int32_t value = 0;
    if (header.depth <= 8) {
        value = header.isSigned ? static_cast<int8_t>(bytes[0]) : bytes[0];
    } else {
        const uint16_t raw = header.bigEndian ? static_cast<uint16_t>(bytes[0] << 8 | bytes[1])
                                              : static_cast<uint16_t>(bytes[1] << 8 | bytes[0]);
        value = header.isSigned ? static_cast<int16_t>(raw) : raw;
    }
    if (header.isSigned) value += int32_t{1} << (header.depth - 1);
    const int32_t largest = (int32_t{1} << header.depth) - 1;
    return std::clamp(value, 0, largest);
}

}  // namespace

QSize pgxSize(std::span<const uint8_t> head, std::string* reason) {
    PgxHeader header;
    if (!readHeader(head, &header, reason)) return {};
    return {header.width, header.height};
}

QImage decodePgx(std::span<const uint8_t> data, std::string* reason) {
    PgxHeader header;
    if (!readHeader(data, &header, reason)) return {};

    const size_t bytesPerSample = header.depth <= 8 ? 1 : 2;
    const size_t rowSize = static_cast<size_t>(header.width) * bytesPerSample;
    const std::span<const uint8_t> samples = data.subspan(header.dataOffset);
    if (samples.size() / rowSize < static_cast<size_t>(header.height))
        return failImage(reason, "the file ends before the picture data is complete");

    QImage image(header.width, header.height, QImage::Format_RGB32);
    if (image.isNull()) return failImage(reason, "not enough memory for the picture");

    const int32_t largest = (int32_t{1} << header.depth) - 1;
    for (int y = 0; y < header.height; ++y) {
        const uint8_t* row = samples.data() + static_cast<size_t>(y) * rowSize;
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < header.width; ++x) {
            const int32_t value =
                sampleValue(header, row + static_cast<size_t>(x) * bytesPerSample);
            const int gray = (value * 255 + largest / 2) / largest;
            out[x] = qRgb(gray, gray, gray);
        }
    }
    return image;
}

}  // namespace velmora
