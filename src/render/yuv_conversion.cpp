#include "render/yuv_conversion.h"

namespace velmora {

namespace {

inline uint8_t luma(const uint8_t* p) {
    return uint8_t(((25 * p[0] + 129 * p[1] + 66 * p[2]) >> 8) + 16);
}

}  // namespace

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
