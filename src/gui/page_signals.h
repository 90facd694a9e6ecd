#pragma once

#include <QObject>

#include "model/model_context.h"

namespace velmora {

// The notifications the pages, the build and the model send to the main
// window. Each is queued, so a worker thread may send it. The numbers are
// those of the window messages these signals stand for, so the pages of
// later work connect to the right one:
//
//   1127  menuPageRequested            switch to the menu page and refresh it
//   1133  projectCommandsEnabled(bool) a build disables (false) and enables
//                                      (true) the menus, tabs and project buttons
//   1134  tipOfTheDayRequested         show the tip of the day when its flag is set
//   1135  saveRequested                run the Save command
//   1136  openRequested                run the Open command
//   1140  projectSizeChanged           update the duration text and the disc-usage bar
//   1146  stripThumbnailsChanged       the effects page's strip reloads its thumbnails
//   1152  thumbnailsChanged(int)       a slideshow's thumbnails changed: the current
//                                      page reloads its picture list
//   1156  pagesRefreshRequested        the settings changed: effects, music and menu
//                                      pages refresh
//   1157  audioPreviewStopRequested    stop the audio preview
//
// and one of the window's own: statusMessage, a line for the status bar
// about what a command did.
class PageSignals final : public QObject, public ProjectEvents {
    Q_OBJECT
  public:
    using QObject::QObject;

    // The model's cover changes arrive from whichever thread made them.
    void thumbnailsChanged(int slideshowIndex) override {
        emit slideshowThumbnailsChanged(slideshowIndex);
    }

  signals:
    void menuPageRequested();
    void projectCommandsEnabled(bool enabled);
    void tipOfTheDayRequested();
    void saveRequested();
    void openRequested();
    void projectSizeChanged();
    void stripThumbnailsChanged();
    void slideshowThumbnailsChanged(int slideshowIndex);
    void pagesRefreshRequested();
    void audioPreviewStopRequested();
    void statusMessage(const QString& text);
};

}  // namespace velmora
