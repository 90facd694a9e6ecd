#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "disc/build_progress.h"
#include "disc/burn_engine.h"

namespace velmora {

// What a build and a disc write show, turned into signals: the engines call
// it from their own threads, and the burn page connects to it queued, so
// the values are painted on the window's thread in the order they came.
class BurnDisplayRelay final : public QObject, public BuildDisplay, public BurnDisplay {
    Q_OBJECT
  public:
    using QObject::QObject;

    // Both displays
    void setMainLabel(std::string_view text) override { emit mainLabelChanged(qt(text)); }
    void setDetailLabel(std::string_view text) override { emit detailLabelChanged(qt(text)); }
    void setMainBar(int value) override { emit mainBarChanged(value); }
    void setDetailBar(int value) override { emit detailBarChanged(value); }
    // BuildDisplay
    void buildStarted() override { emit buildBegan(); }
    void buildEnded() override { emit buildFinished(); }
    // BurnDisplay
    void setWriterNames(const std::vector<std::string>& names, int selected) override;
    void setMediumText(std::string_view text) override { emit mediumTextChanged(qt(text)); }
    void setSpeedList(const std::vector<SpeedEntry>& speeds, int selected) override;
    void setButtonCaption(std::string_view caption) override {
        emit buttonCaptionChanged(qt(caption));
    }
    void burnStarted() override { emit burnBegan(); }
    void burnEnded() override { emit burnFinished(); }

  signals:
    void mainLabelChanged(const QString& text);
    void detailLabelChanged(const QString& text);
    void mainBarChanged(int value);
    void detailBarChanged(int value);
    void buildBegan();
    void buildFinished();
    void writerNamesChanged(const QStringList& names, int selected);
    void mediumTextChanged(const QString& text);
    void speedListChanged(const QStringList& speeds, int selected);
    void buttonCaptionChanged(const QString& caption);
    void burnBegan();
    void burnFinished();

  private:
    static QString qt(std::string_view text) {
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
    }
};

}  // namespace velmora
