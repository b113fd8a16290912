// The main window's commands as a user reaches them: menu items clicked (their handlers
// bound by name from the description), the font dialog answered, the clipboard read back,
// and the skin, title and close glyph driven with the mouse.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <optional>

#include "framework/app/fontdialog.h"
#include "framework/controls/screen.h"
#include "framework/graphics/clipboard.h"
#include "framework/graphics/qtgraphics.h"
#include "program/mainwindow.h"
#include "tests/program/app_support.h"
#include "tests/support/fixedhostbackend.h"
#include "tests/support/tempdir.h"
#include "widgets/scrolllabel.h"

using namespace testapp;

namespace {

struct Shown {
    std::string name;
    int height;
};

class MainWindowCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir_.path().empty());
        if (const char* old = getenv("XDG_CONFIG_HOME")) oldXdg_ = old;
        setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);
        App();
        host_.hostName = "test-host";
        host_.resolved = std::vector<platform::Ipv4>{{10, 0, 0, 7}, {192, 168, 1, 20}};
        use_.emplace(host_);
        form_.reset(new TForm1(nullptr));
        testapp::SettleProbe(*form_);
        form_->Show();
    }
    void TearDown() override {
        if (form_) testapp::SettleProbe(*form_);  // no lookup may outlive the test backend
        form_.reset();
        use_.reset();
        fw::TFontDialog::SetRunner(nullptr);
        if (oldXdg_)
            setenv("XDG_CONFIG_HOME", oldXdg_->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }

    // Clicks a menu item of the window by its component name.
    void Choose(const char* item) {
        auto* m = dynamic_cast<fw::TMenuItem*>(form_->FindComponent(item));
        ASSERT_NE(m, nullptr) << item;
        m->Click();
    }
    // The font dialog, answered without showing it: records the font it was given; when
    // confirming, the user picks Times New Roman, 14 pixels, italic, maroon.
    void AnswerFontDialog(bool confirm) {
        fw::TFontDialog::SetRunner([this, confirm](fw::TFontDialog& d) {
            shown_.push_back({d.Font()->Name(), d.Font()->Height()});
            if (!confirm) return false;
            d.Font()->SetName("Times New Roman");
            d.Font()->SetHeight(-14);
            d.Font()->SetStyle(fw::fsItalic);
            d.Font()->SetColor(0x000080);
            return true;
        });
    }
    static void ExpectFont(const fw::TControl* c, const char* name, int height, fw::TColor color,
                           fw::TFontStyles style) {
        EXPECT_EQ(c->Font()->Name(), name) << c->Name();
        EXPECT_EQ(c->Font()->Height(), height) << c->Name();
        EXPECT_EQ(c->Font()->Color(), color) << c->Name();
        EXPECT_EQ(c->Font()->Style(), style) << c->Name();
    }
    // Gives the three labels a font far from their defaults: Courier New, 20 pixels, green.
    void SpoilLabelFonts(fw::TFontStyles style) {
        for (fw::TControl* c :
             {static_cast<fw::TControl*>(form_->Label1), static_cast<fw::TControl*>(form_->label2),
              static_cast<fw::TControl*>(form_->Label3)}) {
            c->Font()->SetName("Courier New");
            c->Font()->SetHeight(-20);
            c->Font()->SetColor(0x00FF00);
            c->Font()->SetStyle(style);
        }
    }
    static void ExpectChosenFont(const fw::TControl* c) {
        ExpectFont(c, "Times New Roman", -14, 0x000080, fw::fsItalic);
    }
    QWidget* Window() { return form_->Handle(); }
    // Runs the event loop until the program quits it (0), or a safety timer does (1).
    static int RunLoopUntilQuit() {
        QTimer safety;
        safety.setSingleShot(true);
        QObject::connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        safety.start(20000);
        return QCoreApplication::exec();
    }

    testsupport::TempDir dir_;
    std::optional<std::string> oldXdg_;
    platform::FixedHostBackend host_;
    std::optional<platform::ScopedHostBackend> use_;
    fw::ComponentPtr<TForm1> form_;
    std::vector<Shown> shown_;
};

