#include "gui/desktop_settings.h"

#include <QSettings>

namespace velmora {

namespace {

const QString kHomePage = QStringLiteral("https://velmora.org/");
const QString kUpdatePage = QStringLiteral("https://velmora.org/download/");

}  // namespace

QString DesktopSettings::version() const {
    return settings_.value(QStringLiteral("Version"), QStringLiteral("2.0.0")).toString();
}

QString DesktopSettings::homeAddress() const {
    return settings_.value(QStringLiteral("Link/Home"), kHomePage).toString();
}

QString DesktopSettings::updateAddress() const {
    return settings_.value(QStringLiteral("Link/Update"), kUpdatePage).toString();
}

bool DesktopSettings::showTipAtStart() const {
    return settings_.value(QStringLiteral("TipEveryDay/TipDisplayFlag"), 0).toInt() != 0;
}

void DesktopSettings::setShowTipAtStart(bool show) {
    settings_.setValue(QStringLiteral("TipEveryDay/TipDisplayFlag"), QString::number(show ? 1 : 0));
}

qint64 DesktopSettings::tipFilePosition() const {
    return settings_.value(QStringLiteral("Tip/FilePos"), 0).toLongLong();
}

QString DesktopSettings::tipTimeStamp() const {
    return settings_.value(QStringLiteral("Tip/TimeStamp")).toString();
}

void DesktopSettings::setTipPlace(qint64 filePosition, const QString& timeStamp) {
    settings_.setValue(QStringLiteral("Tip/FilePos"), filePosition);
    settings_.setValue(QStringLiteral("Tip/TimeStamp"), timeStamp);
}

}  // namespace velmora
