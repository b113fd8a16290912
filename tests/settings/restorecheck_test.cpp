// The check that refuses a damaged key before any of it is applied, for the kinds the
// other store tests do not flatten: colours, component references, events and floating-
// point values. Each entry is tried alone, after a sound line of the same group.
#include "framework/graphics/colors.h"
#include "tests/settings/store_support.h"

namespace storetest {
namespace {

class TGauge : public fw::TComponent {
    FW_CLASS(TGauge)
  public:
    explicit TGauge(fw::TComponent* owner) : fw::TComponent(owner) {}
    int Count() const { return count_; }
    void SetCount(int v) { count_ = v; }
    fw::TColor Color() const { return color_; }
    void SetColor(fw::TColor c) { color_ = c; }
    fw::TComponent* Buddy() const { return buddy_; }
    void SetBuddy(fw::TComponent* c) { buddy_ = c; }
    double Ratio() const { return ratio_; }
    void SetRatio(double v) { ratio_ = v; }
    fw::TSenderEvent OnPing;

  private:
    int count_ = 0;
    fw::TColor color_ = fw::clBlack;
    fw::TComponent* buddy_ = nullptr;
    double ratio_ = 1.0;
};

const fw::TClassInfo& TGauge::StaticClassInfo() {
    static const fw::TClassInfo info =
        fw::ClassBuilder<TGauge>("TGauge", &fw::TComponent::StaticClassInfo())
            .Integer("Count", &TGauge::Count, &TGauge::SetCount, 0)
            .Color("Color", &TGauge::Color, &TGauge::SetColor, fw::clBlack)
            .Component("Buddy", &TGauge::Buddy, &TGauge::SetBuddy)
            .Float("Ratio", &TGauge::Ratio, &TGauge::SetRatio)
            .Event("OnPing", &TGauge::OnPing)
            .Creatable()
            .Build();
    return info;
}

class RestoreCheckTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        fw::RegisterClass(TGauge::StaticClassInfo());
        MakeModule();
        module_->RegisterHandler<void(fw::TPropertyObject*)>(
            "GaugePing", [this](fw::TPropertyObject*) { ++pings_; });
        gauge_ = new TGauge(module_.get());
        gauge_->SetName("Gauge1");
    }
    // Restores a section holding "Gauge1.Count=7" and then the line; says whether the line
    // was used. A refused line is reported, by its key, and costs only itself.
    bool Restores(const std::string& line) {
        gauge_->SetCount(0);
        reported_.clear();
        WriteFile(IniPath(), "[S]\nGauge1.Count=7\nGauge1." + line + "\n");
        store_->Restore();
        EXPECT_EQ(gauge_->Count(), 7) << line;
        EXPECT_LE(reported_.size(), 1u) << line;
        const bool applied = reported_.empty();
        if (!applied) {
            EXPECT_NE(reported_[0].find("Gauge1." + line.substr(0, line.find('='))),
                      std::string::npos)
                << reported_[0];
        }
        return applied;
    }

    TGauge* gauge_ = nullptr;
    int pings_ = 0;
};

TEST_F(RestoreCheckTest, Colours) {
    EXPECT_TRUE(Restores("Color=clRed"));
    EXPECT_EQ(gauge_->Color(), fw::TColor(0x0000FF));
    EXPECT_TRUE(Restores("Color=clBtnFace"));
    EXPECT_EQ(gauge_->Color(), fw::clBtnFace);
    EXPECT_TRUE(Restores("Color=12636341"));
    EXPECT_EQ(gauge_->Color(), fw::TColor(12636341));
    gauge_->SetColor(fw::clBlack);
    for (const char* bad :
         {"Color=clNoSuchColour", "Color=''clRed''", "Color=[clRed]", "Color=1.5"}) {
        EXPECT_FALSE(Restores(bad)) << bad;
        EXPECT_EQ(gauge_->Color(), fw::clBlack) << bad;
    }
}

TEST_F(RestoreCheckTest, ComponentReferences) {
    EXPECT_TRUE(Restores("Buddy=Thing2"));
    EXPECT_EQ(gauge_->Buddy(), thing2_);
    EXPECT_TRUE(Restores("Buddy=thing1"));  // components are found without regard to case
    EXPECT_EQ(gauge_->Buddy(), thing1_);
    EXPECT_TRUE(Restores("Buddy=nil"));
    EXPECT_EQ(gauge_->Buddy(), nullptr);
    gauge_->SetBuddy(thing2_);
    for (const char* bad : {"Buddy=Thing9", "Buddy=12", "Buddy=''Thing1''"}) {
        EXPECT_FALSE(Restores(bad)) << bad;
        EXPECT_EQ(gauge_->Buddy(), thing2_) << bad;
    }
}

TEST_F(RestoreCheckTest, Events) {
    EXPECT_TRUE(Restores("OnPing=GaugePing"));
    ASSERT_TRUE(static_cast<bool>(gauge_->OnPing));
    gauge_->OnPing(gauge_);
    EXPECT_EQ(pings_, 1);
    for (const char* bad : {"OnPing=12", "OnPing=''GaugePing''", "OnPing=NoSuchHandler"}) {
        EXPECT_FALSE(Restores(bad)) << bad;
        EXPECT_EQ(gauge_->OnPing.name, "GaugePing") << bad;
    }
}

TEST_F(RestoreCheckTest, FloatingPointValues) {
    EXPECT_TRUE(Restores("Ratio=2.5"));
    EXPECT_DOUBLE_EQ(gauge_->Ratio(), 2.5);
    EXPECT_TRUE(Restores("Ratio=3"));  // a whole number is a fitting value
    EXPECT_DOUBLE_EQ(gauge_->Ratio(), 3.0);
    EXPECT_TRUE(Restores("Ratio=-0.125"));
    EXPECT_DOUBLE_EQ(gauge_->Ratio(), -0.125);
    for (const char* bad : {"Ratio=''2.5''", "Ratio=high", "Ratio=[tkOne]"}) {
        EXPECT_FALSE(Restores(bad)) << bad;
        EXPECT_DOUBLE_EQ(gauge_->Ratio(), -0.125) << bad;
    }
}

}  // namespace
}  // namespace storetest
