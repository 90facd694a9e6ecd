#include "render/dvd_frame_converter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "render/cpu_dispatch.h"
#include "render/yuv_conversion.h"

namespace velmora {

namespace {

// Keys' cubic with B = 0, C = 0.6.
double bicubic(double x) {
    x = std::abs(x);
    if (x < 1) return (1.4 * x - 2.4) * x * x + 1;
    if (x < 2) return ((-0.6 * x + 3) * x - 4.8) * x + 2.4;
    return 0;
}

inline uint8_t clampToByte(int32_t sum) {
    return uint8_t(std::clamp(sum >> ResamplingFilter::kWeightBits, 0, 255));
}

// Every row of a plane stretched across: the filter gathers neighbours, so
// this is the slower of the two directions and only 4:3 NTSC and 16:9 need
// it.
void resampleAcross(const ResamplingFilter& filter, const uint8_t* in, int inWidth, uint8_t* out,
                    int outWidth, int rows) {
    constexpr int32_t kHalf = 1 << (ResamplingFilter::kWeightBits - 1);
    const int taps = filter.tapCount;
    for (int y = 0; y < rows; ++y) {
        const uint8_t* row = in + size_t(y) * size_t(inWidth);
        uint8_t* target = out + size_t(y) * size_t(outWidth);
        for (int x = 0; x < outWidth; ++x) {
            const uint8_t* source = row + filter.first[size_t(x)];
            const int16_t* weight = &filter.weights[size_t(x) * size_t(taps)];
            int32_t sum = kHalf;
            for (int k = 0; k < taps; ++k)
                sum += int32_t(weight[k]) * source[k];
            target[x] = clampToByte(sum);
        }
    }
}

// Every output row a weighted sum of whole input rows: plain loops over a
// row that the compiler turns into vector code.
VELMORA_AVX2_CLONES void resampleDown(const ResamplingFilter& filter, const uint8_t* in,
                                      int width, uint8_t* out, int outHeight, int32_t* sums) {
    constexpr int32_t kHalf = 1 << (ResamplingFilter::kWeightBits - 1);
    const int taps = filter.tapCount;
    for (int y = 0; y < outHeight; ++y) {
        const int16_t* weight = &filter.weights[size_t(y) * size_t(taps)];
        const uint8_t* source = in + size_t(filter.first[size_t(y)]) * size_t(width);
        const int32_t w0 = weight[0];
        for (int x = 0; x < width; ++x)
            sums[x] = kHalf + w0 * source[x];
        for (int k = 1; k < taps; ++k) {
            const int32_t w = weight[k];
            const uint8_t* row = source + size_t(k) * size_t(width);
            for (int x = 0; x < width; ++x)
                sums[x] += w * row[x];
        }
        uint8_t* target = out + size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x)
            target[x] = uint8_t(std::clamp(sums[x] >> ResamplingFilter::kWeightBits, 0, 255));
    }
}

}  // namespace

ResamplingFilter::ResamplingFilter(int inputSize, int outputSize) {
    if (inputSize == outputSize) return;
    const double ratio = double(inputSize) / double(outputSize);
    const double widening = std::max(1.0, ratio);  // a shrinking filter spans more input
    const double reach = 2 * widening;
    tapCount = std::min(int(std::ceil(2 * reach)), inputSize);
    first.resize(size_t(outputSize));
    weights.assign(size_t(outputSize) * size_t(tapCount), 0);
    std::vector<double> raw(static_cast<size_t>(tapCount));
    for (int i = 0; i < outputSize; ++i) {
        // Pixel centres matched: output centre i + ½ lies at input (i + ½) × ratio.
        const double centre = (i + 0.5) * ratio - 0.5;
        const int start = int(std::floor(centre - reach)) + 1;
        const int firstTap = std::clamp(start, 0, inputSize - tapCount);
        first[size_t(i)] = firstTap;
        std::fill(raw.begin(), raw.end(), 0.0);
        double total = 0;
        for (int k = 0; k < tapCount; ++k) {
            const int at = start + k;
            const double weight = bicubic((at - centre) / widening);
            // Beyond the border the edge sample repeats.
            raw[size_t(std::clamp(at, 0, inputSize - 1) - firstTap)] += weight;
            total += weight;
        }
        int16_t* out = &weights[size_t(i) * size_t(tapCount)];
        int sum = 0, largest = 0;
        for (int k = 0; k < tapCount; ++k) {
            out[k] = int16_t(std::lround(raw[size_t(k)] / total * (1 << kWeightBits)));
            sum += out[k];
            if (out[k] > out[largest]) largest = k;
        }
        out[largest] = int16_t(out[largest] + (1 << kWeightBits) - sum);  // rounding left over
    }
}

DvdFrameConverter::DvdFrameConverter(QSize canvas, QSize dvdFrame)
    : canvas_(canvas), dvdFrame_(dvdFrame) {
    const int w = canvas.width(), h = canvas.height();
    const int outW = dvdFrame.width(), outH = dvdFrame.height();
    luma_ = {ResamplingFilter(w, outW), ResamplingFilter(h, outH), w, h, outW, outH};
    chroma_ = {ResamplingFilter(w / 2, outW / 2), ResamplingFilter(h / 2, outH / 2),
               w / 2,
               h / 2,
               outW / 2,
               outH / 2};
    canvasPlanes_.resize(VideoFrame::planarBytes(w, h));
    across_.resize(size_t(outW) * size_t(h));
    sums_.resize(size_t(outW));
}

void DvdFrameConverter::stretch(const Plane& plane, const uint8_t* in, uint8_t* out) {
    const bool across = !plane.across.isIdentity();
    const bool down = !plane.down.isIdentity();
    if (!across && !down) {
        std::memcpy(out, in, size_t(plane.inWidth) * size_t(plane.inHeight));
        return;
    }
    if (across) {
        uint8_t* target = down ? across_.data() : out;
        resampleAcross(plane.across, in, plane.inWidth, target, plane.outWidth, plane.inHeight);
        in = target;
    }
    if (down) resampleDown(plane.down, in, plane.outWidth, out, plane.outHeight, sums_.data());
}

void DvdFrameConverter::convert(const QImage& canvas, VideoFrame& out) {
    const int w = canvas_.width(), h = canvas_.height();
    uint8_t* y = canvasPlanes_.data();
    uint8_t* u = y + size_t(w) * size_t(h);
    uint8_t* v = u + size_t(w) * size_t(h) / 4;
    convertCanvasToI420(canvas, PlanarFrame{y, u, v, w});
    stretch(luma_, y, out.y());
    stretch(chroma_, u, out.u());
    stretch(chroma_, v, out.v());
}

}  // namespace velmora
