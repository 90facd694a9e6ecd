#pragma once

#include <QIcon>
#include <QString>
#include <filesystem>

namespace velmora {

// The desktop's icon for a freedesktop icon name, or Velmora's own drawing
// of it from R/icons/<size>x<size>/<name>.png when the theme has none.
QIcon themeIcon(const QString& name, const std::filesystem::path& resourceFolder);

}  // namespace velmora
