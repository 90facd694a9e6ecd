#pragma once

#include <QString>

class QSettings;

namespace velmora {

// The values the desktop program keeps in the user's settings (organisation
// "Velmora"): the installed version, the two web addresses and the tip of
// the day's flag and place.
class DesktopSettings {
  public:
    explicit DesktopSettings(QSettings& settings) : settings_(settings) {}

    QString version() const;      // "2.0.0" when none was stored
    QString homeAddress() const;  // the about box's link
    QString updateAddress() const;
    bool showTipAtStart() const;  // false when none was stored
    void setShowTipAtStart(bool show);

    qint64 tipFilePosition() const;
    QString tipTimeStamp() const;
    void setTipPlace(qint64 filePosition, const QString& timeStamp);

  private:
    QSettings& settings_;
};

}  // namespace velmora
