#pragma once

#include "gui/pages/page.h"

class QFrame;

namespace velmora {

// The photos and slideshows page, shown at start.
class PhotosTab final : public Page {
    Q_OBJECT
  public:
    explicit PhotosTab(QWidget* parent = nullptr);

    // The hint of a user's first starts: where to begin.
    void showFirstStartHint();
    bool isFirstStartHintShown() const;

  private:
    QFrame* hint_;
};

}  // namespace velmora