TEST_F(MainWindowCommands, TheIpFontCommandsShowTheIpFontAndTakeOnlyAConfirmedAnswer) {
    for (const char* item : {"Fonts1", "Changefont2"}) {
        SCOPED_TRACE(item);
        Choose("Defaultfonts1");
        shown_.clear();
        AnswerFontDialog(false);
        Choose(item);
        ASSERT_EQ(shown_.size(), 1u);
        EXPECT_EQ(shown_[0].name, "Small Fonts");
        EXPECT_EQ(shown_[0].height, -8);
        ExpectFont(form_->Label1, "Small Fonts", -8, fw::clBlack, 0);

        AnswerFontDialog(true);
        Choose(item);
        ExpectChosenFont(form_->Label1);
        // The host-name labels are not touched.
        ExpectFont(form_->Label3, "Arial", -9, fw::clBlack, 0);
        ExpectFont(form_->label2, "Arial", -9, fw::clBlack, 0);
    }
}

TEST_F(MainWindowCommands, TheHostNameFontCommandsSetTheMarqueeEvenOnCancel) {
    for (const char* item : {"Hostname1", "Changefont1"}) {
        SCOPED_TRACE(item);
        Choose("Defaultfonts1");
        form_->label2->SetWidth(67);
        shown_.clear();
        AnswerFontDialog(false);
        Choose(item);
        ASSERT_EQ(shown_.size(), 1u);
        EXPECT_EQ(shown_[0].name, "Arial");  // the marquee's font
        EXPECT_EQ(shown_[0].height, -9);
        ExpectFont(form_->Label3, "Arial", -9, fw::clBlack, 0);
        ExpectFont(form_->label2, "Arial", -9, fw::clBlack, 0);
        EXPECT_EQ(form_->label2->Width(), 60);

        form_->label2->SetWidth(67);
        AnswerFontDialog(true);
        Choose(item);
        ExpectChosenFont(form_->Label3);
        ExpectChosenFont(form_->label2);
        // The wider caption pushes the marquee right; it still ends where 60 pixels from its
        // designed place end.
        EXPECT_EQ(form_->label2->Left(), form_->Label3->Left() + form_->Label3->Width() + 2);
        EXPECT_EQ(form_->label2->Left() + form_->label2->Width(), 78 + 60);
        ExpectFont(form_->Label1, "Small Fonts", -8, fw::clBlack, 0);
    }
}

TEST_F(MainWindowCommands, TheRealFontDialogIsAnsweredFromTheKeyboard) {
    fw::TFontDialog::SetRunner(nullptr);
    auto answerWith = [](int key, QString* family) {
        auto* t = new QTimer;
        QObject::connect(t, &QTimer::timeout, [t, key, family] {
            auto* d = dynamic_cast<fw::TFontDialogWindow*>(QApplication::activeModalWidget());
            if (!d) return;
            t->stop();
            t->deleteLater();
            *family = d->NameEdit()->text();
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(d, &press);
        });
        t->start(10);
        return t;
    };
    QString family;
    QPointer<QTimer> escape = answerWith(Qt::Key_Escape, &family);
    Choose("Fonts1");
    EXPECT_FALSE(family.isEmpty());  // the dialog was shown and answered
    ExpectFont(form_->Label1, "Small Fonts", -8, fw::clBlack, 0);

    family.clear();
    QPointer<QTimer> enter = answerWith(Qt::Key_Return, &family);
    Choose("Fonts1");
    ASSERT_FALSE(family.isEmpty());
    EXPECT_EQ(form_->Label1->Font()->Name(), family.toStdString());
    delete escape.data();
    delete enter.data();
}

TEST_F(MainWindowCommands, DefaultFontsRestoreAllThreeAndLeaveScrollingAlone) {
    SpoilLabelFonts(fw::fsBold | fw::fsUnderline);
    form_->label2->SetScrollDirection(ctl::LeftToRight);
    form_->label2->SetScrollBy(5);
    form_->label2->SetWidth(80);
    Choose("Defaultfonts1");
    ExpectFont(form_->Label1, "Small Fonts", -8, fw::clBlack, 0);
    ExpectFont(form_->label2, "Arial", -9, fw::clBlack, 0);
    ExpectFont(form_->Label3, "Arial", -9, fw::clBlack, 0);
    EXPECT_EQ(form_->label2->ScrollDirection(), ctl::LeftToRight);
    EXPECT_EQ(form_->label2->ScrollBy(), 5);
    EXPECT_EQ(form_->label2->Width(), 80);
}

