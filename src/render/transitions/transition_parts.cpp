#include "render/transitions/transition_parts.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/slide_image.h"
#include "render/timeline.h"

namespace velmora {

int runTransitionFrames(RenderContext& context, NewPicture newPicture,
                        const std::function<void(int k)>& drawFrame) {
    const int effect = context.picture().settings.effect.motionEffect;
    const QRgb background = context.job.background;
    context.preparePicture();
    if (newPicture == NewPicture::Frozen && context.T > 0)
        context.motion.advanceMotion(context.T, effect, background);
    for (int k = 0; k < context.T; ++k) {
        context.motionFrame = k;
        if (newPicture == NewPicture::Live) context.motion.renderMotionFrame(k, effect, background);
        drawFrame(k);
        if (const int result = context.emitFrame(); result != 0) return result;
    }
    return context.renderMotionFrames(context.T);
}

namespace {

// a + (b − a) × weight / 256 on all four channels, two at a time.
inline QRgb mix(QRgb a, QRgb b, uint32_t weight) {
    const uint32_t inverse = 256 - weight;
    const uint32_t redBlue =
        (((a & 0x00FF00FFu) * inverse + (b & 0x00FF00FFu) * weight) >> 8) & 0x00FF00FFu;
    const uint32_t alphaGreen =
        ((((a >> 8) & 0x00FF00FFu) * inverse + ((b >> 8) & 0x00FF00FFu) * weight) >> 8) &
        0x00FF00FFu;
    return redBlue | (alphaGreen << 8);
}

// Where slice i starts across the slices and how far one target pixel
// reaches along the source, for a slice of `extent` pixels.
struct SlicePlacement {
    double start = 0;       // first covered coordinate
    double length = 0;      // covered length
    double sourceStep = 0;  // source pixels per target pixel
};

SlicePlacement placeSlice(int i, int sliceCount, int extent, InsetFrom insetFrom, double step) {
    const double inset = (insetFrom == InsetFrom::Start ? i : sliceCount - i) * step;
    SlicePlacement placement;
    placement.start = inset;
    placement.length = extent - 2 * inset;
    if (placement.length > 0) placement.sourceStep = extent / placement.length;
    return placement;
}

// The source coordinate for target pixel `t` of a slice, pixel centres
// matched, as 24.8 fixed point clamped to the picture.
inline int sourceFixed(int t, const SlicePlacement& slice, int extent) {
    const double at = (t + 0.5 - slice.start) * slice.sourceStep - 0.5;
    return int(std::clamp(at, 0.0, double(extent - 1)) * 256);
}

void drawColumnSlices(const QImage& source, InsetFrom insetFrom, double step, QImage& target) {
    const int width = source.width(), height = source.height();
    std::vector<SlicePlacement> slices(static_cast<size_t>(width));
    for (int i = 0; i < width; ++i)
        slices[size_t(i)] = placeSlice(i, width, height, insetFrom, step);
    for (int y = 0; y < height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int i = 0; i < width; ++i) {
            const SlicePlacement& slice = slices[size_t(i)];
            if (slice.length <= 0 || y + 0.5 < slice.start || y + 0.5 >= slice.start + slice.length)
                continue;
            const int fixed = sourceFixed(y, slice, height);
            const int row = fixed >> 8;
            const int next = std::min(row + 1, height - 1);
            const QRgb a = reinterpret_cast<const QRgb*>(source.constScanLine(row))[i];
            const QRgb b = reinterpret_cast<const QRgb*>(source.constScanLine(next))[i];
            out[i] = mix(a, b, uint32_t(fixed & 0xFF));
        }
    }
}

void drawRowSlices(const QImage& source, InsetFrom insetFrom, double step, QImage& target) {
    const int width = source.width(), height = source.height();
    for (int i = 0; i < height; ++i) {
        const SlicePlacement slice = placeSlice(i, height, width, insetFrom, step);
        if (slice.length <= 0) continue;
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(i));
        auto* out = reinterpret_cast<QRgb*>(target.scanLine(i));
        const int first = std::max(0, int(std::ceil(slice.start - 0.5)));
        const int end = std::min(width, int(std::ceil(slice.start + slice.length - 0.5)));
        for (int x = first; x < end; ++x) {
            const int fixed = sourceFixed(x, slice, width);
            const int column = fixed >> 8;
            out[x] = mix(in[column], in[std::min(column + 1, width - 1)], uint32_t(fixed & 0xFF));
        }
    }
}

}  // namespace

