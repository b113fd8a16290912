// The one conversion of text values to published properties: Check refuses exactly what
// Apply refuses and changes nothing, integers out of their type's range are refused rather
// than wrapped, floating-point values use "." whatever the locale, and nesting is bounded.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "framework/core/classbuilder.h"
#include "framework/core/classregistry.h"
#include "framework/core/exceptions.h"
#include "framework/graphics/colors.h"
#include "framework/text/componenttext.h"
#include "framework/text/propvalue.h"

using namespace fw;

namespace {

enum TMood { mdCalm, mdBusy, mdGone };
const EnumInfo& MoodInfo() {
    static const EnumInfo info{"TMood", {"mdCalm", "mdBusy", "mdGone"}};
    return info;
}

class TEntry : public TCollectionItem {
    FW_CLASS(TEntry)
  public:
    explicit TEntry(TCollection* c) : TCollectionItem(c) {}
    int Size() const { return size_; }
    void SetSize(int v) { size_ = v; }

  private:
    int size_ = 0;
};

const TClassInfo& TEntry::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TEntry>("TEntry", &TCollectionItem::StaticClassInfo())
            .Integer("Size", &TEntry::Size, &TEntry::SetSize, 0)
            .Build();
    return info;
}

class TValues : public TComponent {
    FW_CLASS(TValues)
  public:
    explicit TValues(TComponent* owner) : TComponent(owner) {}
    int Left() const { return left_; }
    void SetLeft(int v) { left_ = v; }
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned v) { interval_ = v; }
    uint8_t Step() const { return step_; }
    void SetStep(uint8_t v) { step_ = v; }
    double Ratio() const { return ratio_; }
    void SetRatio(double v) { ratio_ = v; }
    TMood Mood() const { return mood_; }
    void SetMood(TMood v) { mood_ = v; }
    unsigned Moods() const { return moods_; }
    void SetMoods(unsigned v) { moods_ = v; }
    TColor Tint() const { return tint_; }
    void SetTint(TColor v) { tint_ = v; }
    TValues* Buddy() const { return buddy_; }
    void SetBuddy(TValues* v) { buddy_ = v; }
    TLineList* Lines() const { return lines_.get(); }
    TCollection* Entries() const { return entries_.get(); }
    TSenderEvent OnPing;

  private:
    int left_ = 0;
    unsigned interval_ = 1000;
    uint8_t step_ = 1;
    double ratio_ = 0;
    TMood mood_ = mdCalm;
    unsigned moods_ = 0;
    TColor tint_ = 0;
    TValues* buddy_ = nullptr;
    std::unique_ptr<TLineList> lines_ = std::make_unique<TLineList>();
    std::unique_ptr<TCollection> entries_ =
        std::make_unique<TCollection>([](TCollection& c) { return std::make_unique<TEntry>(&c); });
};

const TClassInfo& TValues::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TValues>("TValues", &TComponent::StaticClassInfo())
            .Integer("Left", &TValues::Left, &TValues::SetLeft, 0)
            .Integer("Interval", &TValues::Interval, &TValues::SetInterval, 1000)
            .Integer("Step", &TValues::Step, &TValues::SetStep, 1)
            .Float("Ratio", &TValues::Ratio, &TValues::SetRatio)
            .Enum("Mood", &TValues::Mood, &TValues::SetMood, MoodInfo(), mdCalm)
            .Set("Moods", &TValues::Moods, &TValues::SetMoods, MoodInfo(), 0)
            .Color("Tint", &TValues::Tint, &TValues::SetTint, 0)
            .Component("Buddy", &TValues::Buddy, &TValues::SetBuddy)
            .Object("Lines", &TValues::Lines)
            .Collection("Entries", &TValues::Entries)
            .Event("OnPing", &TValues::OnPing)
            .Creatable()
            .Build();
    return info;
}

// A root with two TValues and a plain component that is no TValues.
struct Scene {
    Scene() {
        RegisterClass(TValues::StaticClassInfo());
        root->SetName("Root");
        root->RegisterHandler<void(TPropertyObject*)>("Ping", [](TPropertyObject*) {});
        a->SetName("A");
        b->SetName("B");
        other->SetName("Other");
        a->SetBuddy(a);  // so that every sound Buddy value is a change
    }
    ComponentPtr<TValues> root{new TValues(nullptr)};
    TValues* a = new TValues(root.get());
    TValues* b = new TValues(root.get());
    TComponent* other = new TComponent(root.get());
};

PropertyLine LineOf(const std::string& path, const std::string& value) {
    ObjectText o = ParseComponentText("object X: TValues\n  " + path + " = " + value + "\nend\n");
    return o.props.at(0);
}

bool Converts(Scene& s, const PropertyLine& line, TValueMode mode) {
    TValueContext ctx;
    ctx.root = s.root.get();
    try {
        ConvertPropertyLine(*s.a, line, mode, ctx, "A." + line.path);
        return true;
    } catch (const EReadError&) {
        return false;
    }
}

