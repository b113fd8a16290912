// The tray icon's rules against a fake notification area: the shown state, what reaches
// the platform and when, the posted tip, the clicks, hiding into the tray and destruction.
#include "widgets/trayicon.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <string>
#include <vector>

#include "controls_testsupport.h"
#include "framework/app/application.h"
#include "framework/controls/forms.h"
#include "framework/graphics/qtgraphics.h"
#include "framework/menus/menus.h"
#include "framework/text/componenttext.h"
#include "framework/x11/firstpaint.h"

using namespace ctl;
using platform::TrayMouse;

namespace {

// Records every call; answers with the configured success.
struct FakeArea : platform::NotificationArea {
    struct Call {
        std::string what;
        platform::TrayIconData data;
    };
    std::vector<Call>* log;
    bool* succeed;
    FakeArea(std::vector<Call>* l, bool* s) : log(l), succeed(s) {}
    bool Add(const platform::TrayIconData& d) override { return Record("add", d); }
    bool Modify(const platform::TrayIconData& d) override { return Record("modify", d); }
    bool Delete() override { return Record("delete", {}); }
    bool Available() const override { return *succeed; }
    bool Record(const char* what, const platform::TrayIconData& d) {
        log->push_back({what, d});
        return *succeed;
    }
};

class TrayIconTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ctltest::EnsureApp();
        if (!fw::Application) {
            static fw::TAppController* app = new fw::TAppController(nullptr);
            (void)app;
        }
        platform::SetNotificationAreaFactory([this] {
            auto a = std::make_unique<FakeArea>(&calls_, &succeed_);
            area_ = a.get();
            return a;
        });
        fw::TPopupMenu::SetPopupEngine([this](fw::TPopupMenu& m, int x, int y) {
            events_.push_back("popup " + m.Name() + " " + std::to_string(x) + "," +
                              std::to_string(y));
        });
        form_.reset(new fw::TForm(nullptr));
        tray_ = new TTrayIcon(form_.get());
        tray_->OnClick.Set([this](fw::TPropertyObject* s) {
            events_.push_back(s == tray_ ? "click" : "click from elsewhere");
        });
        tray_->OnDblClick.Set([this](fw::TPropertyObject*) { events_.push_back("dblclick"); });
        tray_->OnRightClick.Set(
            [this](fw::TPropertyObject*, fw::TMouseButton b, fw::TModifierState s, int, int) {
                events_.push_back(std::string("rightclick") +
                                  (b == fw::mbRight && s == 0 ? "" : " wrong"));
            });
    }
    void TearDown() override {
        form_.reset();
        platform::SetNotificationAreaFactory(nullptr);
        fw::TPopupMenu::SetPopupEngine(nullptr);
    }
    std::vector<std::string> Calls() const {
        std::vector<std::string> out;
        for (const auto& c : calls_) out.push_back(c.what);
        return out;
    }
    void Flush() { QCoreApplication::processEvents(); }

    std::vector<FakeArea::Call> calls_;
    bool succeed_ = true;
    FakeArea* area_ = nullptr;
    std::vector<std::string> events_;
    fw::ComponentPtr<fw::TForm> form_;
    TTrayIcon* tray_ = nullptr;
};

using Strings = std::vector<std::string>;

TEST_F(TrayIconTest, AddAndRemoveAreNoOpsInTheStateTheyLeadTo) {
    tray_->SetEnabled(true);
    tray_->SetEnabled(true);
    EXPECT_TRUE(tray_->Shown());
    tray_->SetEnabled(false);
    tray_->SetEnabled(false);
    EXPECT_FALSE(tray_->Shown());
    EXPECT_EQ(Calls(), (Strings{"add", "delete"}));

    // Off while never shown: nothing reaches the platform.
    calls_.clear();
    tray_->SetEnabled(true);
    tray_->SetEnabled(false);
    tray_->SetEnabled(false);
    EXPECT_EQ(Calls(), (Strings{"add", "delete"}));
}

TEST_F(TrayIconTest, AFailedAddLeavesTheIconNotShownPostsNoTipAndIsTriedAgainLater) {
    succeed_ = false;
    tray_->SetEnabled(true);
    EXPECT_FALSE(tray_->Shown());
    Flush();
    EXPECT_EQ(Calls(), (Strings{"add"}));  // no posted tip re-apply
    // An update while not shown only stores.
    tray_->SetToolTip("tip");
    EXPECT_EQ(Calls(), (Strings{"add"}));

    succeed_ = true;
    tray_->SetEnabled(false);
    tray_->SetEnabled(true);
    EXPECT_TRUE(tray_->Shown());
    ASSERT_EQ(Calls().back(), "add");
    EXPECT_EQ(calls_.back().data.tip, "tip");
}

