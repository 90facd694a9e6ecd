#include "render/dvd_frame_converter.h"

#include <gtest/gtest.h>

extern "C" {
#include <libswscale/swscale.h>
}

#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "image/picture_fixtures.h"
#include "interfaces/encoder_library.h"
#include "model/transition_kind.h"
#include "render/frame_geometry.h"
#include "render/slideshow_fixture.h"
#include "render/timeline.h"
#include "render/yuv_conversion.h"

namespace velmora {
namespace {

// A canvas through the former path: I420 at the canvas size, then FFmpeg's
// bicubic scaler to the DVD frame.
class FormerStretch {
  public:
    FormerStretch(QSize canvas, int dvdHeight)
        : canvas_(canvas),
          planes_(VideoFrame::planarBytes(canvas.width(), canvas.height())),
          scaler_(sws_getContext(canvas.width(), canvas.height(), AV_PIX_FMT_YUV420P, 720,
                                 dvdHeight, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr,
                                 nullptr)) {}
    ~FormerStretch() { sws_freeContext(scaler_); }
    FormerStretch(const FormerStretch&) = delete;
    FormerStretch& operator=(const FormerStretch&) = delete;

    void convert(const QImage& canvas, VideoFrame& out) {
        const int w = canvas_.width(), h = canvas_.height();
        uint8_t* y = planes_.data();
        convertCanvasToI420(canvas, PlanarFrame{y, y + w * h, y + w * h * 5 / 4, w});
        const uint8_t* in[3] = {y, y + w * h, y + w * h * 5 / 4};
        const int inStrides[3] = {w, w / 2, w / 2};
        uint8_t* target[3] = {out.y(), out.u(), out.v()};
        const int outStrides[3] = {out.lumaStride(), out.chromaStride(), out.chromaStride()};
        sws_scale(scaler_, in, inStrides, 0, h, target, outStrides);
    }

