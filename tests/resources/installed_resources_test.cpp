// The pictures and themes the resource generator writes, checked where the
// build put them.

#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

#include "base/app_folders.h"
#include "base/log.h"
#include "image/picture_loader.h"
#include "menu/menu_set.h"
#include "menu/theme_catalogue.h"
#include "model/transition_catalogue.h"
#include "outside/ffmpeg_audio_converter.h"
#include "support/temporary_folder.h"
#include "workspace/editor_items.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

const fs::path kResources = VELMORA_TEST_RESOURCES;

QImage load(const fs::path& file) {
    return QImage(QString::fromStdString(file.string()));
}

QRect boxOf(const ThemeSlot& slot) {
    return {slot.x, slot.y, slot.width, slot.height};
}

QRect boxOf(const MenuText& text) {
    return {text.x, text.y, text.width, text.height};
}

// Luma (0..255) of a COLORREF.
double lumaOf(uint32_t colour) {
    return 0.299 * (colour & 0xFF) + 0.587 * ((colour >> 8) & 0xFF) +
           0.114 * ((colour >> 16) & 0xFF);
}

double meanLuma(const QImage& picture, const QRect& box) {
    double sum = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            sum += qGray(picture.pixel(x, y));
    return sum / (box.width() * box.height());
}

// The themes, read from a copy of the installed theme folder: the pictures
// are found wherever the installation is.
class InstalledThemes : public ::testing::Test {
  protected:
    InstalledThemes() {
        fs::copy(kResources / "theme", folder_ / "theme", fs::copy_options::recursive);
        loaded_ = catalogue_.loadThemes(folder_ / "theme", log_);
    }

    test::TemporaryFolder folder_;
    Log log_{folder_ / "log.txt"};
    ThemeCatalogue catalogue_;
    bool loaded_ = false;
};

TEST_F(InstalledThemes, EveryThemeIsReadWholeAndLaidOutForTelevision) {
    ASSERT_TRUE(loaded_);
    const auto folders = std::distance(fs::directory_iterator(folder_ / "theme"), {});
    EXPECT_GE(folders, 5);
    EXPECT_EQ(catalogue_.themeCount(), folders) << "themes were left out";
    if (fs::exists(log_.file())) {
        std::ifstream in(log_.file());
        ADD_FAILURE() << in.rdbuf();
    }

    std::set<size_t> buttonCounts;
    std::set<int> backgroundHeights;
    bool portrait = false, landscape = false;
    for (int i = 0; i < catalogue_.themeCount(); ++i) {
        const MenuTheme& theme = catalogue_.themes()[size_t(i)];
        const fs::path folder = theme.backgroundPath.parent_path();
        SCOPED_TRACE(folder.filename().string());
        EXPECT_EQ(theme.index, i);
        EXPECT_EQ(folder.parent_path(), folder_ / "theme");

        const QImage background = load(theme.backgroundPath);
        ASSERT_FALSE(background.isNull());
        EXPECT_EQ(background.width(), 720);
        backgroundHeights.insert(background.height());
        std::vector<fs::path> pictures = {theme.previewPath};
        for (const auto* list : {&theme.buttonSlots, &theme.controlSlots})
            for (const ThemeSlot& slot : *list)
                pictures.push_back(slot.imagePath);
        for (const fs::path& picture : pictures) {
            EXPECT_EQ(picture.parent_path(), folder);
            EXPECT_FALSE(load(picture).isNull()) << picture;
        }

        // Titles, buttons, captions and arrows all inside the title-safe
        // area, none over another; every caption just under its button and
        // readable on the background behind it.
        const QRect safe(72, background.height() / 10, 576, background.height() * 8 / 10);
        ASSERT_EQ(theme.texts.size(), theme.buttonSlots.size() + 1);
        ASSERT_EQ(theme.controlSlots.size(), 2u);
        std::vector<QRect> boxes;
        for (const MenuText& text : theme.texts) {
            boxes.push_back(boxOf(text));
            EXPECT_EQ(text.faceName, "Arial");
            EXPECT_GE(std::abs(lumaOf(text.colour) - meanLuma(background, boxOf(text))), 90)
                << text.text;
        }
        for (size_t k = 0; k < theme.buttonSlots.size(); ++k) {
            const QRect slot = boxOf(theme.buttonSlots[k]);
            const QRect caption = boxOf(theme.texts[k + 1]);
            EXPECT_GE(caption.top(), slot.bottom());
            EXPECT_LE(caption.top(), slot.bottom() + 10);
            EXPECT_NEAR(caption.center().x(), slot.center().x(), 2);
            boxes.push_back(slot);
            (slot.height() > slot.width() ? portrait : landscape) = true;
        }
        for (const ThemeSlot& control : theme.controlSlots)
            boxes.push_back(boxOf(control));
        for (size_t a = 0; a < boxes.size(); ++a) {
            EXPECT_TRUE(safe.contains(boxes[a])) << a;
            for (size_t b = a + 1; b < boxes.size(); ++b)
                EXPECT_FALSE(boxes[a].intersects(boxes[b])) << a << " and " << b;
        }
        buttonCounts.insert(theme.buttonSlots.size());
    }
    for (const size_t count : {2u, 4u, 6u})
        EXPECT_TRUE(buttonCounts.count(count)) << count << " buttons a page";
    EXPECT_EQ(backgroundHeights, (std::set<int>{480, 576}));
    EXPECT_TRUE(portrait);
    EXPECT_TRUE(landscape);
}

