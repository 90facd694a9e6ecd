#pragma once

#include "icon_drawing.h"

// The fallback icons of the pages' command buttons, under the
// freedesktop names their painters are registered with in icons.cpp.

namespace velmora::resources {

void paintFolderOpen(const Icon& icon);       // folder-open
void paintListAdd(const Icon& icon);          // list-add
void paintListRemove(const Icon& icon);       // list-remove
void paintGoUp(const Icon& icon);             // go-up
void paintGoDown(const Icon& icon);           // go-down
void paintInsertImage(const Icon& icon);      // insert-image
void paintEditDelete(const Icon& icon);       // edit-delete
void paintSortAscending(const Icon& icon);    // view-sort-ascending
void paintRotateLeft(const Icon& icon);       // object-rotate-left
void paintRotateRight(const Icon& icon);      // object-rotate-right
void paintDocumentEdit(const Icon& icon);     // document-edit
void paintViewListIcons(const Icon& icon);    // view-list-icons
void paintViewListDetails(const Icon& icon);  // view-list-details
void paintInsertText(const Icon& icon);       // insert-text
void paintPlaybackStart(const Icon& icon);    // media-playback-start
void paintPlaybackStop(const Icon& icon);     // media-playback-stop

}  // namespace velmora::resources
