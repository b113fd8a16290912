// The store inside its owner's life: read from the owner's description, restoring while
// the owner loads, saving at the close query or at destruction, following removed
// components, and failed writes going to the exception display.

#include <QCoreApplication>
#include <chrono>
#include <fstream>

#include "framework/controls/imagepanel.h"
#include "framework/text/componenttext.h"
#include "tests/settings/store_support.h"
#include "tests/support/exceptionhook.h"
#include "tests/support/unprivileged.h"

namespace storetest {
namespace {

const char* kFormText = R"(object Form1: TForm
  Left = 227
  Top = 110
  object PropertyStore1: TPropertyStore
    Active = True
    IniFileName = 'test.ini'
    Items = <
      item
        Component = Timer1
        StoredProp.Strings = (
          'Interval')
      end
      item
        IsForm = True
        StoredProp.Strings = (
          'Position'
          'Top'
          'Left')
      end>
  end
  object Timer1: TTimer
  end
end
)";

class LifecycleTest : public StoreTest {
  protected:
    // A form loaded from kFormText, with handlers of its own that count their calls.
    fw::TForm& LoadForm(bool allowClose = true) {
        form_.reset(new fw::TForm(nullptr));
        form_->RegisterHandler<void(fw::TPropertyObject*, bool&)>(
            "FormCloseQuery", [this, allowClose](fw::TPropertyObject*, bool& can) {
                ++ownCloseQueries_;
                can = allowClose;
            });
        form_->RegisterHandler<void(fw::TPropertyObject*)>(
            "FormDestroy", [this](fw::TPropertyObject*) { ++ownDestroys_; });
        std::string text = kFormText;
        text.insert(text.find("  object PropertyStore1"),
                    "  OnCloseQuery = FormCloseQuery\n  OnDestroy = FormDestroy\n");
        fw::ReadRootComponent(*form_, text);
        formStore_ = static_cast<settings::TPropertyStore*>(form_->FindComponent("PropertyStore1"));
        formStore_->OnAfterSave.Set([this](fw::TPropertyObject*) { ++saves_; });
        return *form_;
    }
    fw::TTimer& Timer() { return *static_cast<fw::TTimer*>(form_->FindComponent("Timer1")); }

    void TearDown() override {
        form_.reset();
        StoreTest::TearDown();
    }