TEST_F(InstalledThemes, EveryThemeMakesMenuPagesWithCaptionsAndArrows) {
    const std::vector<std::string> names = {"Beach", "Hills", "Snow",  "Lake",
                                            "Town",  "Party", "Garden"};
    for (int i = 0; i < catalogue_.themeCount(); ++i) {
        catalogue_.select(i);
        const MenuTheme& theme = *catalogue_.selectedTheme();
        SCOPED_TRACE(theme.backgroundPath.parent_path().filename().string());
        const int perPage = int(theme.buttonSlots.size());
        MenuSet menu;
        menu.createPages(folder_.path(), names, catalogue_);
        ASSERT_EQ(menu.pageCount(), (int(names.size()) + perPage - 1) / perPage);
        size_t next = 0;
        for (const MenuPage& page : menu.pages) {
            ASSERT_EQ(page.textCount(), page.buttonCount() + 1);
            EXPECT_EQ(page.texts[0].text, theme.texts[0].text);
            for (int k = 0; k < page.buttonCount(); ++k, ++next)
                EXPECT_EQ(page.texts[size_t(k) + 1].text, names[next]);
            const bool first = page.pageIndex == 0;
            const bool last = page.pageIndex + 1 == menu.pageCount();
            EXPECT_EQ(page.controlButtonCount(), int(!first) + int(!last));
            for (const MenuControlButton& control : page.controlButtons)
                EXPECT_TRUE(fs::exists(control.imagePath)) << control.imagePath;
        }
        EXPECT_EQ(next, names.size());
    }
}

// The masks are drawn on the empty canvases; the menu backgrounds, the
// composer's fallback background and the interface pictures are where the
// program looks for them.
TEST(InstalledPictures, CanvasesAndBackgrounds) {
    const ResourcePaths paths = ResourcePaths::under(AppFolders{{}, kResources});
    struct Case {
        fs::path ResourcePaths::*file;
        QSize size;  // invalid: any size
        bool clear;
    };
    const Case cases[] = {
        {&ResourcePaths::ntscSubpictureCanvas, {720, 480}, true},
        {&ResourcePaths::palSubpictureCanvas, {720, 576}, true},
        {&ResourcePaths::ntscMenuBackground, {720, 480}, false},
        {&ResourcePaths::palMenuBackground, {720, 576}, false},
        {&ResourcePaths::background1, {720, 576}, false},
        {&ResourcePaths::background2, {720, 576}, false},
        {&ResourcePaths::pictureFrame1, {}, false},
        {&ResourcePaths::pictureFrame2, {}, false},
    };
    for (const Case& c : cases) {
        const fs::path& file = paths.*c.file;
        SCOPED_TRACE(file.string());
        const QImage picture = load(file);
        ASSERT_FALSE(picture.isNull());
        if (c.size.isValid()) {
            EXPECT_EQ(picture.size(), c.size);
        }
        if (!c.clear) continue;
        ASSERT_TRUE(picture.hasAlphaChannel());
        const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
        bool allClear = true;
        for (int y = 0; y < argb.height(); ++y)
            for (int x = 0; x < argb.width(); ++x)
                allClear = allClear && qAlpha(argb.pixel(x, y)) == 0;
        EXPECT_TRUE(allClear);
    }
}

// Mean over pixels and colour channels of the absolute difference of two
// pictures of one size, 0..255.
double meanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

