// The main window loaded from its description on the offscreen platform.
#include "program/mainwindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QPaintEvent>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "framework/app/application.h"
#include "framework/core/classregistry.h"
#include "framework/core/exceptions.h"
#include "framework/graphics/graphics.h"
#include "framework/graphics/qtgraphics.h"
#include "framework/menus/menuengine.h"
#include "framework/text/componenttext.h"
#include "gif/gifanimator.h"
#include "gif/registergif.h"
#include "settings/propstore.h"
#include "tests/program/app_support.h"
#include "tests/support/fixedhostbackend.h"
#include "widgets/bannermenus.h"
#include "widgets/registerwidgets.h"
#include "widgets/scrolllabel.h"

namespace {

fw::TAppController& App() { return testapp::App(); }

class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        // Settings go to a scratch directory, never the real one.
        dir_ =
            std::filesystem::temp_directory_path() / ("rezazo-form1-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
        App();
        host_.hostName = "test-host";
        host_.resolved = std::vector<platform::Ipv4>{{10, 0, 0, 7}, {192, 168, 1, 20}};
    }
    void TearDown() override {
        if (form_) testapp::SettleProbe(*form_);  // no lookup may outlive the test backend
        form_.reset();
        std::filesystem::remove_all(dir_);
    }
    TForm1& Create() {
        form_.reset(new TForm1(nullptr));
        testapp::SettleProbe(*form_);
        return *form_;
    }
    // The window as it would show on screen, with its windowless controls.
    QImage Grab() {
        QWidget* w = form_->Handle();
        return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    std::filesystem::path dir_;
    platform::FixedHostBackend host_;
    fw::ComponentPtr<TForm1> form_;
};

TEST_F(MainWindow, OpensAtItsDesignedPlaceShowingTheAddressAndHostName) {
    platform::ScopedHostBackend use(host_);
    TForm1& f = Create();
    EXPECT_EQ(f.Left(), 227);
    EXPECT_EQ(f.Top(), 110);
    EXPECT_EQ(f.ClientWidth(), 164);
    EXPECT_EQ(f.ClientHeight(), 51);
    EXPECT_EQ(f.Caption(), "Rezazo '98");
    EXPECT_EQ(f.BorderStyle(), fw::bsNone);
    // The last address of the list is the one shown.
    EXPECT_EQ(f.Label1->Caption(), "Local IP : 192.168.1.20");
    EXPECT_EQ(f.label2->Caption(), "test-host");
    EXPECT_TRUE(f.Timer1->Enabled());
    EXPECT_EQ(f.Timer1->Interval(), 1000u);
    EXPECT_EQ(f.FormStyle(), fw::fsNormal);
    QWidget* w = f.Handle();
    EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
}

TEST_F(MainWindow, AFailedLookupShowsThePrefixAlone) {
    host_.resolved.reset();
    platform::ScopedHostBackend use(host_);
    TForm1& f = Create();
    EXPECT_EQ(f.Label1->Caption(), "Local IP : ");
    // The timer's next tick tries again.
    host_.resolved = std::vector<platform::Ipv4>{{10, 1, 2, 3}};
    f.Timer1Timer(f.Timer1);
    testapp::SettleProbe(f);
    EXPECT_EQ(f.Label1->Caption(), "Local IP : 10.1.2.3");
}

TEST_F(MainWindow, TitleDimsWhenTheApplicationIsDeactivatedAndBrightensAgain) {
    platform::ScopedHostBackend use(host_);
    TForm1& f = Create();
    fw::TBitmap bright, dim;
    f.ImageList2->GetBitmap(0, bright);
    f.ImageList2->GetBitmap(1, dim);
    ASSERT_NE(bright.Image(), dim.Image());

    auto titleMatches = [&](const fw::TBitmap& expected) {
        QImage shot = Grab();
        QImage want = expected.Image().convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 103; ++x)
                if (shot.pixel(18 + x, 3 + y) != want.pixel(x, y)) return false;
        return true;
    };
    App().SetActive(true);
    App().SetActive(false);
    EXPECT_TRUE(titleMatches(dim));
    EXPECT_FALSE(titleMatches(bright));
    App().SetActive(true);
    EXPECT_TRUE(titleMatches(bright));
}