TEST_F(TrayIconTest, IconAndTipWhileNotShownAreStoredAndAppearAtTheNextAdd) {
    fw::TIcon icon;
    QImage img(4, 3, QImage::Format_ARGB32);
    img.fill(qRgba(10, 20, 30, 255));
    icon.SetImage(img);
    tray_->SetIcon(&icon);
    tray_->SetToolTip(std::string(70, 'x'));
    EXPECT_TRUE(calls_.empty());
    EXPECT_EQ(tray_->ToolTip(), std::string(62, 'x'));
    EXPECT_EQ(tray_->Icon()->Width(), 4);
    EXPECT_NE(tray_->Icon(), &icon);  // a copy

    tray_->SetEnabled(true);
    ASSERT_EQ(Calls(), (Strings{"add"}));
    const auto& d = calls_[0].data;
    EXPECT_EQ(d.tip, std::string(62, 'x'));
    EXPECT_EQ(d.width, 4);
    EXPECT_EQ(d.height, 3);
    ASSERT_EQ(d.argb.size(), 12u);
    EXPECT_EQ(d.argb[5], 0xFF0A141Eu);

    // Shown: each change goes to the platform at once.
    tray_->SetToolTip("short");
    ASSERT_EQ(Calls(), (Strings{"add", "modify"}));
    EXPECT_EQ(calls_[1].data.tip, "short");
}

TEST_F(TrayIconTest, AddedWithoutATipItPostsItselfARepeatOfTheTipOnce) {
    tray_->SetEnabled(true);
    EXPECT_EQ(Calls(), (Strings{"add"}));
    // The picture arrives after the add, as when read from a description.
    fw::TIcon icon;
    QImage img(2, 2, QImage::Format_ARGB32);
    img.fill(qRgba(1, 2, 3, 255));
    icon.SetImage(img);
    tray_->SetIcon(&icon);
    calls_.clear();
    Flush();
    ASSERT_EQ(Calls(), (Strings{"modify"}));
    EXPECT_EQ(calls_[0].data.width, 2);
    Flush();
    EXPECT_EQ(calls_.size(), 1u);

    // With a tip at the add, nothing is posted.
    tray_->SetEnabled(false);
    tray_->SetToolTip("tip");
    calls_.clear();
    tray_->SetEnabled(true);
    Flush();
    EXPECT_EQ(Calls(), (Strings{"add"}));
}

TEST_F(TrayIconTest, APostedTipAfterDestructionTouchesNothing) {
    tray_->SetEnabled(true);
    form_.reset();  // destroys the tray icon with its form
    Flush();        // the posted work finds it gone
    EXPECT_EQ(Calls(), (Strings{"add", "delete"}));
}

TEST_F(TrayIconTest, LoadedFromADescriptionItIsAddedWhileReadingAndCompletedByThePost) {
    form_.reset(new fw::TForm(nullptr));
    calls_.clear();
    fw::ReadRootComponent(*form_,
                          "object Form1: TForm\n"
                          "  object PopupMenu1: TPopupMenu\n"
                          "  end\n"
                          "  object TrayIcon1: TTrayIcon\n"
                          "    AutoRestore = False\n"
                          "    Enabled = True\n"
                          "    ShowDesigning = False\n"
                          "    ToolTip = ''\n"
                          "    PopupMenu = PopupMenu1\n"
                          "  end\n"
                          "end\n");
    auto* t = dynamic_cast<TTrayIcon*>(form_->FindComponent("TrayIcon1"));
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->Shown());
    EXPECT_EQ(t->PopupMenu(), form_->FindComponent("PopupMenu1"));
    // Enabled is read first (the add); the tip read after it updates the shown icon.
    EXPECT_EQ(Calls(), (Strings{"add", "modify"}));
    Flush();
    EXPECT_EQ(Calls(), (Strings{"add", "modify", "modify"}));
    // None of its properties has a default: all are written back.
    const std::string text = fw::WriteComponentText(*t);
    for (const char* p : {"AutoRestore = False", "Enabled = True", "ShowDesigning = False"})
        EXPECT_NE(text.find(p), std::string::npos) << p << " in\n" << text;
}

// The tray host is looked for once the window is painted: an icon enabled before then is
// added then, and one freed before then never reaches the platform.
TEST_F(TrayIconTest, BeforeTheFirstPaintNothingReachesThePlatformAndTheIconComesAfter) {
    form_.reset(new fw::TForm(nullptr));
    calls_.clear();
    fw::HoldUntilFirstPaint();
    auto* early = new TTrayIcon(form_.get());
    auto* gone = new TTrayIcon(form_.get());
    early->SetToolTip("tip");
    early->SetEnabled(true);
    gone->SetEnabled(true);
    fw::TComponent::Free(gone);
    EXPECT_FALSE(early->Shown());
    EXPECT_TRUE(Calls().empty());
    fw::ReleaseFirstPaintWork();
    QCoreApplication::processEvents();
    EXPECT_TRUE(early->Shown());
    ASSERT_EQ(Calls(), (Strings{"add"}));
    EXPECT_EQ(calls_[0].data.tip, "tip");
}