// The transition preview's two pictures, and a cover for every entry of the
// effects page's list that shows its transition under way: neither picture
// alone (as a frame before the transition started or after it ended would
// be), nor the same frame for two kinds.
TEST(InstalledPictures, TransitionCoversShowTheirTransitionBetweenThePreviewPictures) {
    const QSize coverSize(160, 120);
    std::vector<QImage> samples;
    for (const char* name : {"0.jpg", "1.jpg"}) {
        const QImage sample = load(kResources / "menu_pic" / name);
        ASSERT_EQ(sample.size(), QSize(640, 480)) << name;
        samples.push_back(
            sample.scaled(coverSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    // JPEG's own error at quality 90 stays near 2; a transition under way
    // differs from either picture, and two kinds from each other, by 14 and
    // more (Fly, whose small old picture covers little of the new one, and
    // Alpha's cross-fade against Shutter's).
    EXPECT_GT(meanDifference(samples[0], samples[1]), 40) << "the pictures look alike";
    const ResourcePaths paths = ResourcePaths::under(AppFolders{{}, kResources});
    std::vector<QImage> covers;
    for (int entry = 0; entry < TransitionCatalogue::kEntryCount; ++entry) {
        const fs::path file = paths.effectCoverFolder / TransitionCatalogue::coverFileName(entry);
        SCOPED_TRACE(file.string());
        const QImage cover = load(file);
        ASSERT_EQ(cover.size(), coverSize);
        for (const QImage& sample : samples)
            EXPECT_GT(meanDifference(cover, sample), 8);
        for (const QImage& other : covers)
            EXPECT_GT(meanDifference(cover, other), 8);
        covers.push_back(cover);
    }
}

std::vector<fs::path> filesIn(const fs::path& folder, const std::string& extension) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == extension) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Mean of blue minus red over some rows: positive for sky, negative for sand.
double blueOverRed(const QImage& picture, int firstRow, int rows) {
    double sum = 0;
    for (int y = firstRow; y < firstRow + rows; ++y)
        for (int x = 0; x < picture.width(); x += 4)
            sum += qBlue(picture.pixel(x, y)) - qRed(picture.pixel(x, y));
    return sum / (rows * ((picture.width() + 3) / 4));
}

// The sample photographs load with the program's own loader, upright: a
// portrait one taller than wide, and the one stored turned (with an EXIF
// orientation) the right way up.
TEST(InstalledSamples, PhotographsLoadUpright) {
    const std::vector<fs::path> files = filesIn(kResources / "samples", ".jpg");
    ASSERT_GE(files.size(), 8u);
    int portraits = 0;
    std::vector<fs::path> turned;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        std::string reason;
        const Picture picture = loadPicture(file, &reason);
        ASSERT_FALSE(picture.isNull()) << reason;
        const auto pixels = uint64_t(picture.width()) * uint64_t(picture.height());
        EXPECT_GE(pixels, 4'000'000u);
        // Detail at every scale keeps a JPEG of quality 90 above a bit a
        // pixel; a flat drawing takes a fraction of that.
        EXPECT_GT(fs::file_size(file) * 8, pixels);
        portraits += picture.height() > picture.width();
        if (QImageReader(QString::fromStdString(file.string())).transformation() !=
            QImageIOHandler::TransformationNone)
            turned.push_back(file);
    }
    EXPECT_GE(portraits, 1);
    ASSERT_EQ(turned.size(), 1u);

    // Stored a quarter turn to the left, tagged to be turned back.
    QImageReader reader(QString::fromStdString(turned[0].string()));
    EXPECT_EQ(reader.transformation(), QImageIOHandler::TransformationRotate90);
    reader.setAutoTransform(false);
    const QImage stored = reader.read();
    ASSERT_FALSE(stored.isNull());
    EXPECT_GT(stored.height(), stored.width());

    std::string reason;
    const QImage upright = loadPicture(turned[0], &reason).image();
    ASSERT_FALSE(upright.isNull()) << reason;
    EXPECT_EQ(upright.size(), stored.size().transposed());
    const int band = upright.height() / 10;
    EXPECT_GT(blueOverRed(upright, 0, band), 30) << "the sky is not at the top";
    EXPECT_LT(blueOverRed(upright, upright.height() - band, band), 0) << "the sand is not below";
}

TEST(InstalledSamples, MusicIsShortAndNotTheDefaultMusic) {
    const std::vector<fs::path> music = filesIn(kResources / "samples" / "music", ".mp3");
    ASSERT_FALSE(music.empty());
    test::TemporaryFolder folder;
    const Log log(folder / "log.txt");
    FfmpegAudioConverter converter(log);
    const auto bytes = [](const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string defaultMusic = bytes(kResources / "menu_pic" / "default.mp3");
    for (const fs::path& file : music) {
        SCOPED_TRACE(file.string());
        const int seconds = converter.GetFileTimeLength(file);
        EXPECT_GE(seconds, 30);
        EXPECT_LE(seconds, 60);
        EXPECT_NE(bytes(file), defaultMusic);
    }
}

// The picture editor's clip art: a few pictures in each category, whose
// background the editor leaves out and whose drawing it keeps.
TEST(InstalledDecorations, EveryCategoryHasClipArtWithATransparentBackground) {
    for (const char* category : {"Animal", "Dress", "Face", "Mark", "Other"}) {
        SCOPED_TRACE(category);
        int pictures = 0;
        for (const auto& entry : fs::directory_iterator(kResources / "decorate_pics" / category)) {
            SCOPED_TRACE(entry.path().filename().string());
            std::string reason;
            const Picture art = loadDecoration(entry.path(), &reason);
            ASSERT_FALSE(art.isNull()) << reason;
            EXPECT_EQ(qAlpha(art.pixel(0, 0)), 0);  // the background corner
            int opaque = 0;
            for (int y = 0; y < art.height(); ++y)
                for (int x = 0; x < art.width(); ++x)
                    opaque += qAlpha(art.pixel(x, y)) == 255;
            EXPECT_GT(opaque, art.width() * art.height() / 5);  // a drawing, not a speck
            ++pictures;
        }
        EXPECT_GE(pictures, 4);
    }
}

}  // namespace
}  // namespace velmora