TEST_F(MainWindowCommands, TheDefaultSettingsOfEachMenuRestoreTheirOwnLabels) {
    SpoilLabelFonts(fw::fsBold);
    form_->label2->SetScrollDirection(ctl::LeftToRight);
    form_->label2->SetScrollBy(5);
    form_->label2->SetWidth(80);

    Choose("Defaultset1");  // host-name menu: size 7 is a 9-pixel height
    ExpectFont(form_->Label3, "Arial", -9, fw::clBlack, 0);
    ExpectFont(form_->label2, "Arial", -9, fw::clBlack, 0);
    EXPECT_EQ(form_->label2->ScrollDirection(), ctl::RightToLeft);
    EXPECT_EQ(form_->label2->ScrollBy(), 1);
    EXPECT_EQ(form_->label2->Width(), 60);
    ExpectFont(form_->Label1, "Courier New", -20, 0x00FF00, fw::fsBold);

    Choose("Defaultsettings1");  // IP menu: size 6 is an 8-pixel height
    ExpectFont(form_->Label1, "Small Fonts", -8, fw::clBlack, 0);
}

TEST_F(MainWindowCommands, TheCopiesAskTheProbeAfreshAndPutTheBareText) {
    ASSERT_TRUE(fw::Clipboard().Available());
    // The display still shows the values read at start-up.
    host_.hostName = "renamed-host";
    host_.resolved = std::vector<platform::Ipv4>{{172, 16, 0, 9}};
    for (const char* item : {"CopyIPtoclipboard1", "Copytoclipboard1"}) {
        fw::Clipboard().SetAsText("something else");
        Choose(item);
        testapp::SettleProbe(*form_);
        EXPECT_EQ(fw::Clipboard().AsText(), "172.16.0.9") << item;
    }
    for (const char* item : {"CopyHostnametoclipboard1", "Copytoclipboard2"}) {
        fw::Clipboard().SetAsText("something else");
        Choose(item);
        testapp::SettleProbe(*form_);
        EXPECT_EQ(fw::Clipboard().AsText(), "renamed-host") << item;
    }
    // The fresh answer shows too.
    EXPECT_EQ(form_->Label1->Caption(), "Local IP : 172.16.0.9");

    // A failed lookup puts empty text, replacing what was there.
    host_.resolved.reset();
    host_.hostName.reset();
    for (const char* item : {"CopyIPtoclipboard1", "CopyHostnametoclipboard1"}) {
        fw::Clipboard().SetAsText("something else");
        Choose(item);
        testapp::SettleProbe(*form_);
        EXPECT_EQ(fw::Clipboard().AsText(), "") << item;
    }
}

TEST_F(MainWindowCommands, CloseEndsTheLoopAndTheSettingsAreWrittenAsTheWindowGoes) {
    const auto ini = std::filesystem::path(dir_.path()) / "rezazo" / "rezazo.ini";
    form_->Onceaminute1->Click();
    Choose("Exit1");
    EXPECT_TRUE(App().Terminated());
    EXPECT_EQ(RunLoopUntilQuit(), 0);
    EXPECT_FALSE(std::filesystem::exists(ini));
    form_.reset();
    ASSERT_TRUE(std::filesystem::exists(ini));
    std::ifstream in(ini);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("Onceaminute1.Checked=True\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Timer1.Interval=60000\n"), std::string::npos) << text;
}

TEST_F(MainWindowCommands, TheCloseGlyphShowsItsPicturesAndEndsTheLoopWhenClicked) {
    auto glyphShows = [&](int index) {
        fw::TBitmap want;
        form_->ImageList1->GetBitmap(index, want);
        QImage shot = Window()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QImage w = want.Image().convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 9; ++x)
                if (shot.pixel(155 + x, y) != w.pixel(x, y)) return false;
        return true;
    };
    ASSERT_FALSE(glyphShows(1));
    const QPoint glyph(159, 4);
    Press(Window(), glyph);
    EXPECT_TRUE(glyphShows(1));  // pressed
    // Moved off before the release: the released picture, and no click.
    MoveTo(Window(), QPoint(100, 40));
    Release(Window(), QPoint(100, 40));
    EXPECT_TRUE(glyphShows(3));
    EXPECT_EQ(form_->Left(), 227);  // the glyph's press is no drag

    Click(Window(), glyph);
    EXPECT_TRUE(App().Terminated());
    EXPECT_EQ(RunLoopUntilQuit(), 0);
}

