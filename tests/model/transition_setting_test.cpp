#include "model/transition_setting.h"

#include <gtest/gtest.h>

#include <string>

#include "base/fixed_random.h"
#include "base/markup_document.h"
#include "model/transition_kinds.h"

namespace velmora {
namespace {

using K = TransitionKind;

struct KindRow {
    K kind;
    int defaults[2];
    int drawnAtTop[2];     // rand() = 32767
    int drawnAtBottom[2];  // rand() = 0
};

const KindRow kKindRows[] = {
    {K::Alpha, {0, 0}, {2, 0}, {0, 0}},
    {K::Accordion, {0, 0}, {1, 0}, {0, 0}},
    {K::Blinds, {0, 8}, {1, 10}, {0, 4}},
    {K::Circle, {0, 40}, {1, 80}, {0, 1}},
    {K::Clock, {2, 1}, {2, 1}, {0, 0}},
    {K::CubeFly, {0, 0}, {3, 0}, {0, 0}},
    {K::DiagonalSweep, {0, 40}, {1, 80}, {0, 1}},
    {K::Door, {0, 0}, {1, 0}, {0, 0}},
    {K::Flip, {0, 0}, {1, 0}, {0, 0}},
    {K::Fly, {1, 0}, {1, 0}, {0, 0}},
    {K::Polygon, {7, 0}, {9, 1}, {3, 0}},
    {K::RotateIn, {0, 0}, {1, 0}, {0, 0}},
    {K::Shutter, {0, 40}, {1, 80}, {0, 1}},
    {K::Spin, {0, 0}, {1, 0}, {0, 0}},
    {K::Sweep, {0, 40}, {3, 80}, {0, 1}},
    {K::Twist, {0, 0}, {1, 0}, {0, 0}},
    {K::Wipe, {0, 1}, {3, 1}, {0, 0}},
    {K::Zoom, {0, 0}, {1, 0}, {0, 0}},
};

std::string nameOf(K kind) {
    return std::string(transitionKindInfo(kind).name);
}

TEST(TransitionSetting, DefaultsAndRandomDrawsAtBothEnds) {
    for (const KindRow& row : kKindRows) {
        const auto fresh = makeTransition(row.kind);
        EXPECT_EQ(fresh->kind(), row.kind);
        EXPECT_EQ(fresh->firstParameter(), row.defaults[0]) << nameOf(row.kind);
        EXPECT_EQ(fresh->secondParameter(), row.defaults[1]) << nameOf(row.kind);

        test::ScriptedRandom top({32767});
        const auto high = createTransition(transitionKindId(row.kind), top);
        ASSERT_TRUE(high);
        EXPECT_EQ(high->firstParameter(), row.drawnAtTop[0]) << nameOf(row.kind);
        EXPECT_EQ(high->secondParameter(), row.drawnAtTop[1]) << nameOf(row.kind);
        EXPECT_EQ(top.drawCount(), high->parameterCount()) << nameOf(row.kind);

        test::ScriptedRandom bottom({0});
        const auto low = createTransition(transitionKindId(row.kind), bottom);
        EXPECT_EQ(low->firstParameter(), row.drawnAtBottom[0]) << nameOf(row.kind);
        EXPECT_EQ(low->secondParameter(), row.drawnAtBottom[1]) << nameOf(row.kind);
    }
}

TEST(TransitionSetting, ParametersAreDrawnInStoredOrder) {
    test::ScriptedRandom random({4680 * 2, 16380});  // corners first, then direction
    const auto polygon = createTransition(transitionKindId(K::Polygon), random);
    EXPECT_EQ(polygon->firstParameter(), 5);
    EXPECT_EQ(polygon->secondParameter(), 1);
}

TEST(TransitionSetting, CreateRefusesRandomAndUnknownIds) {
    test::ScriptedRandom random({0});
    EXPECT_FALSE(createTransition(18, random));
    EXPECT_FALSE(createTransition(-1, random));
    EXPECT_FALSE(createTransition(19, random));
    EXPECT_EQ(random.drawCount(), 0);
}

TEST(TransitionSetting, SetParametersStaysInRange) {
    BlindsTransition blinds;
    blinds.setParameters(1, 500);
    EXPECT_EQ(blinds.direction(), 1);
    EXPECT_EQ(blinds.blindCount(), 10);
    blinds.setParameters(-3, 0);
    EXPECT_EQ(blinds.direction(), 0);
    EXPECT_EQ(blinds.blindCount(), 4);
    blinds.resetDefaults();
    EXPECT_EQ(blinds.blindCount(), 8);

    ClockTransition clock;
    clock.setParameters(2, 7);
    EXPECT_TRUE(clock.smooth());
    EXPECT_EQ(clock.secondParameter(), 1);
}

TEST(TransitionSetting, CloneCopiesAConcreteKind) {
    BlindsTransition blinds;
    blinds.setParameters(1, 6);
    test::ScriptedRandom random({0});
    const auto copy = cloneTransition(blinds, random);
    EXPECT_EQ(copy->kind(), K::Blinds);
    EXPECT_EQ(copy->firstParameter(), 1);
    EXPECT_EQ(copy->secondParameter(), 6);
    EXPECT_EQ(random.drawCount(), 0);
}

TEST(TransitionSetting, CloneResolvesRandom) {
    RandomTransition random;
    test::ScriptedRandom top({32767});
    const auto zoom = cloneTransition(random, top);
    EXPECT_EQ(zoom->kind(), K::Zoom);
    EXPECT_EQ(zoom->firstParameter(), 1);

    // Two clones draw independently from the generator's sequence
    // (41, 18467, 6334, 26500, 19169 for seed 1).
    RandomGenerator generator(1);
    const auto first = cloneTransition(random, generator);
    const auto second = cloneTransition(random, generator);
    EXPECT_EQ(first->kind(), K::Alpha);        // 41 / 1820
    EXPECT_EQ(first->firstParameter(), 1);     // 18467 / 10920
    EXPECT_EQ(second->kind(), K::Circle);      // 6334 / 1820
    EXPECT_EQ(second->firstParameter(), 1);    // 26500 / 16380
    EXPECT_EQ(second->secondParameter(), 47);  // 19169 / 405
}

// A non-default value for each parameter: the end of its range away from the default.
int otherThanDefault(const TransitionParameter& parameter) {
    return parameter.defaultValue == parameter.maximum ? parameter.minimum : parameter.maximum;
}

TEST(TransitionSetting, EveryKindSurvivesSaveParseLoad) {
    for (int id = 0; id < kTransitionKindCount; ++id) {
        const auto original = makeTransition(static_cast<K>(id));
        const auto& specs = original->description().parameters;
        original->setParameters(specs.size() > 0 ? otherThanDefault(specs[0]) : 0,
                                specs.size() > 1 ? otherThanDefault(specs[1]) : 0);
        if (!specs.empty()) {
            ASSERT_NE(original->firstParameter(), specs[0].defaultValue);
        }

        MarkupDocument written;
        written.appendElement("RORO_EFFECT");
        written.enter();
        original->save(written);

        MarkupDocument read;
        ASSERT_TRUE(read.parseText(written.doc())) << read.error();
        ASSERT_TRUE(read.findNext("RORO_EFFECT"));
        ASSERT_TRUE(read.enter());
        std::unique_ptr<TransitionSetting> loaded = makeTransition(K::Alpha);
        ASSERT_TRUE(loadTransition(read, loaded)) << written.doc();
        ASSERT_TRUE(loaded) << written.doc();
        EXPECT_EQ(loaded->kind(), original->kind());
        EXPECT_EQ(loaded->firstParameter(), original->firstParameter()) << written.doc();
        EXPECT_EQ(loaded->secondParameter(), original->secondParameter()) << written.doc();
    }
}

TEST(TransitionSetting, WrittenMarkup) {
    struct Case {
        K kind;
        int first, second;
        const char* text;
    };
    const Case cases[] = {
        {K::Blinds, 1, 6,
         "<TRANSITION_EFFECT_SETTING NAME=\"TRANSITION_EFFECT_BLIND\">\r\n"
         "<TRANSITION_EFFECT_BLIND_PARAM>\r\n"
         "<TRANSITION_EFFECT_BLIND_PARAM_DIRECTION>1</TRANSITION_EFFECT_BLIND_PARAM_DIRECTION>\r\n"
         "<TRANSITION_EFFECT_BLIND_WINDOW_NUMBER>6</TRANSITION_EFFECT_BLIND_WINDOW_NUMBER>\r\n"
         "</TRANSITION_EFFECT_BLIND_PARAM>\r\n"
         "</TRANSITION_EFFECT_SETTING>\r\n"},
        {K::Spin, 1, 0,
         "<TRANSITION_EFFECT_SETTING NAME=\"TRANSITION_EFFECT_SPIN\">\r\n"
         "<TRANSITION_EFFECT_SPIN>1</TRANSITION_EFFECT_SPIN>\r\n"
         "</TRANSITION_EFFECT_SETTING>\r\n"},
        {K::Polygon, 5, 1,
         "<TRANSITION_EFFECT_SETTING NAME=\"TRANSITION_EFFECT_POLYGON\">\r\n"
         "<TRANSITION_EFFECT_POLYGON_PARAM>\r\n"
         "<TRANSITION_EFFECT_POLYGON_PARAM_NUMBER>5</TRANSITION_EFFECT_POLYGON_PARAM_NUMBER>\r\n"
         "<TRANSITION_EFFECT_POLYGON_DIRECTION>1</TRANSITION_EFFECT_POLYGON_DIRECTION>\r\n"
         "</TRANSITION_EFFECT_POLYGON_PARAM>\r\n"
         "</TRANSITION_EFFECT_SETTING>\r\n"},
        {K::Random, 0, 0, "<TRANSITION_EFFECT_SETTING NAME=\"TRANSITION_EFFECT_RANDOM\"/>\r\n"},
    };
    for (const Case& c : cases) {
        auto transition = makeTransition(c.kind);
        transition->setParameters(c.first, c.second);
        MarkupDocument doc;
        transition->save(doc);
        EXPECT_EQ(doc.doc(), c.text);
    }
}

// The parameter list of a Blinds element as it might be found in a file.
std::string blindsDocument(const std::string& parameters) {
    return "<e><TRANSITION_EFFECT_SETTING NAME=\"TRANSITION_EFFECT_BLIND\">"
           "<TRANSITION_EFFECT_BLIND_PARAM>" +
           parameters +
           "</TRANSITION_EFFECT_BLIND_PARAM></TRANSITION_EFFECT_SETTING>"
           "<after/></e>";
}

TEST(TransitionSetting, LoadingToleratesAndRejects) {
    struct Case {
        std::string document;
        bool result;
        bool holdsObject;
        int first, second;
    };
    const std::string direction =
        "<TRANSITION_EFFECT_BLIND_PARAM_DIRECTION>1"
        "</TRANSITION_EFFECT_BLIND_PARAM_DIRECTION>";
    const Case cases[] = {
        {blindsDocument(
             direction +
             "<TRANSITION_EFFECT_BLIND_WINDOW_NUMBER>6</TRANSITION_EFFECT_BLIND_WINDOW_NUMBER>"),
         true, true, 1, 6},
        // Non-numeric text reads as 0, kept inside the range.
        {blindsDocument(
             direction +
             "<TRANSITION_EFFECT_BLIND_WINDOW_NUMBER>many</TRANSITION_EFFECT_BLIND_WINDOW_NUMBER>"),
         true, true, 1, 4},
        {blindsDocument(direction + "<TRANSITION_EFFECT_BLIND_WINDOW_NUMBER> "
                                    "500x</TRANSITION_EFFECT_BLIND_WINDOW_NUMBER>"),
         true, true, 1, 10},
        // A missing parameter drops the object.
        {blindsDocument(direction), false, false, 0, 0},
        {blindsDocument(
             "<TRANSITION_EFFECT_BLIND_WINDOW_NUMBER>6</TRANSITION_EFFECT_BLIND_WINDOW_NUMBER>" +
             direction),
         false, false, 0, 0},  // out of order: the search never goes back
        {"<e><TRANSITION_EFFECT_SETTING NAME=\"TRANSITION_EFFECT_BLIND\"/><after/></e>", false,
         false, 0, 0},
        // An unknown name creates nothing but is not a failure.
        {"<e><TRANSITION_EFFECT_SETTING NAME=\"TRANSITION_EFFECT_blind\"/><after/></e>", true,
         false, 0, 0},
    };
    for (const Case& c : cases) {
        MarkupDocument doc;
        ASSERT_TRUE(doc.parseText(c.document)) << c.document;
        ASSERT_TRUE(doc.findNext("e"));
        ASSERT_TRUE(doc.enter());
        std::unique_ptr<TransitionSetting> owner = makeTransition(K::Zoom);
        EXPECT_EQ(loadTransition(doc, owner), c.result) << c.document;
        EXPECT_EQ(owner != nullptr, c.holdsObject) << c.document;
        if (owner) {
            EXPECT_EQ(owner->kind(), K::Blinds);
            EXPECT_EQ(owner->firstParameter(), c.first) << c.document;
            EXPECT_EQ(owner->secondParameter(), c.second) << c.document;
        }
        // The reader stays on the setting element and can go on with its siblings.
        EXPECT_EQ(doc.currentName(), "TRANSITION_EFFECT_SETTING") << c.document;
        EXPECT_TRUE(doc.findNext("after")) << c.document;
    }
}

TEST(TransitionSetting, NoSettingElementLeavesTheOwnerAlone) {
    MarkupDocument doc;
    ASSERT_TRUE(doc.parseText("<e><other/></e>"));
    ASSERT_TRUE(doc.findNext("e"));
    ASSERT_TRUE(doc.enter());
    std::unique_ptr<TransitionSetting> owner = makeTransition(K::Door);
    EXPECT_FALSE(loadTransition(doc, owner));
    ASSERT_TRUE(owner);
    EXPECT_EQ(owner->kind(), K::Door);
}

class RecordingDialogHost final : public TransitionDialogHost {
  public:
    explicit RecordingDialogHost(bool answer) : answer_(answer) {}
    bool editTransition(TransitionSetting& transition) override {
        shown = &transition;
        if (answer_) transition.setParameters(1, 5);
        return answer_;
    }
    TransitionSetting* shown = nullptr;