    fw::ComponentPtr<fw::TForm> form_;
    settings::TPropertyStore* formStore_ = nullptr;
    int saves_ = 0;
    int ownCloseQueries_ = 0;
    int ownDestroys_ = 0;
};

TEST_F(LifecycleTest, ItemsAreReadFromTheDescriptionAndTheSettingsRestoredWhileLoading) {
    WriteFile(IniPath(),
              "[TForm]\nForm1.Left=5\nForm1.Position=poScreenCenter\nTimer1.Interval=60000\n");
    LoadForm();
    settings::TStoredObjects& items = *formStore_->Items();
    ASSERT_EQ(items.Count(), 2);
    EXPECT_EQ(items.Item(0)->Component(), &Timer());
    EXPECT_FALSE(items.Item(0)->IsForm());
    EXPECT_EQ(items.Item(0)->StoredProp()->Lines(), std::vector<std::string>{"Interval"});
    EXPECT_EQ(items.Item(1)->Component(), form_.get());
    EXPECT_TRUE(items.Item(1)->IsForm());
    EXPECT_EQ(items.Item(1)->StoredProp()->Count(), 3);
    EXPECT_EQ(form_->Left(), 5);
    EXPECT_EQ(form_->Top(), 110);
    EXPECT_EQ(form_->Position(), fw::poScreenCenter);
    EXPECT_EQ(Timer().Interval(), 60000u);
    EXPECT_EQ(reported_, std::vector<std::string>{});
}

TEST_F(LifecycleTest, ADamagedSettingsFileDoesNotStopTheWindowFromLoading) {
    WriteFile(IniPath(), "[TForm]\nForm1.Left=oops\nTimer1.Interval=60000\n");
    ASSERT_NO_THROW(LoadForm());
    EXPECT_EQ(form_->Left(), 227);
    EXPECT_EQ(Timer().Interval(), 60000u);
    EXPECT_EQ(reported_.size(), 1u);
}

TEST_F(LifecycleTest, CloseSavesOnceAndTheFollowingDestroyDoesNotSaveAgain) {
    LoadForm();
    form_->SetLeft(300);
    EXPECT_TRUE(form_->CloseQuery());
    EXPECT_EQ(ownCloseQueries_, 1);
    EXPECT_EQ(saves_, 1);
    EXPECT_EQ(ReadFile(IniPath()),
              "[TForm]\nForm1.Left=300\nForm1.Top=110\nForm1.Position=poDesigned\n");
    std::filesystem::remove(IniPath());
    form_.reset();
    EXPECT_EQ(ownDestroys_, 1);
    EXPECT_EQ(saves_, 1);
    EXPECT_FALSE(std::filesystem::exists(IniPath()));
}

TEST_F(LifecycleTest, DestroyWithoutACloseSavesBeforeTheComponentsGo) {
    LoadForm();
    Timer().SetInterval(60000);
    form_.reset();
    EXPECT_EQ(saves_, 1);
    EXPECT_EQ(ownDestroys_, 1);
    EXPECT_EQ(ReadFile(IniPath()),
              "[TForm]\nForm1.Left=227\nForm1.Top=110\nForm1.Position=poDesigned\n"
              "Timer1.Interval=60000\n");
}

TEST_F(LifecycleTest, ARefusedCloseDoesNotSaveAndARestoreAllowsTheNextDestroyToSave) {
    LoadForm(false);
    EXPECT_FALSE(form_->CloseQuery());
    EXPECT_EQ(saves_, 0);
    formStore_->Save();
    formStore_->Restore();  // clears the saved flag again
    form_.reset();
    EXPECT_EQ(saves_, 2);
}

TEST_F(LifecycleTest, AnInactiveStoreNeitherRestoresNorSaves) {
    WriteFile(IniPath(), "[TForm]\nForm1.Left=5\n");
    std::string text = kFormText;
    text.replace(text.find("Active = True"), 13, "Active = False");
    form_.reset(new fw::TForm(nullptr));
    fw::ReadRootComponent(*form_, text);
    EXPECT_EQ(form_->Left(), 227);
    form_->CloseQuery();
    form_.reset();
    EXPECT_EQ(ReadFile(IniPath()), "[TForm]\nForm1.Left=5\n");
}

TEST_F(LifecycleTest, FreeingTheStoreGivesTheOwnerItsHandlersBack) {
    LoadForm();
    fw::TComponent::Free(formStore_);
    EXPECT_EQ(form_->OnCloseQuery.name, "FormCloseQuery");
    form_->SetLeft(1);
    form_->CloseQuery();
    form_.reset();
    EXPECT_EQ(ownCloseQueries_, 1);
    EXPECT_EQ(ownDestroys_, 1);
    EXPECT_FALSE(std::filesystem::exists(IniPath()));
}

TEST_F(LifecycleTest, AFreedComponentLosesItsItem) {
    LoadForm();
    fw::TComponent::Free(&Timer());
    ASSERT_EQ(formStore_->Items()->Count(), 1);
    EXPECT_TRUE(formStore_->Items()->Item(0)->IsForm());
    formStore_->Save();
    EXPECT_EQ(ReadFile(IniPath()),
              "[TForm]\nForm1.Left=227\nForm1.Top=110\nForm1.Position=poDesigned\n");
}

TEST_F(LifecycleTest, TheStoreDescriptionRoundTripsWithItsItems) {
    LoadForm();
    std::string text = fw::WriteComponentText(*form_);
    EXPECT_NE(text.find("        StoredProp.Strings = (\n          'Position'\n          'Top'\n"
                        "          'Left')\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("        IsForm = True\n"), std::string::npos) << text;
}

TEST_F(LifecycleTest, DataModuleIsSavedAtDestructionAndKeepsItsOwnHandler) {
    std::string text =
        "object Module1: TTestModule\n"
        "  Left = 3\n"
        "  OnDestroy = ModuleDestroy\n"
        "  object PropertyStore1: TPropertyStore\n"
        "    Active = True\n"
        "    IniFileName = 'test.ini'\n"
        "    Items = <\n"
        "      item\n"
        "        IsForm = True\n"
        "        StoredProp.Strings = (\n"
        "          'left'\n"
        "          'mode')\n"
        "      end>\n"
        "  end\n"
        "end\n";
    fw::ComponentPtr<TTestModule> module(new TTestModule(nullptr));
    int own = 0;
    module->RegisterHandler<void(fw::TPropertyObject*)>("ModuleDestroy", [&](fw::TPropertyObject*) {
        // The store has already written by the time the owner's own handler runs.
        EXPECT_TRUE(std::filesystem::exists(IniPath()));
        ++own;
    });
    fw::ReadRootComponent(*module, text);
    module->SetMode(tkTwo);
    module.reset();
    EXPECT_EQ(own, 1);
    EXPECT_EQ(ReadFile(IniPath()), "[TTestModule]\nModule1.Mode=tkTwo\nModule1.Left=3\n");
}

TEST_F(LifecycleTest, ItemSettersFollowTheLoadingState) {
    MakeModule();
    settings::TStoredObject& item = Keep(thing1_, {"Count"});
    item.SetComponent(thing1_);
    EXPECT_EQ(item.StoredProp()->Count(), 1);
    item.SetComponent(thing2_);
    EXPECT_EQ(item.StoredProp()->Count(), 0);
    item.SetIsForm(true);  // ignored outside loading
    EXPECT_EQ(item.Component(), thing2_);
    EXPECT_FALSE(item.IsForm());
    item.SetComponent(module_.get());
    EXPECT_TRUE(item.IsForm());

    store_->SetLoadingState(true);
    item.StoredProp()->Add("Left");
    item.SetComponent(thing1_);  // while loading the names stay
    EXPECT_EQ(item.StoredProp()->Count(), 1);
    item.SetComponent(nullptr);
    EXPECT_EQ(item.StoredProp()->Count(), 0);
    item.SetIsForm(true);
    EXPECT_EQ(item.Component(), module_.get());
    store_->SetLoadingState(false);
}

TEST_F(LifecycleTest, AFailedWriteGoesToTheApplicationsExceptionDisplay) {
    settings::SetStoreErrorReporter({});
    std::vector<std::pair<fw::TPropertyObject*, std::string>> shown;
    testsupport::ScopedExceptionHook hook(
        [&](fw::TPropertyObject* s, const std::exception& e) { shown.emplace_back(s, e.what()); });
    WriteFile(dir_ + "/plain", "not a directory");
    const std::string file = dir_ + "/plain/test.ini";
    LoadForm();
    formStore_->SetIniFileName(file);
    form_->CloseQuery();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, formStore_);
    EXPECT_EQ(shown[0].second,
              "Unable to write to " + file + ": it cannot be read: Not a directory");
    // The saved flag stayed clear, so destruction tries once more.
    form_.reset();
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(saves_, 0);
}

// Writes through a close query into a read-only directory; returns what was reported.
std::vector<std::string> SaveIntoReadOnlyDirectory(const std::string& file,
                                                   std::vector<std::string>& reported) {
    fw::ComponentPtr<TTestModule> module(new TTestModule(nullptr));
    module->SetName("Module1");
    auto* store = new settings::TPropertyStore(module.get());
    store->SetIniFileName(file);
    store->Items()->Add(module.get())->StoredProp()->Add("Left");
    store->SetActive(true);
    store->SetLoadingState(true);
    store->Loaded();  // restores Left=7 from the old file
    module->SetLeft(42);
    module.reset();  // destruction saves, behind the guard
    return reported;
}

TEST_F(LifecycleTest, AWriteIntoAnUnwritableDirectoryIsReportedAndKeepsTheOldFile) {
    const std::string sub = dir_ + "/ro";
    const std::string file = sub + "/test.ini";
    const std::string old = "[TTestModule]\nModule1.Left=7\n";
    WriteFile(file, old);
    ::chmod(dir_.c_str(), 0755);
    ::chmod(file.c_str(), 0644);
    ::chmod(sub.c_str(), 0555);
    const std::string expected = "Unable to write to " + file + ": Permission denied";
    if (::geteuid() != 0) {
        auto got = SaveIntoReadOnlyDirectory(file, reported_);
        EXPECT_EQ(got, std::vector<std::string>{expected});
    } else {
        int code = testsupport::RunUnprivileged([&] {
            auto got = SaveIntoReadOnlyDirectory(file, reported_);
            return got == std::vector<std::string>{expected} ? 0 : (got.empty() ? 1 : 2);
        });
        EXPECT_EQ(code, 0) << "1: nothing reported, 2: wrong message, 3: no setuid";
    }
    ::chmod(sub.c_str(), 0755);
    EXPECT_EQ(ReadFile(file), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sub), {}), 1);
}

}  // namespace
}  // namespace storetest

