#include "gui/file_dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>

#include "gui/import_dialog.h"
#include "image/image_type.h"
#include "workspace/music_list.h"

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

// "Pictures (*.jpg *.JPG ...)": every type the loader takes, in either case,
// since file names from cameras are often upper case.
QString pictureFilter() {
    QStringList patterns;
    for (const std::string_view extension : pictureExtensions()) {
        const QString lower = QString::fromLatin1(extension.data(), qsizetype(extension.size()));
        patterns << QStringLiteral("*.") + lower << QStringLiteral("*.") + lower.toUpper();
    }
    return QFileDialog::tr("Pictures (%1)").arg(patterns.join(QLatin1Char(' '))) +
           QStringLiteral(";;") + QFileDialog::tr("All files (*)");
}

// "Music (*.mp3 *.MP3 ...)": every type the music list takes.
QString audioFilter() {
    QStringList patterns;
    for (const std::string_view extension : MusicList::audioExtensions()) {
        const QString lower = QString::fromLatin1(extension.data(), qsizetype(extension.size()));
        patterns << QStringLiteral("*.") + lower << QStringLiteral("*.") + lower.toUpper();
    }
    return QFileDialog::tr("Music (%1)").arg(patterns.join(QLatin1Char(' '))) +
           QStringLiteral(";;") + QFileDialog::tr("All files (*)");
}

// An empty start folder opens the user's music folder.
QString musicFolderOr(const std::filesystem::path& startFolder) {
    return startFolder.empty() ? QStandardPaths::writableLocation(QStandardPaths::MusicLocation)
                               : qt(startFolder);
}

std::vector<std::filesystem::path> pathsOf(const QStringList& files) {
    std::vector<std::filesystem::path> paths;
    for (const QString& file : files)
        paths.emplace_back(file.toStdString());
    return paths;
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

std::optional<std::filesystem::path> DesktopFileDialogs::saveImageFile(
    const std::filesystem::path& suggested) {
    return chosen(QFileDialog::getSaveFileName(window_, QFileDialog::tr("Save ISO Image"),
                                               qt(suggested),
                                               QFileDialog::tr("ISO images (*.iso);;All files (*)")));
}

std::vector<std::filesystem::path> DesktopFileDialogs::openPictureFiles(
    const std::filesystem::path& startFolder) {
    return pathsOf(QFileDialog::getOpenFileNames(window_, QFileDialog::tr("Add Pictures"),
                                                 qt(startFolder), pictureFilter()));
}

std::vector<std::filesystem::path> DesktopFileDialogs::openAudioFiles(
    const std::filesystem::path& startFolder) {
    return pathsOf(QFileDialog::getOpenFileNames(window_, QFileDialog::tr("Add Music"),
                                                 musicFolderOr(startFolder), audioFilter()));
}

std::optional<std::filesystem::path> DesktopFileDialogs::openAudioFile(
    const std::filesystem::path& startFolder) {
    return chosen(QFileDialog::getOpenFileName(window_, QFileDialog::tr("Menu Music"),
                                               musicFolderOr(startFolder), audioFilter()));
}

std::vector<std::filesystem::path> DesktopFileDialogs::chooseImportFolders(
    const std::filesystem::path& startFolder) {
    ImportDialog dialog(startFolder, window_);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.checkedFolders();
}

// The dialog lists families and point sizes: a font given in pixels, or by
// a name fontconfig stands in for (Arial), would open it on its defaults.
QFont fontForDialog(const FontRecord& record) {
    const QFont drawn = toQFont(record);
    QFont font(QFontInfo(drawn).family());
    font.setPointSizeF(std::max(1, record.pixelHeight) * 72.0 / 96.0);
    font.setWeight(drawn.weight());
    font.setItalic(record.italic);
    return font;
}

FontRecord fontRecordFromDialog(const QFont& font) {
    FontRecord record;
    record.face = font.family().toStdString();
    // The dialog speaks points; captions are measured in pixels.
    record.pixelHeight = font.pixelSize() > 0
                             ? font.pixelSize()
                             : std::max(1, int(font.pointSizeF() * 96.0 / 72.0 + 0.5));
    record.weight = font.weight();
    record.italic = font.italic();
    return record;
}

std::optional<FontRecord> DesktopFileDialogs::chooseFont(const FontRecord& current) {
    bool chosen = false;
    const QFont font = QFontDialog::getFont(&chosen, fontForDialog(current), window_);
    if (!chosen) return std::nullopt;
    return fontRecordFromDialog(font);
}

std::optional<uint32_t> DesktopFileDialogs::chooseColour(uint32_t current) {
    const QColor start(int(current & 0xFF), int(current >> 8 & 0xFF), int(current >> 16 & 0xFF));
    const QColor colour = QColorDialog::getColor(start, window_);
    if (!colour.isValid()) return std::nullopt;
    return uint32_t(colour.red()) | uint32_t(colour.green()) << 8 | uint32_t(colour.blue()) << 16;
}

}  // namespace velmora
