#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <filesystem>
#include <string>
#include <string_view>

#include "image/font_record.h"

namespace velmora {

// The program's one in-memory picture. It holds 32-bit pixels: Format_RGB32
// for opaque pictures (the "24-bit" pictures of the renderer and the files
// it writes) and Format_ARGB32 while a picture still carries transparency.
// Operations that change the geometry return a new picture; drawing
// operations change this one.
class Picture {
  public:
    Picture() = default;
    // Takes any QImage; other formats are converted to RGB32 or ARGB32.
    explicit Picture(QImage image);
    // A picture of the given size filled with one colour (0xAARRGGBB).
    static Picture filled(QSize size, QRgb colour);

    bool isNull() const { return image_.isNull(); }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    QSize size() const { return image_.size(); }
    bool hasAlpha() const { return image_.format() == QImage::Format_ARGB32; }
    const QImage& image() const { return image_; }

    // The picture over opaque white, without an alpha channel.
    Picture flattenedOverWhite() const;

    // Resampling. `resampled` is plain bilinear interpolation, right for
    // enlargements and small reductions; `downscaled` averages every source
    // pixel that falls into a target pixel, which keeps large reductions
    // free of aliasing (and is bilinear when a side grows).
    Picture resampled(QSize size) const;
    Picture downscaled(QSize size) const;

    Picture rotatedLeft90() const;   // counter-clockwise
    Picture rotatedRight90() const;  // clockwise
    Picture rotated180() const;
    Picture upsideDown() const;  // mirrored about the horizontal axis
    Picture mirrored() const;    // mirrored left to right
    // The part of the picture inside `rect` (clipped to the picture).
    Picture cropped(QRect rect) const;

    // Drawing. Lines are drawn without anti-aliasing so that they hold
    // exactly the colour given (button masks depend on it).
    void drawLine(QPoint from, QPoint to, QRgb colour, int widthPixels = 1);
    void fillRect(QRect rect, QRgb colour);
    // UTF-8 text in `box`, with Qt alignment and wrapping flags
    // (Qt::AlignHCenter | Qt::TextWordWrap, ...).
    void drawText(QRect box, std::string_view text, const FontRecord& font, QRgb colour, int flags);
    // Draws another picture at `at` unscaled; its pixels whose colour
    // (ignoring alpha) equals `transparentColour` leave this picture as it is.
    void mix(const Picture& overlay, QPoint at, QRgb transparentColour);

    QRgb pixel(int x, int y) const { return image_.pixel(x, y); }
    void setPixel(int x, int y, QRgb colour) { image_.setPixel(x, y, colour); }

    // Saving: BMP is written as 24-bit, JPEG with a quality 0..100, PNG
    // with its alpha channel if it has one. False with *reason (naming the
    // file) when the file cannot be written.
    bool saveBmp(const std::filesystem::path& file, std::string* reason) const;
    bool saveJpeg(const std::filesystem::path& file, int quality, std::string* reason) const;
    bool savePng(const std::filesystem::path& file, std::string* reason) const;

  private:
    bool save(const std::filesystem::path& file, const char* format, int quality,
              const QImage& image, std::string* reason) const;

    QImage image_;
};

}  // namespace velmora
