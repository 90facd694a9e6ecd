#include "gui/file_dialogs.h"

#include <QFileDialog>

namespace velmora {

namespace {

const QString kProjectFilter = QStringLiteral("Project Files (*.prg)");

std::optional<std::filesystem::path> chosen(const QString& file) {
    if (file.isEmpty()) return std::nullopt;
    return std::filesystem::path(file.toStdString());
}

QString qt(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace

std::optional<std::filesystem::path> DesktopFileDialogs::openProjectFile(
    const std::filesystem::path& startFolder) {
    return chosen(
        QFileDialog::getOpenFileName(window_, QString(), qt(startFolder), kProjectFilter));
}

std::optional<std::filesystem::path> DesktopFileDialogs::saveProjectFile(
    const std::filesystem::path& startFolder) {
    // The extension is the command's to add: a name without one is kept
    // as typed, and the command appends ".prg".
    return chosen(
        QFileDialog::getSaveFileName(window_, QString(), qt(startFolder), kProjectFilter));
}

std::optional<std::filesystem::path> DesktopFileDialogs::chooseFolder(
    const std::string& title, const std::filesystem::path& startFolder) {
    return chosen(
        QFileDialog::getExistingDirectory(window_, QString::fromStdString(title), qt(startFolder)));
}

}  // namespace velmora
