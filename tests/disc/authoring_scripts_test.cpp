#include "disc/authoring_scripts.h"

#include <gtest/gtest.h>

#include <QImage>
#include <sstream>

#include "base/markup_file.h"
#include "menu/menu_masks.h"
#include "menu/theme_fixture.h"
#include "support/temporary_folder.h"
#include "workspace/project_stack.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> fileLines(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<std::string> lines;
    std::string all = text.str();
    for (size_t begin = 0, end; (end = all.find("\r\n", begin)) != std::string::npos;
         begin = end + 2)
        lines.push_back(all.substr(begin, end - begin));
    return lines;
}

void writeImage(const fs::path& file, QSize size) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    image.save(QString::fromStdString(file.string()));
}

// A project whose menu comes from a two-button theme on a background of a
// chosen size.
class AuthoringScriptsTest : public ::testing::Test {
  protected:
    void makeMenu(int slideshowCount, QSize background) {
        const fs::path theme = user() / "theme" / "two";
        test::writeTheme(theme, test::ThemeText{}.text());
        writeImage(theme / "back.jpg", background);
        writeImage(user() / "NTSC_BG.png", {720, 480});
        stack_.catalogue.loadThemes(user() / "theme", stack_.log);
        std::vector<std::string> names;
        for (int i = 0; i < slideshowCount; ++i) {
            names.push_back("show" + std::to_string(i));
            stack_.project.addSlideshow(names.back());
        }
        stack_.menu.createPages(stack_.folders.working, names, stack_.catalogue);
    }
    AuthoringScripts scripts(AspectRatio aspect = AspectRatio::Standard) {
        return AuthoringScripts(
            stack_.project, stack_.menu, stack_.catalogue,
            {{TvStandard::Ntsc, aspect}, TvStandard::Ntsc, user() / "NTSC_BG.png"},
            services_.notifier, stack_.log);
    }
    fs::path user() const { return temporary_.path(); }
    std::string T() const { return stack_.folders.temporary.string(); }

    test::TemporaryFolder temporary_;
    test::ProjectServices services_;
    test::ProjectStack stack_{user(), services_, 1};
};

TEST_F(AuthoringScriptsTest, OnePageOfTwoSlideshows) {
    makeMenu(2, {720, 480});
    ASSERT_TRUE(scripts().writeAuthoringScripts());
    const std::string menu = T() + "/menuVideo0.MPG";
    const std::vector<std::string> expected = {"<dvdauthor>",
                                               "<vmgm>",
                                               "<menus>",
                                               "<video format=\"ntsc\" aspect=\"4:3\"/>",
                                               "<pgc>",
                                               "<pre>if (g1 != 0) { button = g1; g1 = 0; }</pre>",
                                               "<button name=\"1\">jump title 1;</button>",
                                               "<button name=\"2\">jump title 2;</button>",
                                               "<vob file=\"" + menu + "\"/>",
                                               "<post>g1 = s8; jump menu 1;</post>",
                                               "</pgc>",
                                               "</menus>",
                                               "</vmgm>",
                                               "<titleset>",
                                               "<menus>",
                                               "<video format=\"ntsc\" aspect=\"4:3\"/>",
                                               "<pgc entry=\"root\">",
                                               "<pre>jump vmgm menu 1;</pre>",
                                               "</pgc>",
                                               "</menus>",
                                               "<titles>",
                                               "<video format=\"ntsc\" aspect=\"4:3\"/>",
                                               "<pgc>",
                                               "<pre>g1 = 1024; g2 = 1;</pre>",
                                               "<vob file=\"" + T() + "/0.mpg\" pause=\"1\"/>",
                                               "<post>jump title 2;</post>",
                                               "</pgc>",
                                               "<pgc>",
                                               "<pre>g1 = 2048; g2 = 1;</pre>",
                                               "<vob file=\"" + T() + "/1.mpg\" pause=\"1\"/>",
                                               "<post>call vmgm menu 1;</post>",
                                               "</pgc>",
                                               "</titles>",
                                               "</titleset>",
                                               "</dvdauthor>"};
    EXPECT_EQ(fileLines(stack_.project.authorScriptPath), expected);
    EXPECT_EQ(stack_.project.slideshows[1]->programStreamPath, T() + "/1.mpg");
}

