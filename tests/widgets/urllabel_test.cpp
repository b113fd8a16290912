// The hyperlink label: how an address sets its kind and loses its prefix, the caption and
// hint it gives, when a click opens it, the look it draws with, and reading it from a
// description in its stored order.
#include "widgets/urllabel.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include "controls_testsupport.h"
#include "framework/controls/cursors.h"
#include "framework/controls/forms.h"
#include "framework/text/componenttext.h"
#include "platform/links.h"

using namespace ctl;
using fw::ComponentPtr;
using fw::TForm;

namespace {

class FakeLinks : public platform::LinkBackend {
  public:
    bool HandlerAvailable(platform::LinkKind kind) override {
        checks.push_back(kind);
        return available;
    }
    void Open(const std::string& url) override { opened.push_back(url); }

    bool available = false;
    std::vector<platform::LinkKind> checks;
    std::vector<std::string> opened;
};

class URLLabelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ctltest::EnsureApp();
        form_.reset(new TForm(nullptr));
        form_->SetBounds(0, 0, 200, 40);
        form_->SetColor(fw::clWhite);
    }
    TURLLabel* Add() {
        auto* l = new TURLLabel(form_.get());
        l->SetParent(form_.get());
        l->SetBounds(4, 4, 150, 16);
        return l;
    }
    void ClickOn(TURLLabel* l) {
        const fw::TPoint at{l->Left() + 2, l->Top() + 2};
        fw::TMessage down{fw::WM_LBUTTONDOWN, fw::TMouseData{at, fw::ssLeft}};
        fw::TMessage up{fw::WM_LBUTTONUP, fw::TMouseData{at, 0}};
        form_->DispatchMouse(down);
        form_->DispatchMouse(up);
    }
    QImage Grab() {
        return form_->Handle()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    static int Count(const QImage& img, QRgb colour) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                n += (img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
        return n;
    }

    FakeLinks links_;
    platform::ScopedLinkBackend use_{links_};
    ComponentPtr<TForm> form_;
};

TEST_F(URLLabelTest, StartsAsAWebPlaceholderCheckedForABrowser) {
    TURLLabel* l = Add();
    ASSERT_EQ(links_.checks.size(), 1u);
    EXPECT_EQ(links_.checks[0], platform::LinkKind::Http);
    EXPECT_EQ(l->URL(), kPlaceholderWebAddress);
    EXPECT_EQ(l->LinkType(), http);
    EXPECT_EQ(l->Caption(), kPlaceholderWebAddress);
    EXPECT_EQ(l->Hint(), "") << "URLAsHint is set as a field only";
    EXPECT_TRUE(l->URLAsHint());
    EXPECT_FALSE(l->ShowAccelChar());
    EXPECT_EQ(l->LinkFont()->Color(), fw::clBlue);
    EXPECT_TRUE(l->LinkFont()->Style() & fw::fsUnderline);
    EXPECT_FALSE(l->LinkState()) << "Auto without a handler";
    EXPECT_EQ(l->Cursor(), fw::crDefault);
}

TEST_F(URLLabelTest, PrefixesAreStrippedInAnyCaseAndTheKindFollowsAtAndSlash) {
    TURLLabel* l = Add();
    struct Case {
        const char* value;
        const char* stored;
        TURLLinkType type;
    } cases[] = {
        {"HtTp://Host.Example/x", "Host.Example/x", http},
        {"MAILTO:me@host.example", "me@host.example", mailto},    // "@", no "/"
        {"http://me@host.example", "me@host.example", http},      // the prefix's slashes count
        {"mailto:list@host/archive", "list@host/archive", http},  // "/" is tested last
        {"me@host/x", "me@host/x", http},
        {"ftp:/x", "ftp:/x", http},
        {"mailtO", "mailtO", http},  // too short for a prefix; the kind stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        l->SetURL(c.value);
        EXPECT_EQ(l->URL(), c.stored);
        EXPECT_EQ(l->LinkType(), c.type);
    }
    EXPECT_EQ(links_.checks.size(), 1u) << "a URL's kind is set without a handler check";
}

TEST_F(URLLabelTest, HintShowsThePrefixAndAnExplicitCaptionStays) {
    TURLLabel* l = Add();
    l->SetURLAsHint(false);
    l->SetURLAsHint(true);
    l->SetShowPrefix(true);
    l->SetURL("me@host.example");
    EXPECT_EQ(l->Hint(), "mailto:me@host.example");
    EXPECT_EQ(l->Caption(), "mailto:me@host.example");
    l->SetCaption("Write to us");
    l->SetURL("you@host.example");
    EXPECT_EQ(l->Hint(), "mailto:you@host.example");
    EXPECT_EQ(l->Caption(), "Write to us");
    l->SetURLAsHint(false);
    EXPECT_EQ(l->Hint(), "");
}

TEST_F(URLLabelTest, LinkTypeChecksAgainAndSwapsOnlyPlaceholders) {
    TURLLabel* l = Add();
    l->SetLinkType(mailto);
    ASSERT_EQ(links_.checks.size(), 2u);
    EXPECT_EQ(links_.checks[1], platform::LinkKind::Mailto);
    EXPECT_EQ(l->URL(), kPlaceholderMailAddress);
    l->SetLinkType(http);
    EXPECT_EQ(l->URL(), kPlaceholderWebAddress);
    l->SetLinkType(http);
    EXPECT_EQ(links_.checks.size(), 3u) << "an unchanged kind checks nothing";
    l->SetURL("host.example");
    l->SetLinkType(mailto);
    EXPECT_EQ(l->URL(), "host.example") << "a real address is not swapped";
    EXPECT_EQ(l->Target(), "mailto:host.example");
}

