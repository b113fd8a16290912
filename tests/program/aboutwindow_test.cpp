// The About window loaded from its description on the offscreen platform: its layout,
// the texts kept in program/, showing and hiding, the drag without snapping, the typed history
// kept while running, and its background and frame on grabbed pixels.
#include "program/aboutwindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QPlainTextEdit>
#include <QWidget>
#include <set>

#include "framework/app/application.h"
#include "framework/controls/imagepanel.h"
#include "framework/controls/labels.h"
#include "framework/controls/memo.h"
#include "framework/graphics/qtgraphics.h"
#include "platform/links.h"
#include "program/about.h"
#include "program/mainwindow.h"
#include "tests/program/app_support.h"
#include "widgets/shadowlabel.h"
#include "widgets/tiledbitmap.h"
#include "widgets/urllabel.h"

namespace {

class RecordingLinks : public platform::LinkBackend {
  public:
    bool HandlerAvailable(platform::LinkKind) override { return false; }
    void Open(const std::string& url) override { opened.push_back(url); }
    std::vector<std::string> opened;
};

void EnsureApp() { testapp::App(); }

class AboutWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApp();
        form_.reset(new TForm3(nullptr));
        Form3 = form_.get();
    }
    void TearDown() override { form_.reset(); }
    template <class T>
    T* Find(const char* name) {
        return dynamic_cast<T*>(form_->FindComponent(name));
    }
    void Send(fw::TWinControl& target, unsigned msg, unsigned shift, int x, int y) {
        fw::TMessage m{msg, fw::TMouseData{{x, y}, shift}};
        target.DispatchMouse(m);
    }
    QImage Grab() {
        return form_->Handle()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    RecordingLinks links_;
    platform::ScopedLinkBackend use_{links_};
    fw::ComponentPtr<TForm3> form_;
};

TEST_F(AboutWindow, IsMadeHiddenWithItsDesignedLayout) {
    TForm3& f = *form_;
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(f.BorderStyle(), fw::bsNone);
    EXPECT_EQ(f.Left(), 230);
    EXPECT_EQ(f.Top(), 191);
    EXPECT_EQ(f.ClientWidth(), 314);
    EXPECT_EQ(f.ClientHeight(), 152);
    auto* tiles = Find<ctl::TTiledBitmap>("TiledBitmap1");
    ASSERT_NE(tiles, nullptr);
    EXPECT_EQ(tiles->BitMap()->Width(), 64);
    EXPECT_EQ(tiles->BitMap()->Height(), 64);
    EXPECT_EQ(tiles->BitMap()->PixelFormat(), fw::pf8bit);
    const QImage tile = tiles->BitMap()->ToRGBImage();
    std::set<QRgb> colours;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) colours.insert(tile.pixel(x, y));
    EXPECT_EQ(colours.size(), 25u);
    EXPECT_EQ(Find<fw::TLabel>("Label2")->Caption(), "Version 1.82 - For X11");
    EXPECT_EQ(Find<fw::TLabel>("Label3")->Caption(),
              "Official homepage with latest\r\nversion and information :");
    EXPECT_EQ(Find<fw::TLabel>("Label4")->Caption(), app::kCopyrightNotice);
    EXPECT_EQ(f.Panel1->BoundsRect(), fw::Bounds(0, 0, 313, 16));
    EXPECT_EQ(f.Panel1->Color(), 12503724u);
    EXPECT_EQ(f.ShadowLabel1->Caption(), "X");
    EXPECT_EQ(f.ShadowLabel2->Caption(), "About Rezazo '98");
    for (const char* groove : {"Panel5", "Panel3", "Panel4"}) {
        auto* p = Find<fw::TPanel>(groove);
        ASSERT_NE(p, nullptr) << groove;
        EXPECT_EQ(p->Parent(), f.Panel1);
        EXPECT_EQ(p->BevelInner(), fw::bvLowered);
        EXPECT_EQ(p->BevelOuter(), fw::bvNone);
    }
    ASSERT_NE(f.SnapToEdge1, nullptr);
    EXPECT_FALSE(f.SnapToEdge1->Visible());
    EXPECT_FALSE(f.SnapToEdge1->Checked());
}