TEST_F(MainWindow, TheIndicatorPlaysItsSixFramesFromTheFirst) {
    platform::ScopedHostBackend use(host_);
    TForm1& f = Create();
    auto* anim = dynamic_cast<gif::TGIFAnimator*>(f.GIFAnimator1);
    ASSERT_NE(anim, nullptr);
    EXPECT_TRUE(anim->Animate());
    EXPECT_EQ(anim->Image()->FrameCount(), 6);
    // The stored frame index 5 comes before the picture and has no effect.
    EXPECT_EQ(anim->FrameIndex(), 0);
    EXPECT_EQ(anim->FrameInterval(), 500u);
    f.SetCompactMode();
    EXPECT_FALSE(anim->Visible());
    f.SetCompactMode();
    EXPECT_TRUE(anim->Visible());
}

namespace {
// Records the rectangles the window is asked to paint.
struct PaintLog : QObject {
    std::vector<QRect> rects;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) rects.push_back(static_cast<QPaintEvent*>(e)->rect());
        return false;
    }
};
}  // namespace

// The indicator overlaps the marquee's last three columns: a frame change repaints the
// indicator's rectangle only, and the marquee's text there is drawn where it stands.
TEST_F(MainWindow, AnIndicatorFrameRepaintsItsOwnRectangleAndLeavesTheMarqueeStanding) {
    platform::ScopedHostBackend use(host_);
    TForm1& f = Create();
    f.Show();
    QApplication::processEvents();
    PaintLog log;
    f.Handle()->installEventFilter(&log);
    const int x = f.label2->Motion().x;
    f.GIFAnimator1->Repaint();
    EXPECT_EQ(log.rects, std::vector<QRect>{QRect(142, 23, 11, 15)});
    EXPECT_EQ(f.label2->Motion().x, x);
    log.rects.clear();
    f.label2->Repaint();
    EXPECT_EQ(log.rects, std::vector<QRect>{QRect(78, 31, 67, 13)});
    EXPECT_EQ(f.label2->Motion().x, x - 1);
    f.Handle()->removeEventFilter(&log);
}

TEST_F(MainWindow, CompactFormAndBack) {
    platform::ScopedHostBackend use(host_);
    TForm1& f = Create();
    f.SetCompactMode();
    EXPECT_TRUE(f.Compact1->Checked());
    EXPECT_EQ(f.ClientHeight(), 24);
    EXPECT_EQ(f.ClientWidth(), 164);
    EXPECT_FALSE(f.Image2->Visible());
    EXPECT_EQ(f.Label1->Left(), 22);
    EXPECT_EQ(f.Label1->Top(), 7);
    // The compact skin's artwork (rows 13-36) is what the 24-pixel window shows.
    fw::TBitmap skin;
    f.ImageList3->GetBitmap(1, skin);
    QImage shot = Grab();
    QImage want = skin.Image().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.height(), 24);
    EXPECT_EQ(shot.pixel(60, 2), want.pixel(60, 15));
    EXPECT_EQ(shot.pixel(10, 20), want.pixel(10, 33));
    f.SetCompactMode();
    EXPECT_EQ(f.ClientHeight(), 51);
    EXPECT_TRUE(f.Image2->Visible());
    EXPECT_EQ(f.Label1->Left(), 27);
    EXPECT_EQ(f.Label1->Top(), 23);
}

TEST_F(MainWindow, RefreshRateCommandsKeepOneMarkAndSetTheTimer) {
    platform::ScopedHostBackend use(host_);
    TForm1& f = Create();
    f.off1Click(nullptr);
    EXPECT_FALSE(f.Timer1->Enabled());
    EXPECT_TRUE(f.off1->Checked());
    EXPECT_FALSE(f.N1sec1->Checked());
    f.Onceaminute1Click(nullptr);
    EXPECT_TRUE(f.Timer1->Enabled());
    EXPECT_EQ(f.Timer1->Interval(), 60000u);
    EXPECT_FALSE(f.off1->Checked());
    host_.hostName = "renamed";
    f.RefreshNow1Click(nullptr);
    testapp::SettleProbe(f);
    EXPECT_EQ(f.label2->Caption(), "renamed");
    EXPECT_TRUE(f.Onceaminute1->Checked());
    EXPECT_FALSE(f.RefreshNow1->Checked());
}

