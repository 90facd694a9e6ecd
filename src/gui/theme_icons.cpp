#include "gui/theme_icons.h"

#include <QFileInfo>

namespace velmora {

QIcon themeIcon(const QString& name, const std::filesystem::path& resourceFolder) {
    QIcon drawn;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString file = QString::fromStdString(
            (resourceFolder / "icons" / (std::to_string(size) + "x" + std::to_string(size)) /
             (name.toStdString() + ".png"))
                .string());
        if (QFileInfo::exists(file)) drawn.addFile(file, QSize(size, size));
    }
    return QIcon::fromTheme(name, drawn);
}

}  // namespace velmora