TEST_F(AboutWindow, LinksOpenTheProjectsAddresses) {
    TForm3& f = *form_;
    EXPECT_EQ(f.URLLabel1->Caption(), app::kHomePage);
    EXPECT_EQ(f.URLLabel1->Hint(), app::kHomePage);
    EXPECT_EQ(f.URLLabel1->LinkType(), ctl::http);
    EXPECT_EQ(f.URLLabel2->Caption(), app::kFeedbackAddress);
    EXPECT_EQ(f.URLLabel2->LinkType(), ctl::mailto);
    EXPECT_EQ(f.URLLabel2->Hint(), app::kFeedbackAddress);
    for (ctl::TURLLabel* l : {f.URLLabel1, f.URLLabel2}) {
        EXPECT_EQ(l->Cursor(), ctl::crHandCursor);
        EXPECT_EQ(l->Font()->Height(), -9);
        EXPECT_EQ(l->Font()->Color(), 10196356u);
        Send(f, fw::WM_LBUTTONDOWN, fw::ssLeft, l->Left() + 3, l->Top() + 3);
        Send(f, fw::WM_LBUTTONUP, 0, l->Left() + 3, l->Top() + 3);
    }
    ASSERT_EQ(links_.opened.size(), 2u);
    EXPECT_EQ(links_.opened[0], app::kHomePage);
    EXPECT_EQ(links_.opened[1], std::string("mailto:") + app::kFeedbackAddress);
}

TEST_F(AboutWindow, DraggingByTitleTextOrGrooveNeverSnaps) {
    TForm3& f = *form_;
    f.Show();
    // By the title text: 100 left and 170 up puts the top at 21, well inside the snap
    // distance of the screen's edge.
    fw::TPanel& strip = *f.Panel1;
    Send(strip, fw::WM_LBUTTONDOWN, fw::ssLeft, 20, 7);
    Send(strip, fw::WM_MOUSEMOVE, fw::ssLeft, -80, -163);
    Send(strip, fw::WM_LBUTTONUP, 0, -80, -163);
    EXPECT_EQ(f.Left(), 130);
    EXPECT_EQ(f.Top(), 21);
    // By a groove (a windowed panel of its own): the same rule.
    auto* groove = Find<fw::TPanel>("Panel3");
    Send(*groove, fw::WM_LBUTTONDOWN, fw::ssLeft, 5, 1);
    Send(*groove, fw::WM_MOUSEMOVE, fw::ssLeft, -120, 1);
    Send(*groove, fw::WM_LBUTTONUP, 0, -120, 1);
    EXPECT_EQ(f.Left(), 5);
    EXPECT_EQ(f.Top(), 21);
    // A right-button press starts nothing.
    Send(strip, fw::WM_RBUTTONDOWN, fw::ssRight, 20, 7);
    Send(strip, fw::WM_MOUSEMOVE, fw::ssRight, 60, 50);
    Send(strip, fw::WM_RBUTTONUP, 0, 60, 50);
    EXPECT_EQ(f.Left(), 5);
    f.Hide();
}

