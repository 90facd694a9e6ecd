#pragma once

#include <filesystem>
#include <optional>
#include <string>

class QWidget;

namespace velmora {

// The file and folder dialogs the window opens, behind an interface so
// tests answer them. Nothing when the user cancels.
class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    virtual std::optional<std::filesystem::path> openProjectFile(
        const std::filesystem::path& startFolder) = 0;
    virtual std::optional<std::filesystem::path> saveProjectFile(
        const std::filesystem::path& startFolder) = 0;
    virtual std::optional<std::filesystem::path> chooseFolder(
        const std::string& title, const std::filesystem::path& startFolder) = 0;
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

  private:
    QWidget* window_ = nullptr;
};

}  // namespace velmora