TEST(TextValues, CheckRefusesExactlyWhatApplyRefusesAndChangesNothing) {
    struct Case {
        const char* path;
        const char* value;
        bool fits;
    };
    const Case cases[] = {
        {"Left", "-2147483648", true},
        {"Left", "2147483647", true},
        {"Left", "2147483648", false},
        {"Left", "4294967523", false},
        {"Left", "-2147483649", false},
        {"Left", "'5'", false},
        {"Interval", "4294967295", true},
        {"Interval", "-1", false},
        {"Interval", "4294967296", false},
        {"Step", "255", true},
        {"Step", "256", false},
        {"Ratio", "1.5", true},
        {"Ratio", "2", true},
        {"Ratio", "x", false},
        {"Mood", "mdBusy", true},
        {"Mood", "MDGONE", true},
        {"Mood", "mdMaybe", false},
        {"Mood", "1", false},
        {"Moods", "[mdCalm, mdGone]", true},
        {"Moods", "[mdNone]", false},
        {"Tint", "clRed", true},
        {"Tint", "-16777201", true},
        {"Tint", "4294967295", true},
        {"Tint", "4294967296", false},
        {"Tint", "clPink", false},
        {"Buddy", "B", true},
        {"Buddy", "root", true},
        {"Buddy", "nil", true},
        {"Buddy", "Other", false},
        {"Buddy", "Nobody", false},
        {"OnPing", "Ping", true},
        {"OnPing", "Pong", false},
        {"Lines.Strings", "(\n 'a'\n 'b')", true},
        {"Lines.Strings", "(\n 'a'\n 1)", false},
        {"Entries", "<\n item\n Size = 3\n end>", true},
        {"Entries", "<\n item\n Size = 'x'\n end>", false},
        {"Entries", "<\n item\n Colour = 3\n end>", false},
        {"Nothing", "1", false},
        {"Lines.Nothing", "1", false},
    };
    for (const Case& c : cases) {
        Scene checked, applied;
        const PropertyLine line = LineOf(c.path, c.value);
        const std::string before = WriteComponentText(*checked.a);
        const bool checkOk = Converts(checked, line, TValueMode::Check);
        EXPECT_EQ(checkOk, c.fits) << c.path << " = " << c.value;
        EXPECT_EQ(Converts(applied, line, TValueMode::Apply), c.fits) << c.path << " = " << c.value;
        EXPECT_EQ(WriteComponentText(*checked.a), before) << "Check changed " << c.path;
        if (c.fits) {
            EXPECT_NE(WriteComponentText(*applied.a), before) << c.path << " = " << c.value;
        }
    }
}

TEST(TextValues, OutOfRangeIntegersAreRefusedWithALineAndLeaveTheValue) {
    Scene s;
    s.a->SetLeft(227);
    try {
        ApplyComponentText(*s.a, "object A: TValues\n  Step = 2\n  Left = 4294967523\nend\n",
                           s.root.get());
        ADD_FAILURE() << "wrapped";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Line(), 3);
        EXPECT_EQ(std::string(e.what()), "Line 3: Error reading A.Left: Invalid property value");
    }
    EXPECT_EQ(s.a->Left(), 227);
    EXPECT_EQ(s.a->Step(), 2);
}

// A locale whose decimal separator is a comma, made for the test.
class CommaLocale {
  public:
    CommaLocale() {
        const std::string dir = dir_.string();
        std::filesystem::create_directories(dir_);
        const std::string cmd =
            "localedef -i de_DE -f UTF-8 " + dir + "/de_DE.UTF-8 >/dev/null 2>&1";
        built_ = std::system(cmd.c_str()) == 0;
        ::setenv("LOCPATH", dir.c_str(), 1);
        built_ = built_ && std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~CommaLocale() {
        std::setlocale(LC_ALL, "C");
        ::unsetenv("LOCPATH");
        std::filesystem::remove_all(dir_);
    }
    bool Built() const { return built_; }

  private:
    std::filesystem::path dir_ =
        std::filesystem::temp_directory_path() / ("rz-locale-" + std::to_string(::getpid()));
    bool built_ = false;
};

TEST(TextValues, FloatsAreWrittenAndReadWithADotWhateverTheLocale) {
    CommaLocale comma;
    ASSERT_TRUE(comma.Built()) << "localedef could not make de_DE.UTF-8 (package locales)";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.1f", 1.5);
    ASSERT_STREQ(buf, "1,5") << "the locale does not use a comma";
    Scene s;
    s.a->SetRatio(1.5);
    const std::string text = WriteComponentText(*s.a);
    EXPECT_NE(text.find("Ratio = 1.5\n"), std::string::npos) << text;
    s.a->SetRatio(0);
    ApplyComponentText(*s.a, text, s.root.get());
    EXPECT_EQ(s.a->Ratio(), 1.5);
    ApplyComponentText(*s.a, "object A: TValues\n  Ratio = -2.25e3\nend\n", s.root.get());
    EXPECT_EQ(s.a->Ratio(), -2250.0);
}

TEST(TextValues, NestingIsBoundedWithAClearErrorThatNamesItsLine) {
    auto parse = [](int depth, const char* open, const char* close) {
        std::string v;
        for (int i = 0; i < depth; ++i) v += open;
        for (int i = 0; i < depth; ++i) v += close;
        return "object A: TValues\n  Lines.Strings = " + v + "\nend\n";
    };
    // The value itself is one level, the block another.
    EXPECT_NO_THROW(ParseComponentText(parse(63, "(", ")")));
    for (int depth : {64, 50000}) {
        try {
            ParseComponentText(parse(depth, "(", ")"));
            ADD_FAILURE() << depth << " levels parsed";
        } catch (const EParserError& e) {
            EXPECT_EQ(e.Line(), 2);
            EXPECT_EQ(e.Bare(), "Nesting deeper than 64 levels");
        }
    }
    EXPECT_THROW(ParseComponentText(parse(50000, "<item X = ", " end>")), EParserError);
    std::string blocks;
    for (int i = 0; i < 100; ++i) blocks += "object A: TValues\n";
    for (int i = 0; i < 100; ++i) blocks += "end\n";
    EXPECT_THROW(ParseComponentText(blocks), EParserError);
}

}  // namespace
