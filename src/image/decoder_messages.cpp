#include "image/decoder_messages.h"

#include <QLoggingCategory>
#include <QString>
#include <QtGlobal>
#include <array>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <mutex>
#include <string_view>

namespace velmora {

namespace {

thread_local DecoderMessages* tCollector = nullptr;
std::atomic<QtMessageHandler> gPreviousHandler{nullptr};
std::atomic<QLoggingCategory::CategoryFilter> gPreviousFilter{nullptr};

constexpr std::string_view kImageCategory = "qt.gui.imageio";
constexpr std::string_view kJpegCategory = "qt.gui.imageio.jpeg";

// Qt's image handlers report under "qt.gui.imageio" and its subcategories.
bool isDecoderCategory(std::string_view category) {
    return category.starts_with(kImageCategory) &&
           (category.size() == kImageCategory.size() || category[kImageCategory.size()] == '.');
}

// libjpeg notes that leave every pixel as it should be.
constexpr std::array<std::string_view, 4> kHarmlessJpegNotes = {
    "unknown JFIF revision",                       // newer header version
    "Invalid SOS parameters for sequential JPEG",  // some cameras write these
    "Unknown Adobe color transform",               // the default transform is used
    "bad ICC marker",                              // only the colour profile is lost
};

// libpng names the chunk a message is about ("iCCP: known incorrect sRGB
// profile"). A chunk whose name starts in lower case is ancillary (colour
// profile, text, time): trouble there leaves the pixels alone.
bool aboutAncillaryChunk(std::string_view text) {
    return text.size() > 5 && text[4] == ':' && std::islower(static_cast<unsigned char>(text[0]));
}

// Decoder messages go to the collector of this thread when there is one;
// anything else goes on to the handler that was there before.
void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message);

void keepDecoderCategoriesOn(QLoggingCategory* category) {
    if (const auto previous = gPreviousFilter.load()) previous(category);
    // A logging rule that silences them must not make damaged pictures pass.
    if (isDecoderCategory(category->categoryName())) {
        category->setEnabled(QtInfoMsg, true);
        category->setEnabled(QtWarningMsg, true);
        category->setEnabled(QtCriticalMsg, true);
    }
}

void installOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        gPreviousHandler = qInstallMessageHandler(handleMessage);
        // Qt runs a new filter over every category before it returns the old
        // one, so the old one is taken out first (the default stands in).
        gPreviousFilter = QLoggingCategory::installFilter(nullptr);
        QLoggingCategory::installFilter(keepDecoderCategoriesOn);
    });
}

void forward(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (const auto previous = gPreviousHandler.load()) {
        previous(type, context, message);
        return;
    }
    // Only between installing the handler and learning the old one.
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

// Reaches into the collector on behalf of the message handler.
class DecoderMessageHandler {
  public:
    static void take(DecoderMessages& collector, const std::string& category,
                     const std::string& message) {
        std::string text;
        if (collector.damage_.empty() && DecoderMessages::isDamage(category, message, &text)) {
            collector.damage_ = std::move(text);
        }
    }
};

namespace {

void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const std::string_view category = context.category != nullptr ? context.category : "";
    if (tCollector == nullptr || !isDecoderCategory(category)) {
        forward(type, context, message);
        return;
    }
    DecoderMessageHandler::take(*tCollector, std::string(category), message.toStdString());
}

}  // namespace

DecoderMessages::DecoderMessages() : outer_(tCollector) {
    installOnce();
    tCollector = this;
}

DecoderMessages::~DecoderMessages() {
    tCollector = outer_;
}

bool DecoderMessages::isDamage(const std::string& category, const std::string& message,
                               std::string* text) {
    if (category == kJpegCategory) {
        for (std::string_view harmless : kHarmlessJpegNotes) {
            if (message.find(harmless) != std::string::npos) return false;
        }
        *text = message;
        return true;
    }
    if (category != kImageCategory) return false;
    for (std::string_view prefix : {"libpng warning: ", "libpng error: "}) {
        if (!message.starts_with(prefix)) continue;
        const std::string rest = message.substr(prefix.size());
        if (aboutAncillaryChunk(rest)) return false;
        *text = rest;
        return true;
    }
    return false;
}

}  // namespace velmora