TEST_F(MainWindow, AlwaysOnTopTwiceReturnsToTheNormalStyle) {
    platform::ScopedHostBackend use(host_);
    TForm1& f = Create();
    f.AlwaysOnTop1Click(nullptr);
    EXPECT_EQ(f.FormStyle(), fw::fsStayOnTop);
    EXPECT_TRUE(f.Handle()->windowFlags() & Qt::WindowStaysOnTopHint);
    f.AlwaysOnTop1Click(nullptr);
    EXPECT_EQ(f.FormStyle(), fw::fsNormal);
    EXPECT_FALSE(f.AlwaysOnTop1->Checked());
}

TEST_F(MainWindow, ScrollStepStaysWithinAByteWithoutWrapping) {
    platform::ScopedHostBackend use(host_);
    TForm1& f = Create();
    f.Decreasespeed1Click(nullptr);
    EXPECT_EQ(f.label2->ScrollBy(), 0);
    f.Decreasespeed1Click(nullptr);
    EXPECT_EQ(f.label2->ScrollBy(), 0);
    f.Increasespeed1Click(nullptr);
    EXPECT_EQ(f.label2->ScrollBy(), 1);
    f.label2->SetScrollBy(255);
    f.Increasespeed1Click(nullptr);
    EXPECT_EQ(f.label2->ScrollBy(), 255);
    f.Decreasespeed1Click(nullptr);
    EXPECT_EQ(f.label2->ScrollBy(), 254);
}

TEST_F(MainWindow, SavesTheWorkedSettingsByteForByte) {
    platform::ScopedHostBackend use(host_);
    TForm1& f = Create();
    f.Onceaminute1Click(nullptr);
    auto* store = dynamic_cast<settings::TPropertyStore*>(f.FindComponent("PropertyStore1"));
    ASSERT_NE(store, nullptr);
    store->Save();
    std::ifstream in(dir_ / "rezazo" / "rezazo.ini", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(),
              "[TForm1]\n"
              "Form1.Left=227\n"
              "Form1.Top=110\n"
              "Form1.Position=poDesigned\n"
              "Label1.Font.Color=clBlack\n"
              "Label1.Font.Height=-8\n"
              "Label1.Font.Name=''Small Fonts''\n"
              "Label1.Font.Style=[]\n"
              "N1sec1.Checked=False\n"
              "Onceaminute1.Checked=True\n"
              "off1.Checked=False\n"
              "Compact1.Checked=False\n"
              "AlwaysOnTop1.Checked=False\n"
              "Snaptoedge1.Checked=True\n"
              "Timer1.Interval=60000\n"
              "FontDialog1.Font.Color=clWindowText\n"
              "FontDialog1.Font.Height=-11\n"
              "FontDialog1.Font.Name=''MS Sans Serif''\n"
              "FontDialog1.Font.Style=[]\n");
}

TEST_F(MainWindow, ItsComponentTextListsEveryNamedComponentOnce) {
    platform::ScopedHostBackend use(host_);
    TForm1& f = Create();
    std::string text = fw::WriteComponentText(f);
    EXPECT_EQ(text.rfind("object Form1: TForm1\n", 0), 0u);
    for (const char* block :
         {"  object label2: TScrollLabel\n", "  object Timer1: TTimer\n",
          "      object N1sec1: TMenuItem\n", "  object PropertyStore1: TPropertyStore\n"})
        EXPECT_NE(text.find(block), std::string::npos) << block;
    // The marquee's own timer has no name and is not written: reading the text back must
    // not make a second one.
    EXPECT_EQ(text.find("object TTimer"), std::string::npos);
}

