#include "render/yuv_conversion.h"

#include "render/cpu_dispatch.h"

namespace velmora {

namespace {

inline uint8_t luma(const uint8_t* p) {
    return uint8_t(((25 * p[0] + 129 * p[1] + 66 * p[2]) >> 8) + 16);
}

inline int blue(QRgb pixel) {
    return int(pixel & 0xFF);
}
inline int green(QRgb pixel) {
    return int((pixel >> 8) & 0xFF);
}
inline int red(QRgb pixel) {
    return int((pixel >> 16) & 0xFF);
}

// One row of luma; a plain loop the compiler turns into vector code. The
// weighted sum is at most 220 × 255 = 56100, so 16-bit lanes hold it.
inline void lumaRow(const QRgb* pixels, int width, uint8_t* y) {
    for (int x = 0; x < width; ++x) {
        const QRgb p = pixels[x];
        const auto sum = uint16_t(25 * uint16_t(p & 0xFF) + 129 * uint16_t((p >> 8) & 0xFF) +
                                  66 * uint16_t((p >> 16) & 0xFF));
        y[x] = uint8_t((sum >> 8) + 16);
    }
}

inline void chromaRow(const QRgb* top, const QRgb* bottom, int width, uint8_t* u, uint8_t* v) {
    for (int x = 0; x < width / 2; ++x) {
        const QRgb a = top[2 * x], b = top[2 * x + 1], c = bottom[2 * x], d = bottom[2 * x + 1];
        const int sumB = blue(a) + blue(b) + blue(c) + blue(d);
        const int sumG = green(a) + green(b) + green(c) + green(d);
        const int sumR = red(a) + red(b) + red(c) + red(d);
        u[x] = uint8_t(((112 * sumB - 74 * sumG - 38 * sumR) >> 10) + 128);
        v[x] = uint8_t(((-18 * sumB - 94 * sumG + 112 * sumR) >> 10) + 128);
    }
}

}  // namespace

// Every frame of a render passes here: built for AVX2 as well, picked at
// start-up where the processor has it.
VELMORA_AVX2_CLONES void convertCanvasToI420(const QImage& canvas, const PlanarFrame& out) {
    const int width = canvas.width();
    for (int row = 0; row + 1 < canvas.height(); row += 2) {
        const auto* top = reinterpret_cast<const QRgb*>(canvas.constScanLine(row));
        const auto* bottom = reinterpret_cast<const QRgb*>(canvas.constScanLine(row + 1));
        lumaRow(top, width, out.y + row * out.yStride);
        lumaRow(bottom, width, out.y + (row + 1) * out.yStride);
        chromaRow(top, bottom, width, out.u + (row / 2) * (width / 2),
                  out.v + (row / 2) * (width / 2));
    }
}

void convertToI420(const uint8_t* bgr, int width, int height, int stride, const PlanarFrame& out) {
    for (int row = 0; row < height; row += 2) {
        const uint8_t* top = bgr + row * stride;
        const uint8_t* bottom = top + stride;
        uint8_t* yTop = out.y + row * out.yStride;
        uint8_t* yBottom = yTop + out.yStride;
        uint8_t* u = out.u + (row / 2) * (width / 2);
        uint8_t* v = out.v + (row / 2) * (width / 2);
        for (int column = 0; column < width; column += 2) {
            const uint8_t* a = top + column * 3;
            const uint8_t* b = a + 3;
            const uint8_t* c = bottom + column * 3;
            const uint8_t* d = c + 3;
            yTop[column] = luma(a);
            yTop[column + 1] = luma(b);
            yBottom[column] = luma(c);
            yBottom[column + 1] = luma(d);
            const int sumB = a[0] + b[0] + c[0] + d[0];
            const int sumG = a[1] + b[1] + c[1] + d[1];
            const int sumR = a[2] + b[2] + c[2] + d[2];
            u[column / 2] = uint8_t(((112 * sumB - 74 * sumG - 38 * sumR) >> 10) + 128);
            v[column / 2] = uint8_t(((-18 * sumB - 94 * sumG + 112 * sumR) >> 10) + 128);
        }
    }
}

}  // namespace velmora
