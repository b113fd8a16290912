// What a screen reader finds in the main window: its name, its texts as they change, and the
// glyphs it can press, through Qt's accessibility interfaces.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QCoreApplication>
#include <QWidget>
#include <filesystem>

#include "framework/graphics/picture.h"
#include "tests/program/app_support.h"
#include "tests/support/fixedhostbackend.h"
#include "widgets/scrolllabel.h"

namespace {

class Accessible : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("rezazo-a11y-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
        testapp::App();
        host_.hostName = "test-host";
        host_.resolved = std::vector<platform::Ipv4>{{192, 168, 1, 20}};
        form_.reset(new TForm1(nullptr));
        testapp::SettleProbe(*form_);
        form_->Show();
        window_ = QAccessible::queryAccessibleInterface(form_->Handle());
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        if (form_) testapp::SettleProbe(*form_);  // no lookup may outlive the test backend
        form_.reset();
        std::filesystem::remove_all(dir_);
    }
    // The child with this role and name, or null.
    QAccessibleInterface* Child(QAccessible::Role role, const QString& name) {
        for (int i = 0; i < window_->childCount(); ++i) {
            QAccessibleInterface* c = window_->child(i);
            if (c && c->role() == role && c->text(QAccessible::Name) == name) return c;
        }
        return nullptr;
    }
    QStringList Names() {
        QStringList out;
        for (int i = 0; i < window_->childCount(); ++i)
            out << window_->child(i)->text(QAccessible::Name);
        return out;
    }

    std::filesystem::path dir_;
    platform::FixedHostBackend host_;
    platform::ScopedHostBackend use_{host_};
    fw::ComponentPtr<TForm1> form_;
    QAccessibleInterface* window_ = nullptr;
};

TEST_F(Accessible, TheWindowIsNamedAndListsItsTextsAndGlyphs) {
    EXPECT_EQ(window_->role(), QAccessible::Window);
    EXPECT_EQ(window_->text(QAccessible::Name), "Rezazo '98");
    // The address line and the host name are read, not their placeholders.
    EXPECT_NE(Child(QAccessible::StaticText, "Local IP : 192.168.1.20"), nullptr)
        << Names().join("|").toStdString();
    EXPECT_NE(Child(QAccessible::StaticText, "test-host"), nullptr)
        << Names().join("|").toStdString();
    EXPECT_NE(Child(QAccessible::StaticText, "Hostname :"), nullptr);
    // Glyphs without text are named by their hints; the system glyph opens a menu.
    EXPECT_NE(Child(QAccessible::Button, "Minimize"), nullptr);
    EXPECT_NE(Child(QAccessible::Button, "Close"), nullptr);
    QAccessibleInterface* system = Child(QAccessible::ButtonMenu, "System Menu");
    ASSERT_NE(system, nullptr);
    EXPECT_TRUE(system->state().hasPopup);
    // The address label's hint is its description; artwork without text or hint is left out.
    QAccessibleInterface* ip = Child(QAccessible::StaticText, "Local IP : 192.168.1.20");
    ASSERT_NE(ip, nullptr);
    EXPECT_EQ(ip->text(QAccessible::Description), "Current Local IP");
    EXPECT_EQ(window_->childCount(), 7) << Names().join("|").toStdString();
    for (int i = 0; i < window_->childCount(); ++i) {
        QAccessibleInterface* c = window_->child(i);
        EXPECT_EQ(window_->indexOfChild(c), i);
        EXPECT_EQ(c->parent(), window_);
        // The same interface every time: a screen reader keeps hold of it.
        EXPECT_EQ(window_->child(i), c);
    }
}

TEST_F(Accessible, TextsFollowEveryRefresh) {
    host_.hostName = "renamed-host";
    host_.resolved = std::vector<platform::Ipv4>{{10, 9, 8, 7}};
    form_->RefreshDisplay();
    testapp::SettleProbe(*form_);
    EXPECT_NE(Child(QAccessible::StaticText, "Local IP : 10.9.8.7"), nullptr)
        << Names().join("|").toStdString();
    EXPECT_NE(Child(QAccessible::StaticText, "renamed-host"), nullptr);
    EXPECT_EQ(Child(QAccessible::StaticText, "test-host"), nullptr);
}

TEST_F(Accessible, GlyphsLieWhereTheyAreDrawnAndCanBePressed) {
    QAccessibleInterface* minimise = Child(QAccessible::Button, "Minimize");
    ASSERT_NE(minimise, nullptr);
    const QPoint origin = form_->Handle()->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(minimise->rect(), QRect(origin + QPoint(147, 0), QSize(9, 8)));
    EXPECT_EQ(window_->childAt(origin.x() + 150, origin.y() + 3), minimise);

    auto* actions = minimise->actionInterface();
    ASSERT_NE(actions, nullptr);
    EXPECT_EQ(actions->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    // A press runs the glyph's own mouse handlers: the released picture is drawn in.
    EXPECT_TRUE(form_->Image3->Picture()->Bitmap().Empty());
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();  // the press follows the reader's answered request
    EXPECT_FALSE(form_->Image3->Picture()->Bitmap().Empty());
    // Texts are read, not pressed.
    EXPECT_EQ(Child(QAccessible::StaticText, "test-host")->actionInterface(), nullptr);
}

TEST_F(Accessible, HiddenControlsAreNotListed) {
    const int full = window_->childCount();
    form_->Label3->Hide();
    EXPECT_EQ(window_->childCount(), full - 1);
    EXPECT_EQ(Child(QAccessible::StaticText, "Hostname :"), nullptr);
}

}  // namespace