namespace storetest {
namespace {

// Writes after user actions: the first change at once, the next ones at most once a second,
// none while nothing changed; a session's request at once; the end still saves.
TEST_F(LifecycleTest, UserActionsWriteChangesAtMostOnceASecondAndNothingUnchanged) {
    LoadForm();
    const auto acted = [] { fw::AnnounceSaveMoment(fw::TSaveMoment::AfterUserAction); };
    acted();
    EXPECT_FALSE(std::filesystem::exists(IniPath())) << "written though nothing changed";

    form_->SetLeft(300);
    acted();
    EXPECT_EQ(saves_, 1);
    EXPECT_NE(ReadFile(IniPath()).find("Form1.Left=300\n"), std::string::npos);
    EXPECT_FALSE(formStore_->Saved()) << "the write at the end would be skipped";

    form_->SetLeft(301);
    acted();
    form_->SetLeft(302);
    acted();
    EXPECT_EQ(saves_, 1) << "a second write within the second";
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (saves_ == 1 && std::chrono::steady_clock::now() < until)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(saves_, 2);
    EXPECT_NE(ReadFile(IniPath()).find("Form1.Left=302\n"), std::string::npos);

    // Within the second after that write, the session's request writes all the same.
    Timer().SetInterval(60000);
    fw::AnnounceSaveMoment(fw::TSaveMoment::SessionSave);
    EXPECT_EQ(saves_, 3);
    EXPECT_NE(ReadFile(IniPath()).find("Timer1.Interval=60000\n"), std::string::npos);
}

}  // namespace
}  // namespace storetest