TEST_F(MainWindow, RestoredSettingsAreInForceBeforeTheCreationHandler) {
    std::filesystem::create_directories(dir_ / "rezazo");
    std::ofstream(dir_ / "rezazo" / "rezazo.ini")
        << "[TForm1]\nForm1.Left=300\nForm1.Top=200\nN1sec1.Checked=False\n"
           "Onceaminute1.Checked=True\nCompact1.Checked=True\nLabel1.Font.Style=[fsBold]\n";
    platform::ScopedHostBackend use(host_);
    TForm1& f = Create();
    EXPECT_EQ(f.Left(), 300);
    EXPECT_EQ(f.Top(), 200);
    EXPECT_TRUE(f.Timer1->Enabled());
    EXPECT_EQ(f.Timer1->Interval(), 60000u);
    EXPECT_EQ(f.ClientHeight(), 24);
    EXPECT_FALSE(f.Image2->Visible());
    EXPECT_EQ(f.Label1->Font()->Style(), fw::fsBold);
}

// The menus through their decorators.

// Runs keys in the menu the next Popup opens (they arrive once its loop runs).
void KeysInNextMenu(std::vector<std::pair<int, std::string>> keys) {
    QTimer::singleShot(0, [keys] {
        fw::TMenuTracker* t = fw::TMenuTracker::Current();
        ASSERT_NE(t, nullptr);
        for (const auto& [key, text] : keys) t->KeyPress(key, QString::fromStdString(text));
        if (t->Active()) t->Cancel();
    });
}

TEST_F(MainWindow, ThreeDecoratorsWithTheirSettingsDrawTheThreeMenus) {
    platform::ScopedHostBackend use(host_);
    TForm1& f = Create();
    struct Expect {
        const char* name;
        fw::TPopupMenu* menu;
        const char* text;
        int width;
        fw::TColor fontColor, endColor;
        int colors;
    } expect[] = {
        {"PopupDecorator1", f.PopupMenu1, "Rezazo '98", 13, fw::clWhite, 12636341, 40},
        {"PopupDecorator2", f.PopupMenu2, "Hostname options", 14, 12636341, fw::clActiveCaption, 1},
        {"PopupDecorator3", f.PopupMenu3, "IP Options", 13, 12636341, fw::clActiveCaption, 1},
    };
    for (const Expect& e : expect) {
        auto* d = dynamic_cast<ctl::TPopupDecorator*>(f.FindComponent(e.name));
        ASSERT_NE(d, nullptr) << e.name;
        EXPECT_EQ(d->PopupMenu(), e.menu);
        EXPECT_TRUE(d->Banner());
        EXPECT_EQ(d->BannerText(), e.text);
        EXPECT_EQ(d->BannerWidth(), e.width);
        EXPECT_EQ(d->BannerFont()->Name(), "Arial");
        EXPECT_EQ(d->BannerFont()->Height(), -11);
        EXPECT_EQ(d->BannerFont()->Style(), fw::fsBold);
        EXPECT_EQ(d->BannerFont()->Color(), e.fontColor);
        EXPECT_EQ(d->BannerColor(), fw::clBlack);
        EXPECT_EQ(d->BannerEndColor(), e.endColor);
        EXPECT_EQ(d->BannerNumColors(), e.colors);
        EXPECT_EQ(d->BannerJustification(), ctl::bjCenter);
        EXPECT_EQ(d->BannerSeparator(), '|');
        EXPECT_EQ(d->Font()->Name(), "Small Fonts");
        EXPECT_EQ(d->Font()->Height(), -9);
        EXPECT_EQ(d->Font()->Color(), fw::clBlack);
        EXPECT_EQ(d->HiliteFont()->Name(), "Small Fonts");
        EXPECT_EQ(d->HiliteFont()->Color(), 9941381u);
        EXPECT_EQ(d->Brush()->Color(), fw::clBtnFace);
        EXPECT_EQ(d->HiliteBar(), fw::clBtnFace);
        EXPECT_FALSE(d->DefaultFont());
        EXPECT_EQ(d->ItemHeight(), 0);
        EXPECT_EQ(d->ItemWidth(), 0);
        // Every item but the plain separators is owner-drawn by its decorator.
        std::function<void(fw::TMenuItem*)> check = [&](fw::TMenuItem* parent) {
            for (int i = 0; i < parent->Count(); ++i) {
                fw::TMenuItem* item = parent->Items(i);
                unsigned type = 0;
                ASSERT_TRUE(fw::GetMenuItemType(e.menu->Handle(), item->Command(), false, type));
                EXPECT_EQ((type & fw::MFT_OWNERDRAW) != 0, item->Caption() != "-") << item->Name();
                check(item);
            }
        };
        check(e.menu->Items());
    }
}