TEST_F(AuthoringScriptsTest, PagesJumpToEachOtherAndTitlesCountOn) {
    makeMenu(5, {720, 480});
    ASSERT_TRUE(scripts().writeAuthoringScripts());
    std::vector<std::string> buttons;
    for (const std::string& line : fileLines(stack_.project.authorScriptPath)) {
        if (line.starts_with("<button") || line.starts_with("<post>g1 = s8; jump menu") ||
            line.starts_with("<pre>if (g2") || line.starts_with("<post>call"))
            buttons.push_back(line);
    }
    const std::vector<std::string> expected = {
        "<button name=\"1\">jump title 1;</button>", "<button name=\"2\">jump title 2;</button>",
        "<button name=\"3\">jump menu 2;</button>", "<post>g1 = s8; jump menu 1;</post>",
        "<button name=\"1\">jump title 3;</button>", "<button name=\"2\">jump title 4;</button>",
        "<button name=\"3\">jump menu 1;</button>", "<button name=\"4\">jump menu 3;</button>",
        "<post>g1 = s8; jump menu 2;</post>", "<button name=\"1\">jump title 5;</button>",
        "<button name=\"2\">jump menu 2;</button>", "<post>g1 = s8; jump menu 3;</post>",
        // MENU during a slideshow: its page.
        "<pre>if (g2 == 2) jump vmgm menu 2; if (g2 == 3) "
        "jump vmgm menu 3; jump vmgm menu 1;</pre>",
        // The last slideshow ends on its own page.
        "<post>call vmgm menu 3;</post>"};
    EXPECT_EQ(buttons, expected);
}

TEST_F(AuthoringScriptsTest, SubpictureScriptsPlaceButtonsOnTheFrame) {
    makeMenu(3, {360, 240});  // NTSC doubles every coordinate
    ASSERT_TRUE(scripts().writeAuthoringScripts());
    const MenuPage& page = stack_.menu.pages[0];  // two slideshow buttons and Next
    const std::vector<std::string> expected = {
        "<subpictures>",
        "<stream>",
        "<spu start=\"00:00:00.0\" end=\"00:00:00.0\" highlight=\"" +
            page.highlightMaskPath.string() + "\" select=\"" + page.selectMaskPath.string() + "\">",
        "<button name=\"1\" x0=\"200\" y0=\"400\" x1=\"520\" y1=\"640\"/>",
        "<button name=\"2\" x0=\"800\" y0=\"400\" x1=\"1120\" y1=\"640\"/>",
        "<button name=\"3\" x0=\"1280\" y0=\"1000\" x1=\"1400\" y1=\"1080\"/>",
        "</spu>",
        "</stream>",
        "</subpictures>"};
    EXPECT_EQ(fileLines(page.subpictureScriptPath), expected);
    EXPECT_TRUE(fs::exists(page.highlightMaskPath) && fs::exists(page.selectMaskPath));
    EXPECT_FALSE(fs::exists(letterboxFile(page.subpictureScriptPath)));
}

TEST_F(AuthoringScriptsTest, WideMenusAddALetterboxStream) {
    makeMenu(2, {720, 480});
    ASSERT_TRUE(scripts(AspectRatio::Wide).writeAuthoringScripts());
    const std::vector<std::string> author = fileLines(stack_.project.authorScriptPath);
    const std::string video = "<video format=\"ntsc\" aspect=\"16:9\" widescreen=\"nopanscan\"/>";
    EXPECT_EQ(std::count(author.begin(), author.end(), video), 3);  // menus, root menu, titles
    const std::vector<std::string> streams(author.begin() + 4, author.begin() + 8);
    EXPECT_EQ(streams,
              (std::vector<std::string>{"<subpicture>", "<stream mode=\"widescreen\" id=\"0\"/>",
                                        "<stream mode=\"letterbox\" id=\"1\"/>", "</subpicture>"}));

    // Slot 0 at y 200..320 of a 480-high frame: letterboxed 60 + 150 .. 60 + 240.
    const MenuPage& page = stack_.menu.pages[0];
    const std::vector<std::string> letterbox = fileLines(letterboxFile(page.subpictureScriptPath));
    ASSERT_GE(letterbox.size(), 4u);
    EXPECT_EQ(letterbox[3], "<button name=\"1\" x0=\"100\" y0=\"210\" x1=\"260\" y1=\"300\"/>");
    EXPECT_NE(letterbox[2].find(letterboxFile(page.highlightMaskPath).string()), std::string::npos);
    EXPECT_TRUE(fs::exists(letterboxFile(page.highlightMaskPath)));
}

TEST_F(AuthoringScriptsTest, NothingIsWrittenWithoutATheme) {
    stack_.project.addSlideshow("one");
    EXPECT_FALSE(scripts().writeAuthoringScripts());
    EXPECT_FALSE(fs::exists(stack_.project.authorScriptPath));
}

}  // namespace
}  // namespace velmora