TEST_F(URLLabelTest, PassiveNeverOpensLinkAlwaysDoesAutoOnlyWithAHandler) {
    TURLLabel* l = Add();
    int clicks = 0;
    l->OnClick.Set([&](fw::TPropertyObject*) { ++clicks; });
    l->SetURL("host.example/page");
    l->SetLabelType(Passive);
    ClickOn(l);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(links_.opened.empty());

    l->SetLabelType(Auto);  // no handler was found
    ClickOn(l);
    EXPECT_TRUE(links_.opened.empty());

    l->SetLabelType(Link);
    ClickOn(l);
    ASSERT_EQ(links_.opened.size(), 1u) << "Link opens even without a handler";
    EXPECT_EQ(links_.opened[0], "http://host.example/page");
    EXPECT_EQ(clicks, 3);

    links_.available = true;
    auto* withHandler = Add();
    withHandler->SetURL("me@host.example");
    withHandler->SetLinkType(mailto);  // already mailto: no check, no change
    ClickOn(withHandler);
    ASSERT_EQ(links_.opened.size(), 2u) << "Auto with a handler found at creation";
    EXPECT_EQ(links_.opened[1], "mailto:me@host.example");
}

TEST_F(URLLabelTest, ASecureAddressKeepsItsOwnScheme) {
    TURLLabel* l = Add();
    l->SetLabelType(Link);
    l->SetURL("HTTPS://host.example/");
    EXPECT_EQ(l->LinkType(), http);
    EXPECT_EQ(l->Target(), "HTTPS://host.example/");
    l->SetShowPrefix(true);
    EXPECT_EQ(l->LinkText(), "HTTPS://host.example/");
}

TEST_F(URLLabelTest, TheLookFollowsTheStateAndLinkFontOnlyAtTheNextTypeChange) {
    TURLLabel* l = Add();
    l->SetCaption("WWWWWWWW");
    l->SetLabelType(Link);
    EXPECT_EQ(l->Cursor(), crHandCursor);
    const QRgb blue = qRgb(0, 0, 255), red = qRgb(255, 0, 0);
    EXPECT_GT(Count(Grab(), blue), 0) << "drawn with the link font";

    l->LinkFont()->SetColor(fw::clRed);
    QImage still = Grab();
    EXPECT_GT(Count(still, blue), 0);
    EXPECT_EQ(Count(still, red), 0) << "a changed link font shows only after a type change";

    l->SetLabelType(Passive);
    EXPECT_EQ(l->Cursor(), fw::crDefault);
    EXPECT_EQ(Count(Grab(), blue), 0);
    l->SetLabelType(Link);
    EXPECT_GT(Count(Grab(), red), 0);
}

TEST_F(URLLabelTest, TheHandIsATwoColourCursorWithItsHotSpotAtTheCorner) {
    Add();
    fw::TCursorInfo hand = fw::ScreenCursorInfo(crHandCursor);
    ASSERT_TRUE(hand.bitmap);
    EXPECT_EQ(hand.width, 32);
    EXPECT_EQ(hand.height, 32);
    EXPECT_EQ(hand.hotSpot, (fw::TPoint{0, 0}));
    int black = 0, white = 0;
    for (char c : hand.pixels) {
        black += c == 'B';
        white += c == 'W';
    }
    EXPECT_GT(black, 30);
    EXPECT_GT(white, 60);
    EXPECT_GT(std::count(hand.pixels.begin(), hand.pixels.end(), ' '), 32 * 32 / 2);
    // The fingertip touches the hot spot's corner.
    EXPECT_NE(hand.pixels.substr(0, 6).find_first_not_of(' '), std::string::npos);
}

TEST_F(URLLabelTest, ADescriptionSetsThePropertiesInItsOrder) {
    const char* text =
        "object Form1: TForm\n"
        "  object URLLabel1: TURLLabel\n"
        "    Left = 8\n"
        "    Top = 8\n"
        "    LinkFont.Color = 10196356\n"
        "    LinkFont.Height = -9\n"
        "    LinkFont.Name = 'Arial'\n"
        "    LinkFont.Style = [fsUnderline]\n"
        "    PassiveFont.Color = 10196356\n"
        "    PassiveFont.Height = -9\n"
        "    PassiveFont.Name = 'Arial'\n"
        "    Caption = 'mail us'\n"
        "    URL = 'mailto:us@host.example'\n"
        "    URLAsHint = True\n"
        "    ShowPrefix = True\n"
        "    LabelType = Link\n"
        "    LinkType = mailto\n"
        "  end\n"
        "end\n";
    ComponentPtr<TForm> form(new TForm(nullptr));
    links_.checks.clear();
    fw::ReadRootComponent(*form, text);
    auto* l = dynamic_cast<TURLLabel*>(form->FindComponent("URLLabel1"));
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->Caption(), "mail us");
    EXPECT_EQ(l->URL(), "us@host.example");
    EXPECT_EQ(l->LinkType(), mailto);
    EXPECT_EQ(l->Hint(), "mailto:us@host.example");
    EXPECT_EQ(l->Font()->Color(), 10196356u);
    EXPECT_EQ(l->Font()->Height(), -9);
    EXPECT_TRUE(l->Font()->Style() & fw::fsUnderline);
    EXPECT_EQ(links_.checks.size(), 1u) << "LinkType found the kind already set by URL";
}

}  // namespace
