#include "gui/file_dialogs.h"

#include <gtest/gtest.h>

#include <QFontInfo>

namespace velmora {
namespace {

// The font dialog opens on the caption's own font and size, and a font
// taken unchanged comes back as the same record, whatever name fontconfig
// draws it under.
TEST(FontDialogTest, OpensOnTheCaptionsFontAndGivesItBackUnchanged) {
    struct Case {
        FontRecord record;
        double points;
    };
    const Case cases[] = {
        {{"Arial", 22, 700, false}, 16.5},
        {{"DejaVu Sans", 12, 400, true}, 9.0},
        {{"DejaVu Serif", 40, 400, false}, 30.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record.face);
        const QFont opened = fontForDialog(c.record);
        EXPECT_DOUBLE_EQ(opened.pointSizeF(), c.points);
        EXPECT_EQ(opened.weight(), c.record.weight);
        EXPECT_EQ(opened.italic(), c.record.italic);
        EXPECT_EQ(opened.family(), QFontInfo(toQFont(c.record)).family());

        const FontRecord back = fontRecordFromDialog(opened);
        EXPECT_EQ(back.pixelHeight, c.record.pixelHeight);
        EXPECT_EQ(back.weight, c.record.weight);
        EXPECT_EQ(back.italic, c.record.italic);
    }
}

}  // namespace
}  // namespace velmora