void drawInsetSlices(const QImage& source, SliceAxis axis, InsetFrom insetFrom, double insetStep,
                     QImage& target, QRgb clearColour) {
    target.fill(QColor::fromRgba(clearColour));
    if (source.isNull() || source.size() != target.size()) return;
    // Opaque 32-bit RGB and premultiplied ARGB hold the same bytes (Qt keeps
    // 0xFF in the alpha byte of RGB32), so either copies into either.
    const auto is32Bit = [](QImage::Format format) {
        return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied;
    };
    if (!is32Bit(target.format())) return;
    const QImage converted = is32Bit(source.format()) && is32Bit(target.format())
                                 ? source
                                 : source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (axis == SliceAxis::Columns)
        drawColumnSlices(converted, insetFrom, insetStep, target);
    else
        drawRowSlices(converted, insetFrom, insetStep, target);
}

void drawStripTrapezoid(const QImage& source, SliceAxis axis, double startEdge, double endEdge,
                        QImage& target) {
    const int sliceCount = axis == SliceAxis::Columns ? source.width() : source.height();
    const int across = axis == SliceAxis::Columns ? source.height() : source.width();
    if (startEdge <= 0 && endEdge <= 0) {
        target.fill(Qt::transparent);
        return;
    }
    // F = (1 − shorter / longer) × extent × 0.5 / slices, the inset growing
    // towards the shorter edge.
    const bool startLonger = startEdge >= endEdge;
    const double ratio = startLonger ? endEdge / startEdge : startEdge / endEdge;
    const double step = (1 - ratio) * across * 0.5 / sliceCount;
    drawInsetSlices(source, axis, startLonger ? InsetFrom::Start : InsetFrom::End, step, target,
                    0x00000000);
}

FadeLayer::FadeLayer(const QImage& oldFrame, double f, int totalSubSteps,
                     const std::function<int(double x, double y)>& entrySubStep)
    : old_(oldFrame.convertToFormat(QImage::Format_RGB32)) {
    entry_.resize(size_t(old_.width()) * size_t(old_.height()));
    size_t at = 0;
    for (int y = 0; y < old_.height(); ++y) {
        for (int x = 0; x < old_.width(); ++x)
            entry_[at++] = entrySubStep(x + 0.5, y + 0.5);
    }
    const int count = std::max(totalSubSteps, 0) + 1;
    weights_.resize(size_t(count));
    for (int m = 0; m < count; ++m)
        weights_[size_t(m)] = uint16_t(std::lround(256 * std::pow(std::clamp(f, 0.0, 1.0), m)));
}

int FadeLayer::oldWeight(int x, int y) const {
    const int entered = entry_[size_t(y) * size_t(old_.width()) + size_t(x)];
    const int inside = done_ >= entered ? done_ - entered + 1 : 0;
    return weights_[size_t(std::min(inside, int(weights_.size()) - 1))];
}

void FadeLayer::compose(Canvas& frame, const QImage& motionCanvas) const {
    const int width = old_.width();
    const int last = int(weights_.size()) - 1;
    for (int y = 0; y < old_.height(); ++y) {
        const auto* oldRow = reinterpret_cast<const QRgb*>(old_.constScanLine(y));
        const auto* newRow = reinterpret_cast<const QRgb*>(motionCanvas.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(frame.image().scanLine(y));
        const int* entered = &entry_[size_t(y) * size_t(width)];
        for (int x = 0; x < width; ++x) {
            const int inside = done_ >= entered[x] ? std::min(done_ - entered[x] + 1, last) : 0;
            const uint32_t oldWeight = weights_[size_t(inside)];
            out[x] = oldWeight == 256 ? oldRow[x]
                     : oldWeight == 0 ? newRow[x]
                                      : mix(newRow[x], oldRow[x], oldWeight);
        }
    }
}

}  // namespace velmora