  private:
    bool answer_;
};

TEST(TransitionSetting, SettingsDialogOnlyForKindsWithParameters) {
    RandomTransition random;
    RecordingDialogHost host(true);
    EXPECT_FALSE(random.showSettingsDialog(host));
    EXPECT_EQ(host.shown, nullptr);

    BlindsTransition blinds;
    EXPECT_TRUE(blinds.showSettingsDialog(host));
    EXPECT_EQ(host.shown, &blinds);
    EXPECT_EQ(blinds.blindCount(), 5);

    RecordingDialogHost cancelling(false);
    ZoomTransition zoom;
    EXPECT_FALSE(zoom.showSettingsDialog(cancelling));
    EXPECT_FALSE(zoom.zoomOut());
}

TEST(TransitionKind, NamesAndLists) {
    EXPECT_EQ(transitionKindInfo(K::CubeFly).name, "Cube fly");
    EXPECT_EQ(transitionKindInfo(K::RotateIn).dialogTitle, "Transition Rotate Setting");
    EXPECT_EQ(transitionKindInfo(K::DiagonalSweep).coverFile, "diagonalsweep.jpg");
    EXPECT_EQ(transitionNameList()[0], "Alpha");
    EXPECT_EQ(transitionNameList()[17], "Zoom");
    EXPECT_EQ(transitionNameList()[18], "random");
    EXPECT_EQ(catalogueNameList()[0], "Random");
    EXPECT_EQ(catalogueNameList()[1], "Alpha");
    EXPECT_EQ(catalogueNameList()[18], "Zoom");
}

}  // namespace
}  // namespace velmora