TEST_F(MainWindow, CommandsRunThroughTheDecoratedSystemMenu) {
    platform::ScopedHostBackend use(host_);
    TForm1& f = Create();
    // Access keys of owner-drawn items: s(ettings), a(ppearance), a(lways on top).
    KeysInNextMenu({{'S', "s"}, {'A', "a"}, {'A', "a"}});
    f.PopupMenu1->Popup(f.Left() + 2, f.Top() + 2);
    EXPECT_TRUE(f.AlwaysOnTop1->Checked());
    EXPECT_EQ(f.FormStyle(), fw::fsStayOnTop);

    // Opening "Refresh rate" without choosing refreshes the display once. Its letter is
    // also "Change fonts"': it is highlighted, and Return opens it.
    int before = host_.nameQueries;
    KeysInNextMenu({{'S', "s"}, {'F', "f"}, {Qt::Key_Return, ""}});
    f.PopupMenu1->Popup(f.Left() + 2, f.Top() + 2);
    testapp::SettleProbe(f);
    EXPECT_EQ(host_.nameQueries - before, 1);  // one lookup of the name and its address

    // "Off" then "Every minute" by arrow keys.
    KeysInNextMenu(
        {{'S', "s"}, {'F', "f"}, {Qt::Key_Right, ""}, {Qt::Key_End, ""}, {Qt::Key_Return, ""}});
    f.PopupMenu1->Popup(f.Left() + 2, f.Top() + 2);
    EXPECT_TRUE(f.off1->Checked());
    EXPECT_FALSE(f.Timer1->Enabled());
    KeysInNextMenu({{'S', "s"}, {'F', "f"}, {Qt::Key_Return, ""}, {'M', "m"}});
    f.PopupMenu1->Popup(f.Left() + 2, f.Top() + 2);
    EXPECT_TRUE(f.Onceaminute1->Checked());
    EXPECT_FALSE(f.off1->Checked());
    EXPECT_EQ(f.Timer1->Interval(), 60000u);

    // The IP and host-name menus: decrease the speed at 0 keeps 0.
    f.label2->SetScrollBy(0);
    KeysInNextMenu({{'D', "d"}});
    f.PopupMenu2->Popup(300, 200);
    EXPECT_EQ(f.label2->ScrollBy(), 0);
    // "Change font" in the IP menu shows the IP label's font; Cancel changes nothing.
    std::string shown;
    fw::TFontDialog::SetRunner([&](fw::TFontDialog& d) {
        shown = d.Font()->Name() + "/" + std::to_string(d.Font()->Height());
        return false;
    });
    KeysInNextMenu({{'F', "f"}});
    f.PopupMenu3->Popup(300, 200);
    EXPECT_EQ(shown, "Small Fonts/-8");
    // So does "IP Font" in the system menu, reached by the second f of Settings: the first
    // is "Refresh rate"'s, highlighted already as the submenu opens.
    shown.clear();
    KeysInNextMenu({{'S', "s"}, {'F', "f"}, {'F', "f"}, {Qt::Key_Return, ""}, {'I', "i"}});
    f.PopupMenu1->Popup(f.Left() + 2, f.Top() + 2);
    fw::TFontDialog::SetRunner(nullptr);
    EXPECT_EQ(shown, "Small Fonts/-8");
}