TEST_F(AboutWindow, AboutShowsItWhereItWasLeftAndXHidesIt) {
    EnsureApp();
    TForm3& f = *form_;
    TForm1 main(nullptr);
    main.About1Click(nullptr);
    EXPECT_TRUE(f.Visible());
    f.SetBounds(300, 40, f.Width(), f.Height());
    main.About1Click(nullptr);
    EXPECT_EQ(f.Left(), 300);
    EXPECT_EQ(f.Top(), 40);

    // Typing into the history, then "X" and "&About..." again.
    auto* edit = static_cast<QPlainTextEdit*>(f.Memo1->Handle());
    edit->moveCursor(QTextCursor::Start);
    edit->insertPlainText("typed line\n");
    fw::TPanel& strip = *f.Panel1;
    const int x = f.ShadowLabel1->Left() + 2, y = f.ShadowLabel1->Top() + 2;
    Send(strip, fw::WM_LBUTTONDOWN, fw::ssLeft, x, y);
    Send(strip, fw::WM_LBUTTONUP, 0, x, y);
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(Form3, &f) << "hidden, not freed";
    main.About1Click(nullptr);
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(f.Memo1->Lines().front(), "typed line");
    EXPECT_EQ(f.Memo1->Lines().size(), app::VersionHistory().size() + 1);
    f.Hide();
    main.Image1->SetVisible(false);  // nothing of the main window is needed further
}

TEST_F(AboutWindow, IsMadeOnFirstAskingAndKeptAfterwards) {
    TForm1 main(nullptr);
    Form3 = nullptr;
    main.About1Click(nullptr);
    ASSERT_NE(Form3, nullptr);
    fw::ComponentPtr<TForm3> made(Form3);
    EXPECT_NE(made.get(), form_.get());
    EXPECT_TRUE(made->Visible());
    EXPECT_EQ(made->Memo1->Lines(), app::VersionHistory());
    made->Hide();
    main.About1Click(nullptr);
    EXPECT_EQ(Form3, made.get()) << "hidden, then shown again, not made twice";
    made->Hide();
    made.reset();
    EXPECT_EQ(Form3, nullptr);
    main.Image1->SetVisible(false);
}

TEST_F(AboutWindow, HistoryBoxUsesItsDesignedFontAndColours) {
    TForm3& f = *form_;
    ASSERT_NE(f.Memo1, nullptr);
    EXPECT_EQ(f.Memo1->Lines(), app::VersionHistory());
    EXPECT_FALSE(f.Memo1->ReadOnly());
    EXPECT_EQ(f.Memo1->ScrollBars(), fw::ssVertical);
    auto* edit = static_cast<QPlainTextEdit*>(f.Memo1->Handle());
    EXPECT_EQ(QFontInfo(edit->font()).pixelSize(), 9);
    EXPECT_EQ(edit->palette().color(QPalette::Base).rgb() & 0xFFFFFF,
              qRgb(185, 210, 200) & 0xFFFFFF);
}

TEST_F(AboutWindow, BackgroundTilesUnderARaisedFrame) {
    TForm3& f = *form_;
    QImage shot = Grab();
    auto rgb = [](fw::TColor c) {
        fw::TColor v = fw::ColorToRGB(c);
        return qRgb(fw::GetRValue(v), fw::GetGValue(v), fw::GetBValue(v)) & 0xFFFFFF;
    };
    EXPECT_EQ(shot.pixel(0, 100) & 0xFFFFFF, rgb(fw::clBtnHighlight)) << "raised: light left edge";
    EXPECT_EQ(shot.pixel(313, 100) & 0xFFFFFF, rgb(fw::clBtnShadow)) << "dark right edge";
    EXPECT_EQ(shot.pixel(100, 151) & 0xFFFFFF, rgb(fw::clBtnShadow)) << "dark bottom edge";
    const QImage tile = Find<ctl::TTiledBitmap>("TiledBitmap1")->BitMap()->ToRGBImage();
    for (auto [x, y] : {std::pair{138, 95}, {136, 131}, {3, 90}}) {
        EXPECT_EQ(shot.pixel(x, y) & 0xFFFFFF, tile.pixel(x % 64, y % 64) & 0xFFFFFF)
            << x << "," << y;
    }
    // The grooves: a shadow line over a highlight line across the strip.
    EXPECT_EQ(shot.pixel(150, 7) & 0xFFFFFF, rgb(fw::clBtnShadow));
    EXPECT_EQ(shot.pixel(150, 8) & 0xFFFFFF, rgb(fw::clBtnHighlight));
    (void)f;
}

}  // namespace
