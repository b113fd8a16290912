// Closing a window: the close query may refuse; the close action hides, minimises, frees
// or keeps it; the main window's close ends the program; the window manager's close button
// takes the same path.
#include <gtest/gtest.h>

#include <QWidget>

#include "framework/controls/forms.h"
#include "tests/framework/framework_testapp.h"

using namespace fw;

namespace {

class FormClose : public ::testing::Test {
  protected:
    void SetUp() override {
        app_.CreateForm(main_);  // the first is the main window
        app_.CreateForm(form_);
        for (TForm* f : {main_, form_}) {
            f->SetBounds(20, 20, 60, 40);
            f->Show();
        }
        form_->OnDestroy.Set([this](TPropertyObject*) { destroyed_ = true; });
        form_->OnHide.Set([this](TPropertyObject*) { ++hidden_; });
        form_->OnCloseQuery.Set([this](TPropertyObject*, bool& canClose) {
            ++queries_;
            canClose = allow_;
        });
        form_->OnClose.Set([this](TPropertyObject*, TCloseAction& action) {
            offered_.push_back(action);
            action = choose_;
        });
    }

    fwtest::ScopedApplication app_scope_;
    TAppController& app_ = *app_scope_;
    TForm* main_ = nullptr;
    TForm* form_ = nullptr;
    bool allow_ = true;
    TCloseAction choose_ = caHide;
    std::vector<TCloseAction> offered_;
    int queries_ = 0, hidden_ = 0;
    bool destroyed_ = false;
};

TEST_F(FormClose, ARefusedCloseQueryLeavesTheWindowAsItWas) {
    allow_ = false;
    form_->Close();
    EXPECT_EQ(queries_, 1);
    EXPECT_TRUE(offered_.empty());
    EXPECT_TRUE(form_->Visible() && form_->Handle()->isVisible());
    EXPECT_FALSE(form_->CloseQuery());
    allow_ = true;
    EXPECT_TRUE(form_->CloseQuery());
}

TEST_F(FormClose, AnOrdinaryWindowIsOfferedHideAndHides) {
    form_->Close();
    ASSERT_EQ(offered_.size(), 1u);
    EXPECT_EQ(offered_[0], caHide);
    EXPECT_FALSE(form_->Visible());
    EXPECT_FALSE(form_->Handle()->isVisible());
    EXPECT_EQ(hidden_, 1);
    EXPECT_FALSE(app_.Terminated());
}

TEST_F(FormClose, NoneKeepsItAndMinimiseMinimisesIt) {
    choose_ = caNone;
    form_->Close();
    EXPECT_TRUE(form_->Visible());
    EXPECT_FALSE(form_->Handle()->isMinimized());
    choose_ = caMinimize;
    form_->Close();
    EXPECT_TRUE(form_->Handle()->isMinimized());
    EXPECT_FALSE(destroyed_);
    EXPECT_EQ(hidden_, 0);
}

TEST_F(FormClose, FreeFreesTheWindowOnceTheCurrentMessageIsHandled) {
    choose_ = caFree;
    form_->Close();
    // The caller may still be inside the window: it goes only after this.
    EXPECT_FALSE(destroyed_);
    EXPECT_FALSE(form_->Handle()->isVisible());
    QCoreApplication::processEvents();
    EXPECT_TRUE(destroyed_);
    EXPECT_EQ(app_.ComponentCount(), 1);
    EXPECT_EQ(app_.Components(0), main_);
}

TEST_F(FormClose, AWindowFreedBeforeItsDelayedFreeGoesOnce) {
    choose_ = caFree;
    form_->Close();
    TComponent::Free(form_);
    EXPECT_TRUE(destroyed_);
    QCoreApplication::processEvents();  // the delayed free finds nothing left to do
    EXPECT_EQ(app_.ComponentCount(), 1);
}

TEST_F(FormClose, TheMainWindowsCloseEndsTheProgram) {
    std::vector<TCloseAction> offered;
    main_->OnClose.Set([&](TPropertyObject*, TCloseAction& a) { offered.push_back(a); });
    main_->Close();
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0], caFree);
    EXPECT_TRUE(app_.Terminated());
    EXPECT_EQ(fwtest::RunLoopUntilQuit(), 0);
}

TEST_F(FormClose, TheMainWindowKeptByItsCloseHandlerDoesNotEndIt) {
    main_->OnClose.Set([](TPropertyObject*, TCloseAction& a) { a = caNone; });
    main_->Close();
    EXPECT_FALSE(app_.Terminated());
}

TEST_F(FormClose, TheWindowManagersCloseButtonAsksAndHides) {
    allow_ = false;
    form_->Handle()->close();
    EXPECT_EQ(queries_, 1);
    EXPECT_TRUE(form_->Visible());
    EXPECT_TRUE(form_->Handle()->isVisible());
    allow_ = true;
    form_->Handle()->close();
    EXPECT_EQ(queries_, 2);
    EXPECT_EQ(offered_.size(), 1u);
    EXPECT_FALSE(form_->Visible());
    EXPECT_FALSE(destroyed_);
}

}  // namespace