namespace storetest {
namespace {

// A failed write after a change is reported once, also while its message is open (a box runs
// a loop, in which the store's timer fires and the user goes on), and again only after a
// write has worked in between. The end still reports its own failure.
TEST_F(LifecycleTest, AFailedWriteAfterAChangeIsReportedOnceUntilAWriteWorks) {
    LoadForm();
    int attempts = 0, left = 300, open = 0, mostOpen = 0;
    formStore_->OnBeforeSave.Set([&](fw::TPropertyObject*) { ++attempts; });
    const std::string dir = SettingsDir(), away = dir + ".away";
    std::filesystem::create_directories(dir);
    const auto change = [&] {  // and wait for the write it brings
        const int before = attempts;
        form_->SetLeft(++left);
        fw::AnnounceSaveMoment(fw::TSaveMoment::AfterUserAction);
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (attempts == before && std::chrono::steady_clock::now() < until)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        return attempts > before;
    };
    settings::SetStoreErrorReporter([&](fw::TPropertyObject*, const std::exception& e) {
        reported_.push_back(e.what());
        mostOpen = std::max(mostOpen, ++open);
        if (reported_.size() == 1) {
            EXPECT_TRUE(change()) << "no write while the box is open";
        }
        --open;
    });
    // Whether a plain file stands where the settings directory was; the reports so far.
    const std::pair<bool, size_t> steps[] = {{true, 1},  {true, 1}, {true, 1},
                                             {false, 1}, {true, 2}, {true, 2}};
    for (const auto& [fails, reports] : steps) {
        if (fails && !std::filesystem::is_regular_file(dir)) {
            std::filesystem::rename(dir, away);
            std::ofstream(dir) << "x";
        } else if (!fails && std::filesystem::is_regular_file(dir)) {
            std::filesystem::remove(dir);
            std::filesystem::rename(away, dir);
        }
        ASSERT_TRUE(change());
        EXPECT_EQ(reported_.size(), reports) << "after Left=" << left;
        if (!fails) {
            EXPECT_NE(ReadFile(IniPath()).find(std::to_string(left)), std::string::npos);
        }
    }
    EXPECT_EQ(mostOpen, 1) << "a box opened while another was open";
    EXPECT_EQ(reported_.at(0), "Unable to write to test.ini: it cannot be read: Not a directory");
    form_.reset();
    EXPECT_EQ(reported_.size(), 3u) << "the end did not report its failure";
}

}  // namespace
}  // namespace storetest

namespace storetest {
namespace {

// A session's request that cannot write does not count its values as written: the next write
// after a user action writes them, though nothing changed since. One that worked leaves the
// end its own save, so a change waiting for its second is not lost at exit.
TEST_F(LifecycleTest, ASessionSaveLeavesWhatItDidNotWriteToTheNextWriteOrTheEnd) {
    LoadForm();
    const std::string dir = SettingsDir(), away = dir + ".away";
    std::filesystem::create_directories(dir);
    std::filesystem::rename(dir, away);
    std::ofstream(dir) << "x";  // nothing can be made where the settings directory was
    form_->SetLeft(300);
    fw::AnnounceSaveMoment(fw::TSaveMoment::SessionSave);
    ASSERT_EQ(reported_.size(), 1u);
    std::filesystem::remove(dir);
    std::filesystem::rename(away, dir);
    fw::AnnounceSaveMoment(fw::TSaveMoment::AfterUserAction);
    EXPECT_NE(ReadFile(IniPath()).find("Form1.Left=300\n"), std::string::npos)
        << "the failed request counted as written";

    fw::AnnounceSaveMoment(fw::TSaveMoment::SessionSave);
    form_->SetLeft(301);
    fw::AnnounceSaveMoment(fw::TSaveMoment::AfterUserAction);  // within the second: waits
    form_.reset();
    EXPECT_NE(ReadFile(IniPath()).find("Form1.Left=301\n"), std::string::npos)
        << "the end skipped its save after the session's";
    EXPECT_EQ(reported_.size(), 1u);
}

}  // namespace
}  // namespace storetest
