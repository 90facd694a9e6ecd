#pragma once

#include <QDialog>
#include <filesystem>

namespace velmora {

class DesktopSettings;

// The about box: the product, its version and the home page as a link.
class AboutDialog final : public QDialog {
    Q_OBJECT
  public:
    AboutDialog(const DesktopSettings& settings, const std::filesystem::path& resourceFolder,
                QWidget* parent = nullptr);
};

}  // namespace velmora
