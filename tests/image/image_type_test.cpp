#include "image/image_type.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(ImageType, ByExtension) {
    struct Case {
        const char* name;
        ImageType type;
    };
    const Case cases[] = {
        {"a.bmp", ImageType::Bmp},
        {"a.JPG", ImageType::Jpeg},
        {"a.jpeg", ImageType::Jpeg},
        {"a.gif", ImageType::Gif},
        {"a.png", ImageType::Png},
        {"a.ico", ImageType::Ico},
        {"a.tiff", ImageType::Tiff},
        {"a.Tif", ImageType::Tiff},
        {"a.tga", ImageType::Tga},
        {"a.pcx", ImageType::Pcx},
        {"a.wbmp", ImageType::Wbmp},
        {"a.wmf", ImageType::Wmf},
        {"a.EMF", ImageType::Wmf},
        {"a.jp2", ImageType::Jpeg2000},
        {"a.j2k", ImageType::Jpeg2000},
        {"a.jpc", ImageType::JpegCodestream},
        {"a.j2c", ImageType::JpegCodestream},
        {"a.pgx", ImageType::Pgx},
        {"a.pnm", ImageType::Pnm},
        {"a.pgm", ImageType::Pnm},
        {"a.ppm", ImageType::Pnm},
        {"a.ras", ImageType::Ras},
        {"holiday.2024.jpg", ImageType::Jpeg},
        {"noextension", ImageType::Unknown},
        {"a.webp", ImageType::Unknown},
        {"a.", ImageType::Unknown},
        {"a.jpg.txt", ImageType::Unknown},
        {"/photos/trip.jpg/readme", ImageType::Unknown},  // the dot is in a folder name
        {"/photos/trip.2024/beach.PNG", ImageType::Png},
    };
    for (const Case& c : cases)
        EXPECT_EQ(imageTypeOf(c.name), c.type) << c.name;
}

}  // namespace
}  // namespace velmora
