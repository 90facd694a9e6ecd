#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

namespace velmora {

// The crop rectangle of the picture editor in display pixels; right and
// bottom lie one past the last pixel inside, so (0, 0, w, h) is the whole
// picture.
struct CropRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    QRect toQRect() const { return QRect(left, top, width(), height()); }
    bool operator==(const CropRect&) const = default;
};

// The shape of a TV screen the crop rectangle can be held to. The two
// numbers are kept apart, as stored, rather than one derived from the
// other: a rectangle fitted by either rule must come out the same on every
// machine.
struct TvRatio {
    float widthPerHeight = 1.3333334f;
    double heightPerWidth = 0.75;

    static TvRatio of(bool wideScreen) {
        return wideScreen ? TvRatio{1.7777778f, 0.5625} : TvRatio{1.3333334f, 0.75};
    }
};

inline constexpr int kMinCropSidePixels = 6;

// The rectangle cut down to the ratio: a rectangle too wide loses width
// equally on the left and right, any other loses height equally at the top
// and bottom.
CropRect fittedToRatio(const CropRect& rect, const TvRatio& ratio);

enum class CropCorner { TopLeft, TopRight, BottomLeft, BottomRight };

// `start` with one corner dragged by `moved`: the corner stays inside the
// picture and every side keeps at least kMinCropSidePixels. With a ratio
// the axis moved farther sets its side and the other side follows; when the
// rectangle cannot be held inside the picture at the ratio, `start`.
CropRect withCornerDragged(const CropRect& start, CropCorner corner, QPoint moved, QSize picture,
                           const TvRatio* ratio);

// `start` moved as a whole, or nothing when a corner would leave the picture.
std::optional<CropRect> movedCrop(const CropRect& start, QPoint moved, QSize picture);

}  // namespace velmora
