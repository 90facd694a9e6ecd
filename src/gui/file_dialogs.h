#pragma once

#include <QFont>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "image/font_record.h"

class QWidget;

namespace velmora {

// The file, folder, font and colour dialogs the window opens, behind an
// interface so tests answer them. Nothing when the user cancels.
class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    virtual std::optional<std::filesystem::path> openProjectFile(
        const std::filesystem::path& startFolder) = 0;
    virtual std::optional<std::filesystem::path> saveProjectFile(
        const std::filesystem::path& startFolder) = 0;
    virtual std::optional<std::filesystem::path> chooseFolder(
        const std::string& title, const std::filesystem::path& startFolder) = 0;
    // Where an ISO image goes, starting at `suggested` (a full file path).
    virtual std::optional<std::filesystem::path> saveImageFile(
        const std::filesystem::path& suggested) = 0;
    // Pictures to add, in the order chosen; empty when cancelled.
    virtual std::vector<std::filesystem::path> openPictureFiles(
        const std::filesystem::path& startFolder) = 0;
    // Folders to import, one slideshow each; empty when cancelled.
    virtual std::vector<std::filesystem::path> chooseImportFolders(
        const std::filesystem::path& startFolder) = 0;
    // Music files to add, in the order chosen; empty when cancelled. An
    // empty start folder opens the user's music folder.
    virtual std::vector<std::filesystem::path> openAudioFiles(
        const std::filesystem::path& startFolder) = 0;
    // One music file (the menu's); nothing when cancelled.
    virtual std::optional<std::filesystem::path> openAudioFile(
        const std::filesystem::path& startFolder) = 0;
    virtual std::optional<FontRecord> chooseFont(const FontRecord& current) = 0;
    // Colours as the project keeps them: 0x00BBGGRR.
    virtual std::optional<uint32_t> chooseColour(uint32_t current) = 0;
};

// The desktop's own dialogs.
class DesktopFileDialogs final : public FileDialogs {
  public:
    void setParentWindow(QWidget* window) { window_ = window; }

    std::optional<std::filesystem::path> openProjectFile(
        const std::filesystem::path& startFolder) override;
    std::optional<std::filesystem::path> saveProjectFile(
        const std::filesystem::path& startFolder) override;
    std::optional<std::filesystem::path> chooseFolder(
        const std::string& title, const std::filesystem::path& startFolder) override;
    std::optional<std::filesystem::path> saveImageFile(
        const std::filesystem::path& suggested) override;
    std::vector<std::filesystem::path> openPictureFiles(
        const std::filesystem::path& startFolder) override;
    std::vector<std::filesystem::path> chooseImportFolders(
        const std::filesystem::path& startFolder) override;
    std::vector<std::filesystem::path> openAudioFiles(
        const std::filesystem::path& startFolder) override;
    std::optional<std::filesystem::path> openAudioFile(
        const std::filesystem::path& startFolder) override;
    std::optional<FontRecord> chooseFont(const FontRecord& current) override;
    std::optional<uint32_t> chooseColour(uint32_t current) override;

  private:
    QWidget* window_ = nullptr;
};

// A font record as the font dialog opens on it: the family fontconfig
// draws it with, in points; and what the dialog's choice is as a record.
QFont fontForDialog(const FontRecord& record);
FontRecord fontRecordFromDialog(const QFont& font);

}  // namespace velmora