TEST_F(MainWindowCommands, DraggingTheSkinOrTheTitleMovesTheWindowByThePointersWay) {
    // Pressed on the skin at (10, 45); the pointer 20 right and 5 down.
    Press(Window(), QPoint(10, 45));
    MoveTo(Window(), QPoint(30, 50));
    EXPECT_EQ(form_->Left(), 247);
    EXPECT_EQ(form_->Top(), 115);
    // The window came along, so the pointer is back over the pressed point: no move.
    MoveTo(Window(), QPoint(10, 45));
    EXPECT_EQ(form_->Left(), 247);
    Release(Window(), QPoint(10, 45));
    MoveTo(Window(), QPoint(40, 45), Qt::NoButton);
    EXPECT_EQ(form_->Left(), 247);

    // The title image drags too.
    Press(Window(), QPoint(60, 10));
    MoveTo(Window(), QPoint(70, 12));
    Release(Window(), QPoint(70, 12));
    EXPECT_EQ(form_->Left(), 257);
    EXPECT_EQ(form_->Top(), 117);

    // Shift with the left button, or the right button, starts no drag.
    Press(Window(), QPoint(10, 45), Qt::LeftButton, Qt::ShiftModifier);
    MoveTo(Window(), QPoint(50, 45));
    Release(Window(), QPoint(50, 45));
    Press(Window(), QPoint(10, 45), Qt::RightButton);
    MoveTo(Window(), QPoint(50, 45), Qt::RightButton);
    Release(Window(), QPoint(50, 45), Qt::RightButton);
    EXPECT_EQ(form_->Left(), 257);
    EXPECT_EQ(form_->Top(), 117);
}

TEST_F(MainWindowCommands, SnapToEdgeDecidesWhetherADragSnaps) {
    const fw::TScreenSize screen = fw::PrimaryScreenSize();
    ASSERT_GT(screen.Width, 300);
    ASSERT_GT(screen.Height, 200);
    // Drags the window so its left edge would come to `left` and its top stays.
    auto dragLeftTo = [&](int left) {
        Press(Window(), QPoint(10, 45));
        MoveTo(Window(), QPoint(10 + left - form_->Left(), 45));
        Release(Window(), QPoint(10, 45));
    };
    ASSERT_TRUE(form_->Snaptoedge1->Checked());
    dragLeftTo(35);
    EXPECT_EQ(form_->Left(), 0);
    dragLeftTo(screen.Width - 164 - 30);
    EXPECT_EQ(form_->Left(), screen.Width - 164);

    Choose("Snaptoedge1");
    EXPECT_FALSE(form_->Snaptoedge1->Checked());
    dragLeftTo(35);
    EXPECT_EQ(form_->Left(), 35);
    dragLeftTo(screen.Width - 164 - 30);
    EXPECT_EQ(form_->Left(), screen.Width - 164 - 30);

    Choose("Snaptoedge1");
    EXPECT_TRUE(form_->Snaptoedge1->Checked());
    dragLeftTo(39);
    EXPECT_EQ(form_->Left(), 0);
}

TEST_F(MainWindowCommands, DoubleClicksOnTheSkinAndTheTitleToggleTheCompactForm) {
    DoubleClick(Window(), QPoint(60, 10));  // the title image
    EXPECT_TRUE(form_->Compact1->Checked());
    EXPECT_EQ(form_->ClientHeight(), 24);
    EXPECT_FALSE(form_->Image2->Visible());
    DoubleClick(Window(), QPoint(10, 20));  // the skin
    EXPECT_FALSE(form_->Compact1->Checked());
    EXPECT_EQ(form_->ClientHeight(), 51);
    EXPECT_TRUE(form_->Image2->Visible());
    EXPECT_EQ(form_->Left(), 227);  // a double-click is no drag
    Choose("Compact1");
    EXPECT_EQ(form_->ClientHeight(), 24);
    Choose("Compact1");
    EXPECT_EQ(form_->ClientHeight(), 51);
}

}  // namespace
