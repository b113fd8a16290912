// The window timer loaded from a description: it waits while the window is read, runs
// once loading is over with the stored interval, ticks into the bound handler, and is
// written back with what differs from its defaults.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "framework/controls/forms.h"
#include "framework/controls/imagepanel.h"
#include "framework/text/componenttext.h"
#include "tests/framework/framework_testapp.h"

using namespace fw;

namespace {

class TTimerForm : public TForm {
  public:
    explicit TTimerForm(std::string_view text) : TForm(nullptr) {
        RegisterHandler<void(TPropertyObject*)>("FormCreate", [this](TPropertyObject*) {
            runningAtCreate = Timer("Timer1")->Running();
        });
        RegisterHandler<void(TPropertyObject*)>(
            "Tick", [this](TPropertyObject* sender) { senders.push_back(sender); });
        InitInheritedComponent(text);
    }
    TTimer* Timer(const char* name) { return dynamic_cast<TTimer*>(FindComponent(name)); }

    bool runningAtCreate = false;
    std::vector<TPropertyObject*> senders;
};

constexpr const char* kDescription =
    "object TimerForm: TTimerForm\n"
    "  OnCreate = FormCreate\n"
    "  object Timer1: TTimer\n"
    "    Interval = 5\n"
    "    OnTimer = Tick\n"
    "  end\n"
    "  object Timer2: TTimer\n"
    "    Enabled = False\n"
    "    Interval = 7\n"
    "    OnTimer = Tick\n"
    "  end\n"
    "end\n";

// Processes events until the condition holds; false after a generous deadline (a guard
// against hanging, not a measurement).
bool WaitUntil(const std::function<bool()>& done) {
    QElapsedTimer guard;
    guard.start();
    while (!done()) {
        if (guard.elapsed() > 20000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

TEST(TimerLoading, RunsOnceLoadedAndTicksIntoTheBoundHandler) {
    fwtest::EnsureQtApp();
    TTimerForm form(kDescription);
    TTimer* t1 = form.Timer("Timer1");
    TTimer* t2 = form.Timer("Timer2");
    ASSERT_NE(t1, nullptr);
    ASSERT_NE(t2, nullptr);
    // Loading is over before the creation handler runs.
    EXPECT_TRUE(form.runningAtCreate);
    EXPECT_EQ(t1->Interval(), 5u);
    EXPECT_TRUE(t1->Enabled());
    EXPECT_EQ(t1->OnTimer.name, "Tick");
    EXPECT_FALSE(t2->Running());

    ASSERT_TRUE(WaitUntil([&] { return form.senders.size() >= 2; }));
    for (TPropertyObject* s : form.senders) EXPECT_EQ(s, t1);

    // The stored-off timer starts when enabled; both tick.
    t2->SetEnabled(true);
    EXPECT_TRUE(t2->Running());
    ASSERT_TRUE(WaitUntil([&] {
        return std::find(form.senders.begin(), form.senders.end(), t2) != form.senders.end();
    }));

    t1->SetInterval(0);
    EXPECT_FALSE(t1->Running());
    t2->SetEnabled(false);
    EXPECT_FALSE(t2->Running());
}

TEST(TimerLoading, IsWrittenBackWithWhatDiffersFromItsDefaults) {
    fwtest::EnsureQtApp();
    TTimerForm form(kDescription);
    const std::string text = WriteComponentText(form);
    EXPECT_NE(text.find("  object Timer1: TTimer\n    Interval = 5\n    OnTimer = Tick\n  end\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("  object Timer2: TTimer\n    Enabled = False\n    Interval = 7\n"),
              std::string::npos)
        << text;
}

}  // namespace
