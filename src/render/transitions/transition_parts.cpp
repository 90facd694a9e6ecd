#include "render/transitions/transition_parts.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/slide_image.h"
#include "render/cpu_dispatch.h"
#include "render/timeline.h"

namespace velmora {

int runTransitionFrames(RenderContext& context, NewPicture newPicture,
                        const std::function<void(int k)>& drawFrame) {
    const MotionEffectKind effect = context.picture().settings.effect.motionEffect;
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

// One slice's place in the target: the covered pixels [first, end) along
// it, and for each the source coordinate in 16.16 fixed point, starting at
// `source` and growing by `sourceStep` a pixel (pixel centres matched).
struct SlicePlacement {
    int first = 0, end = 0;
    int64_t source = 0, sourceStep = 0;
};

// A slice of `extent` pixels stretched over [start, start + length).
SlicePlacement placeSpan(double start, double length, int extent) {
    SlicePlacement placement;
    if (length <= 0) return placement;
    placement.first = std::clamp(int(std::ceil(start - 0.5)), 0, extent);
    placement.end = std::clamp(int(std::ceil(start + length - 0.5)), 0, extent);
    const double perPixel = extent / length;
    placement.source = std::llround(((placement.first + 0.5 - start) * perPixel - 0.5) * 65536);
    placement.sourceStep = std::llround(perPixel * 65536);
    return placement;
}

SlicePlacement placeSlice(int i, int sliceCount, int extent, InsetFrom insetFrom, double step) {
    const double inset = (insetFrom == InsetFrom::Start ? i : sliceCount - i) * step;
    return placeSpan(inset, extent - 2 * inset, extent);
}

// The two source pixels around a fixed-point coordinate and the weight of
// the second, 0..255.
struct Taps {
    int index;
    int next;
    uint32_t weight;
};
inline Taps tapsAt(int64_t fixed, int extent) {
    const int64_t clamped = std::clamp<int64_t>(fixed, 0, int64_t(extent - 1) << 16);
    const int index = int(clamped >> 16);
    return {index, std::min(index + 1, extent - 1), uint32_t((clamped >> 8) & 0xFF)};
}

// The pixels of one target line, gathered first and mixed in a second
// plain loop that the compiler turns into vector code.
struct LineScratch {
    std::vector<QRgb> first, second;
    std::vector<uint32_t> weight;
    explicit LineScratch(int length)
        : first(size_t(length)), second(size_t(length)), weight(size_t(length)) {}
};

VELMORA_AVX2_CLONES void mixLine(const QRgb* first, const QRgb* second, const uint32_t* weight,
                                 QRgb* out, int count) {
    for (int x = 0; x < count; ++x)
        out[x] = mix(first[x], second[x], weight[x]);
}

// Column i of the target from column i of `sources[i]` (null: left as it
// is), stretched as `placements[i]` says; all sources of the target's size.
void drawColumns(const std::vector<const QImage*>& sources, std::vector<SlicePlacement> placements,
                 QImage& target) {
    const int width = target.width(), height = target.height();
    // Column i of every source starts at columnStart[i]; the sources are of
    // the target's size and depth, so their rows are equally far apart.
    std::vector<const QRgb*> columnStart(size_t(width), nullptr);
    size_t stride = 0;
    int firstColumn = width, endColumn = 0;  // the columns with something to draw
    for (int i = 0; i < width; ++i) {
        SlicePlacement& slice = placements[size_t(i)];
        const QImage* source = sources[size_t(i)];
        if (source == nullptr || source->bytesPerLine() != target.bytesPerLine()) {
            slice.first = slice.end = 0;  // nothing to draw in this column
            continue;
        }
        columnStart[size_t(i)] = reinterpret_cast<const QRgb*>(source->constBits()) + i;
        stride = size_t(source->bytesPerLine()) / sizeof(QRgb);
        if (slice.end > slice.first) {
            firstColumn = std::min(firstColumn, i);
            endColumn = i + 1;
        }
    }
    // Column by column: each column's source pixels follow one another
    // down the rows, which the processor's prefetching follows.
    auto* targetPixels = reinterpret_cast<QRgb*>(target.bits());
    const size_t targetStride = size_t(target.bytesPerLine()) / sizeof(QRgb);
    for (int i = firstColumn; i < endColumn; ++i) {
        const SlicePlacement& slice = placements[size_t(i)];
        const QRgb* column = columnStart[size_t(i)];
        QRgb* out = targetPixels + size_t(i);
        int64_t at = slice.source;
        for (int y = slice.first; y < slice.end; ++y, at += slice.sourceStep) {
            const Taps taps = tapsAt(at, height);
            out[size_t(y) * targetStride] = mix(column[size_t(taps.index) * stride],
                                                column[size_t(taps.next) * stride], taps.weight);
        }
    }
}

void drawColumnSlices(const QImage& source, InsetFrom insetFrom, double step, QImage& target) {
    const int width = source.width(), height = source.height();
    std::vector<SlicePlacement> placements(static_cast<size_t>(width));
    for (int i = 0; i < width; ++i)
        placements[size_t(i)] = placeSlice(i, width, height, insetFrom, step);
    drawColumns(std::vector<const QImage*>(size_t(width), &source), std::move(placements), target);
}

void drawRowSlices(const QImage& source, InsetFrom insetFrom, double step, QImage& target) {
    const int width = source.width(), height = source.height();
    LineScratch line(width);
    for (int i = 0; i < height; ++i) {
        const SlicePlacement slice = placeSlice(i, height, width, insetFrom, step);
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(i));
        auto* out = reinterpret_cast<QRgb*>(target.scanLine(i));
        int64_t at = slice.source;
        for (int x = slice.first; x < slice.end; ++x, at += slice.sourceStep) {
            const Taps taps = tapsAt(at, width);
            const size_t n = size_t(x - slice.first);
            line.first[n] = in[taps.index];
            line.second[n] = in[taps.next];
            line.weight[n] = taps.weight;
        }
        mixLine(line.first.data(), line.second.data(), line.weight.data(), out + slice.first,
                slice.end - slice.first);
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

void drawColumnSpans(const std::vector<ColumnSpan>& columns, QImage& target, QRgb clearColour) {
    target.fill(QColor::fromRgba(clearColour));
    std::vector<const QImage*> sources(size_t(target.width()), nullptr);
    std::vector<SlicePlacement> placements(size_t(target.width()));
    for (size_t i = 0; i < columns.size() && i < sources.size(); ++i) {
        const ColumnSpan& column = columns[i];
        if (column.source == nullptr || column.source->size() != target.size()) continue;
        sources[i] = column.source;
        placements[i] = placeSpan(column.top, column.height, target.height());
    }
    drawColumns(sources, std::move(placements), target);
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
