#include "gui/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/desktop_settings.h"
#include "gui/theme_icons.h"

namespace velmora {

AboutDialog::AboutDialog(const DesktopSettings& settings,
                         const std::filesystem::path& resourceFolder, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("About Velmora"));
    auto* icon = new QLabel(this);
    icon->setPixmap(themeIcon(QStringLiteral("velmora"), resourceFolder).pixmap(64, 64));
    const QString home = settings.homeAddress();
    auto* text = new QLabel(
        tr("<h2>Velmora</h2><p>Version %1</p><p>Turns your photographs into a video DVD: "
           "slideshows with motion, transitions and music, a themed DVD menu, and the disc.</p>"
           "<p><a href=\"%2\">%2</a></p>")
            .arg(settings.version().toHtmlEscaped(), home.toHtmlEscaped()),
        this);
    text->setObjectName(QStringLiteral("aboutText"));
    text->setWordWrap(true);
    text->setOpenExternalLinks(true);
    text->setTextInteractionFlags(Qt::TextBrowserInteraction);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

}  // namespace velmora
