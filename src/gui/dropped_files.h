#pragma once

#include <QMimeData>
#include <QUrl>
#include <filesystem>
#include <vector>

namespace velmora {

// The files and folders a drag from the file manager carries, in its
// order; none for anything else (text, a drag inside the program, web
// addresses).
inline std::vector<std::filesystem::path> droppedFiles(const QMimeData* data) {
    std::vector<std::filesystem::path> paths;
    if (data == nullptr) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths.emplace_back(url.toLocalFile().toStdString());
    return paths;
}

}  // namespace velmora
