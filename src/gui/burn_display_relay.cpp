#include "gui/burn_display_relay.h"

namespace velmora {

void BurnDisplayRelay::setWriterNames(const std::vector<std::string>& names, int selected) {
    QStringList list;
    for (const std::string& name : names)
        list.append(QString::fromStdString(name));
    emit writerNamesChanged(list, selected);
}

void BurnDisplayRelay::setSpeedList(const std::vector<SpeedEntry>& speeds, int selected) {
    QStringList list;
    for (const SpeedEntry& speed : speeds)
        list.append(QString::fromStdString(speed.text));
    emit speedListChanged(list, selected);
}

}  // namespace velmora
