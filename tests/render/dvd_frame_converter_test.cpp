#include "render/dvd_frame_converter.h"

#include <gtest/gtest.h>

extern "C" {
#include <libswscale/swscale.h>
}

#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "render/frame_geometry.h"
#include "render/yuv_conversion.h"

namespace velmora {
namespace {

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

}  // namespace
}  // namespace velmora
