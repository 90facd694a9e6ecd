#include "workspace/editor_crop.h"

#include <algorithm>
#include <cstdlib>

namespace velmora {

namespace {

int timesRatio(int side, double factor) {
    return int(side * factor);  // truncated, like every pixel count of the editor
}

}  // namespace

CropRect fittedToRatio(const CropRect& rect, const TvRatio& ratio) {
    const int width = rect.width();
    const int height = rect.height();
    if (width <= 0 || height <= 0) return rect;
    CropRect fitted = rect;
    if (double(width) / height > double(ratio.widthPerHeight)) {
        const int newWidth = timesRatio(height, ratio.widthPerHeight);
        fitted.left += (width - newWidth) / 2;
        fitted.right = fitted.left + newWidth;
    } else {
        const int newHeight = timesRatio(width, ratio.heightPerWidth);
        fitted.top += (height - newHeight) / 2;
        fitted.bottom = fitted.top + newHeight;
    }
    return fitted;
}

CropRect withCornerDragged(const CropRect& start, CropCorner corner, QPoint moved, QSize picture,
                           const TvRatio* ratio) {
    const bool onRight = corner == CropCorner::TopRight || corner == CropCorner::BottomRight;
    const bool onBottom = corner == CropCorner::BottomLeft || corner == CropCorner::BottomRight;
    // The opposite corner stays where it is.
    const int anchorX = onRight ? start.left : start.right;
    const int anchorY = onBottom ? start.top : start.bottom;
    const int cornerX =
        std::clamp((onRight ? start.right : start.left) + moved.x(), 0, picture.width());
    const int cornerY =
        std::clamp((onBottom ? start.bottom : start.top) + moved.y(), 0, picture.height());
    const int maxWidth = onRight ? picture.width() - anchorX : anchorX;
    const int maxHeight = onBottom ? picture.height() - anchorY : anchorY;
    if (maxWidth < kMinCropSidePixels || maxHeight < kMinCropSidePixels) return start;

    int width =
        std::clamp(onRight ? cornerX - anchorX : anchorX - cornerX, kMinCropSidePixels, maxWidth);
    int height =
        std::clamp(onBottom ? cornerY - anchorY : anchorY - cornerY, kMinCropSidePixels, maxHeight);
    if (ratio != nullptr) {
        if (std::abs(moved.x()) >= std::abs(moved.y())) {
            height = timesRatio(width, ratio->heightPerWidth);
        } else {
            width = timesRatio(height, ratio->widthPerHeight);
        }
        if (height > maxHeight) {
            height = maxHeight;
            width = timesRatio(height, ratio->widthPerHeight);
        }
        if (width > maxWidth) {
            width = maxWidth;
            height = timesRatio(width, ratio->heightPerWidth);
        }
        // A TV screen is wider than high, so the height reaches the minimum first.
        if (height < kMinCropSidePixels) {
            height = kMinCropSidePixels;
            width = timesRatio(height, ratio->widthPerHeight);
        }
        if (width > maxWidth || height > maxHeight) return start;
    }

    CropRect dragged;
    dragged.left = onRight ? anchorX : anchorX - width;
    dragged.right = dragged.left + width;
    dragged.top = onBottom ? anchorY : anchorY - height;
    dragged.bottom = dragged.top + height;
    return dragged;
}

std::optional<CropRect> movedCrop(const CropRect& start, QPoint moved, QSize picture) {
    const CropRect candidate{start.left + moved.x(), start.top + moved.y(), start.right + moved.x(),
                             start.bottom + moved.y()};
    if (candidate.left < 0 || candidate.top < 0 || candidate.right > picture.width() ||
        candidate.bottom > picture.height())
        return std::nullopt;
    return candidate;
}

}  // namespace velmora