// The path of the old start-up crash, with nothing stood in: a damaged file, the store's
// real reporter and a real message box, answered here. No modal loop may run while the
// window loads (its timer would reach the window before its creation handler): the box
// comes once the loop runs, once, naming the file and every skipped key, and the sound keys
// are in force.
TEST_F(MainWindow, DamagedSettingsShowOneRealMessageOnceTheLoopRuns) {
    std::filesystem::create_directories(dir_ / "rezazo");
    const std::string ini = (dir_ / "rezazo" / "rezazo.ini").string();
    std::ofstream(ini) << "[TForm1]\nForm1.Left=300\nLabel1.Font.Height=abc\nForm1.Top=200\n"
                          "Snaptoedge1.Checked=Maybe\nN1sec1.Nothing=1\nForm1.Left({=1\n";
    platform::ScopedHostBackend use(host_);
    std::vector<std::string> shown;
    bool createdFirst = false;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        shown.push_back(box->text().toStdString());
        // The creation handler has run (it asked for the first refresh) before the box showed.
        createdFirst = form_ && form_->Probe().Started() >= 1;
        box->done(QMessageBox::Ok);
    });
    answer.start(5);
    form_.reset(new TForm1(nullptr));  // no events handled until the checks below
    TForm1& f = *form_;
    EXPECT_TRUE(shown.empty()) << "a message box ran while the window loaded";
    EXPECT_EQ(f.Left(), 300);
    EXPECT_EQ(f.Top(), 200);
    EXPECT_TRUE(f.Snaptoedge1->Checked());
    for (int i = 0; i < 2000 && shown.empty(); ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    for (int i = 0; i < 20; ++i) QApplication::processEvents(QEventLoop::AllEvents, 5);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(createdFirst);
    for (const char* part :
         {ini.c_str(), "Label1.Font.Height (line 3)", "Snaptoedge1.Checked (line 5)",
          "N1sec1.Nothing (line 6)", "Form1.Left({ (line 7)"})
        EXPECT_NE(shown[0].find(part), std::string::npos) << part << " in " << shown[0];
    EXPECT_EQ(shown[0].find("object "), std::string::npos) << shown[0];
}

// A timer tick or any handler that can come before the creation handler finds the window's
// fields bound: they are bound while the window loads, before any end-of-loading step.
TEST_F(MainWindow, FieldsAreBoundBeforeEveryEndOfLoadingStep) {
    platform::ScopedHostBackend use(host_);
    TForm1& f = Create();
    for (fw::TComponent* field : std::initializer_list<fw::TComponent*>{
             f.Image1,      f.Image2,     f.Image3,       f.Image4,       f.Image5,
             f.Label1,      f.Label3,     f.label2,       f.GIFAnimator1, f.Timer1,
             f.FontDialog1, f.ImageList1, f.ImageList2,   f.ImageList3,   f.PopupMenu1,
             f.PopupMenu2,  f.PopupMenu3, f.RefreshNow1,  f.N1sec1,       f.Onceaminute1,
             f.off1,        f.Compact1,   f.AlwaysOnTop1, f.Snaptoedge1})
        ASSERT_NE(field, nullptr);
    // A window whose description lacks a field's component, or has it of another class,
    // fails to load, naming the component (and the class it has).
    struct TBroken : fw::TForm {
        explicit TBroken(fw::TComponent* o) : fw::TForm(o) { RegisterField("Timer1", timer); }
        fw::TTimer* timer = nullptr;
    };
    for (auto [text, says] :
         {std::pair{"object Broken: TForm\nend\n", "Timer1 not found"},
          {"object Broken: TForm\n  object Timer1: TLabel\n  end\nend\n", "Timer1 is a TLabel"}}) {
        fw::ComponentPtr<TBroken> broken(new TBroken(nullptr));
        try {
            fw::ReadRootComponent(*broken, text);
            ADD_FAILURE() << "loaded with its field unbound: " << text;
        } catch (const fw::EReadError& e) {
            EXPECT_NE(std::string(e.what()).find(says), std::string::npos) << e.what();
        }
    }
}

}  // namespace