  private:
    QSize canvas_;
    std::vector<uint8_t> planes_;
    SwsContext* scaler_;
};

// The structural similarity of two luma planes: the mean over 8 × 8 blocks
// of the usual SSIM formula.
double lumaSimilarity(const VideoFrame& a, const VideoFrame& b) {
    constexpr double c1 = (0.01 * 255) * (0.01 * 255), c2 = (0.03 * 255) * (0.03 * 255);
    double total = 0;
    int blocks = 0;
    for (int by = 0; by + 8 <= a.height(); by += 8) {
        for (int bx = 0; bx + 8 <= a.width(); bx += 8) {
            double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
            for (int y = by; y < by + 8; ++y) {
                for (int x = bx; x < bx + 8; ++x) {
                    const double p = a.y()[y * a.lumaStride() + x];
                    const double q = b.y()[y * b.lumaStride() + x];
                    sa += p, sb += q, saa += p * p, sbb += q * q, sab += p * q;
                }
            }
            const double n = 64, ma = sa / n, mb = sb / n;
            const double va = saa / n - ma * ma, vb = sbb / n - mb * mb, cov = sab / n - ma * mb;
            total += (2 * ma * mb + c1) * (2 * cov + c2) / ((ma * ma + mb * mb + c1) * (va + vb + c2));
            ++blocks;
        }
    }
    return total / blocks;
}

const VideoFormat kFormats[] = {kPalStandard,
                                kNtscStandard,
                                {TvStandard::Pal, AspectRatio::Wide},
                                {TvStandard::Ntsc, AspectRatio::Wide}};

std::unique_ptr<VideoFrame> converted(const QImage& canvas, VideoFormat format) {
    DvdFrameConverter converter(canvasSize(format), dvdFrameSize(format));
    auto frame = std::make_unique<VideoFrame>(720, format.dvdFrameHeight());
    converter.convert(canvas, *frame);
    return frame;
}

TEST(DvdFrameConverter, APlainCanvasStaysPlainToTheEdges) {
    for (const VideoFormat format : kFormats) {
        SCOPED_TRACE(videoFormatName(format));
        QImage canvas(canvasSize(format), QImage::Format_RGB32);
        canvas.fill(QColor(255, 0, 0));
        const auto frame = converted(canvas, format);
        const size_t luma = size_t(frame->width()) * size_t(frame->height());
        for (size_t i = 0; i < luma; ++i)
            ASSERT_EQ(frame->y()[i], 81) << "sample " << i;
        for (size_t i = 0; i < luma / 4; ++i) {
            ASSERT_EQ(frame->u()[i], 90) << "sample " << i;
            ASSERT_EQ(frame->v()[i], 239) << "sample " << i;
        }
    }
}

// A canvas black in its top and left halves, white where both halves
// below and right meet: the stretched frame has its edges in the middle
// too, neither shifted nor smeared beyond the filter's reach.
TEST(DvdFrameConverter, EdgesStayInTheMiddleOfTheStretchedFrame) {
    for (const VideoFormat format : kFormats) {
        SCOPED_TRACE(videoFormatName(format));
        const QSize size = canvasSize(format);
        QImage canvas(size, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QPainter(&canvas).fillRect(size.width() / 2, size.height() / 2, size.width(),
                                   size.height(), Qt::white);
        const auto frame = converted(canvas, format);
        const int w = frame->width(), h = frame->height();
        auto at = [&](int x, int y) { return int(frame->y()[y * w + x]); };
        // Down the right half: black above the middle, white below, the
        // rows around the middle mirror each other.
        EXPECT_EQ(at(w - 1, h / 2 - 4), 16);
        EXPECT_EQ(at(w - 1, h / 2 + 3), 235);
        for (int d = 0; d < 3; ++d)
            EXPECT_NEAR(at(w - 1, h / 2 - 1 - d) + at(w - 1, h / 2 + d), 16 + 235, 2) << d;
        // Across the bottom half, the same.
        EXPECT_EQ(at(w / 2 - 4, h - 1), 16);
        EXPECT_EQ(at(w / 2 + 3, h - 1), 235);
        for (int d = 0; d < 3; ++d)
            EXPECT_NEAR(at(w / 2 - 1 - d, h - 1) + at(w / 2 + d, h - 1), 16 + 235, 2) << d;
    }
}

// Until now the encoder stretched frames with FFmpeg's bicubic scaler; the
// frames a disc gets must not change visibly with the faster stretch.
TEST(DvdFrameConverter, MatchesFfmpegsBicubicScalerOnADetailedPicture) {
    for (const VideoFormat format : kFormats) {
        SCOPED_TRACE(videoFormatName(format));
        const QSize size = canvasSize(format);
        QImage canvas(size, QImage::Format_RGB32);
        uint32_t noise = 7;
        for (int y = 0; y < size.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(canvas.scanLine(y));
            for (int x = 0; x < size.width(); ++x) {
                noise = noise * 1664525u + 1013904223u;
                // Smooth shading, fine stripes and a little grain.
                const int shade = (x * 255 / size.width() + y * 128 / size.height()) / 2;
                const int stripes = (x / 3 + y / 5) % 2 == 0 ? 40 : -40;
                const int value = std::clamp(shade + stripes + int(noise >> 29), 0, 255);
                row[x] = qRgb(value, 255 - value, (value * 3) % 256);
            }
        }
        const auto ours = converted(canvas, format);

        std::vector<uint8_t> planes(VideoFrame::planarBytes(size.width(), size.height()));
        const int w = size.width(), h = size.height();
        convertCanvasToI420(canvas, PlanarFrame{planes.data(), planes.data() + w * h,
                                                planes.data() + w * h * 5 / 4, w});
        VideoFrame reference(720, format.dvdFrameHeight());
        SwsContext* scaler =
            sws_getContext(w, h, AV_PIX_FMT_YUV420P, 720, reference.height(), AV_PIX_FMT_YUV420P,
                           SWS_BICUBIC, nullptr, nullptr, nullptr);
        ASSERT_NE(scaler, nullptr);
        const uint8_t* in[3] = {planes.data(), planes.data() + w * h,
                                planes.data() + w * h * 5 / 4};
        const int inStrides[3] = {w, w / 2, w / 2};
        uint8_t* out[3] = {reference.y(), reference.u(), reference.v()};
        const int outStrides[3] = {720, 360, 360};
        sws_scale(scaler, in, inStrides, 0, h, out, outStrides);
        sws_freeContext(scaler);

        double difference = 0;
        for (size_t i = 0; i < reference.bytes(); ++i)
            difference += std::abs(int(ours->y()[i]) - int(reference.y()[i]));
        EXPECT_LT(difference / double(reference.bytes()), 1.0);
    }
}

// Hands every fourth frame's similarity to the former stretch of its canvas.
class ComparingEncoder final : public EncoderLibrary {
  public:
    int initVobEncoder(const std::filesystem::path&, const std::filesystem::path&,
                       VideoFormat) override {
        return 0;
    }
    int initEncoder(const std::filesystem::path&, VideoFormat) override { return 0; }
    int EncOneFrame(SharedVideoFrame frame) override {
        if (frames++ % 4 == 0) similarities.push_back(lumaSimilarity(*frame, *reference));
        return 0;
    }
    int closeEncoder() override { return 0; }
    std::shared_ptr<VideoFrame> reference = std::make_shared<VideoFrame>(720, 576);
    std::vector<double> similarities;
    int frames = 0;
};

// The frames a disc gets keep their look with the new stretch: every kind
// of transition, each under a still picture and the three families of
// motion, against the former path frame by frame.
class EncoderFrames : public test::SlideshowFixture {};

TEST_F(EncoderFrames, MatchTheFormerStretchForEveryTransitionAndMotion) {
    for (const char* name : {"one.png", "two.png"}) {
        QImage photo(800, 600, QImage::Format_RGB32);
        uint32_t noise = uint32_t(name[0]);
        for (int y = 0; y < photo.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
            for (int x = 0; x < photo.width(); ++x) {
                noise = noise * 1664525u + 1013904223u;
                const int shade = (x + y + int(noise >> 28) * 4) % 256;
                row[x] = qRgb(shade, (x / 7 % 2) * 200, 255 - shade);
            }
        }
        test::writeWithQt(folder_ / name, photo, "png");
    }
    const MotionEffectKind motions[] = {MotionEffectKind::None, MotionEffectKind::PanLeftToRight,
                                        MotionEffectKind::ZoomCenterIn,
                                        MotionEffectKind::ZoomInAndRotate};
    addPicture("one.png", true, 0, 0, TransitionKind::Alpha, 0);
    for (int kind = 0; kind < kConcreteTransitionKindCount; ++kind) {
        addPicture(kind % 2 == 0 ? "two.png" : "one.png", true, 0, 1,
                   static_cast<TransitionKind>(kind), 0, int(motions[size_t(kind) % 4]));
    }
    RenderJob job;
    job.slideshow = &slideshow_;
    ComparingEncoder encoder;
    FormerStretch former(canvasSize(kPalStandard), 576);
    job.composedFrame = [&](int frame, const QImage& canvas) {
        if (frame % 4 == 0) former.convert(canvas, *encoder.reference);
    };
    ASSERT_EQ(encodeSlideshow(job, encoder, log_), 0);
    ASSERT_EQ(encoder.frames, 25 * (kConcreteTransitionKindCount + 1));
    for (size_t i = 0; i < encoder.similarities.size(); ++i)
        EXPECT_GE(encoder.similarities[i], 0.99) << "frame " << i * 4;
}

}  // namespace
}  // namespace velmora