TEST_F(TrayIconTest, ClicksRaiseTheirEventsInTheOrderTheyCome) {
    tray_->SetEnabled(true);
    area_->OnMouse(TrayMouse::LeftClick);
    area_->OnMouse(TrayMouse::LeftDoubleClick);
    area_->OnMouse(TrayMouse::Other);
    EXPECT_EQ(events_, (Strings{"click", "dblclick"}));
}

TEST_F(TrayIconTest, ARightClickShowsThePopupAtTheCursorThenRaisesItsEventAndWithoutAMenuNothing) {
    tray_->SetEnabled(true);
    area_->OnMouse(TrayMouse::RightClick);
    EXPECT_TRUE(events_.empty());  // no menu: no event either

    auto* menu = new fw::TPopupMenu(form_.get());
    menu->SetName("PopupMenu1");
    tray_->SetPopupMenu(menu);
    area_->OnMouse(TrayMouse::RightClick);
    ASSERT_EQ(events_.size(), 2u);
    EXPECT_EQ(events_[0].rfind("popup PopupMenu1 ", 0), 0u) << events_[0];
    EXPECT_EQ(events_[1], "rightclick");

    // The menu going away clears the reference.
    delete menu;
    EXPECT_EQ(tray_->PopupMenu(), nullptr);
}

TEST_F(TrayIconTest, AutoRestoreBringsBackATrayHiddenWindowBeforeTheClickEvent) {
    tray_->SetEnabled(true);
    form_->Show();
    tray_->MinimizeToTray();
    EXPECT_FALSE(form_->Visible());
    EXPECT_TRUE(tray_->Minimized());

    // Off (the main window's setting): only the event.
    tray_->OnClick.Set([this](fw::TPropertyObject*) {
        events_.push_back(form_->Visible() ? "click, window shown" : "click, window hidden");
    });
    area_->OnMouse(TrayMouse::LeftClick);
    EXPECT_EQ(events_, (Strings{"click, window hidden"}));
    EXPECT_TRUE(tray_->Minimized());

    tray_->SetAutoRestore(true);
    area_->OnMouse(TrayMouse::LeftClick);
    EXPECT_EQ(events_.back(), "click, window shown");
    EXPECT_FALSE(tray_->Minimized());
    // A double click never restores.
    tray_->MinimizeToTray();
    area_->OnMouse(TrayMouse::LeftDoubleClick);
    EXPECT_TRUE(tray_->Minimized());
}

TEST_F(TrayIconTest, HiddenIntoTheTrayWithTheIconOffTheIconExistsExactlyWhileHidden) {
    form_->Show();
    tray_->SetMinimized(true);
    EXPECT_TRUE(tray_->Shown());
    EXPECT_FALSE(form_->Visible());
    tray_->SetMinimized(true);  // unchanged: nothing
    tray_->SetMinimized(false);
    EXPECT_FALSE(tray_->Shown());
    EXPECT_TRUE(form_->Visible());
    EXPECT_EQ(Calls(), (Strings{"add", "delete"}));

    // With the icon on, hiding and restoring leave it alone.
    tray_->SetEnabled(true);
    calls_.clear();
    tray_->MinimizeToTray();
    tray_->RestoreFromTray();
    EXPECT_TRUE(tray_->Shown());
    EXPECT_TRUE(calls_.empty());
}

TEST_F(TrayIconTest, DestructionRemovesAShownIconAndOnlyThen) {
    tray_->SetEnabled(true);
    delete tray_;
    EXPECT_EQ(Calls(), (Strings{"add", "delete"}));
    calls_.clear();
    tray_ = new TTrayIcon(form_.get());
    delete tray_;
    EXPECT_TRUE(calls_.empty());
}

TEST_F(TrayIconTest, AHostThatGoesTakesTheIconAndOneThatComesGetsItBack) {
    std::vector<bool> seen;
    tray_->OnHostChange.Set([&](fw::TPropertyObject*, bool a) { seen.push_back(a); });
    succeed_ = false;
    tray_->SetEnabled(true);  // no host yet
    EXPECT_FALSE(tray_->Shown());
    succeed_ = true;
    area_->OnAvailabilityChanged(true);
    EXPECT_TRUE(tray_->Shown());
    area_->OnAvailabilityChanged(false);
    EXPECT_FALSE(tray_->Shown());
    area_->OnAvailabilityChanged(true);
    EXPECT_TRUE(tray_->Shown());
    EXPECT_EQ(seen, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(Calls(), (Strings{"add", "add", "delete", "add"}));

    // Not wanted: a new host gets nothing.
    tray_->SetEnabled(false);
    calls_.clear();
    area_->OnAvailabilityChanged(true);
    EXPECT_TRUE(calls_.empty());
}

}  // namespace
