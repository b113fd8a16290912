// The application object: minimising and restoring its windows, ending the message loop,
// and showing an exception's message.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QWidget>
#include <stdexcept>

#include "framework/app/dialogs.h"
#include "framework/controls/controls.h"
#include "framework/controls/forms.h"
#include "tests/framework/framework_testapp.h"

using namespace fw;

namespace {

struct Box {
    std::string text;
    TMessageBoxKind type;
    unsigned buttons;
};

// Records the message boxes instead of showing them; the real one is back afterwards.
class RecordingBoxes {
  public:
    RecordingBoxes() {
        SetMessageBoxRunner([this](const std::string& msg, TMessageBoxKind type, unsigned buttons) {
            shown.push_back({msg, type, buttons});
            return int(mrOk);
        });
    }
    ~RecordingBoxes() { SetMessageBoxRunner(nullptr); }
    std::vector<Box> shown;
};

TForm* MakeForm(TAppController& app, bool visible) {
    TForm* f = nullptr;
    app.CreateForm(f);
    f->SetBounds(10, 10, 50, 40);
    if (visible) f->Show();
    return f;
}

TEST(Application, MinimiseHidesTheShownWindowsAndRestoreBringsBackThoseOnly) {
    fwtest::ScopedApplication app;
    TForm* a = MakeForm(*app, true);
    TForm* b = MakeForm(*app, true);
    TForm* hidden = MakeForm(*app, false);
    TForm* gone = MakeForm(*app, true);
    int minimised = 0, restored = 0;
    app->OnMinimize.Set([&](TPropertyObject* s) {
        EXPECT_EQ(s, &*app);
        ++minimised;
    });
    app->OnRestore.Set([&](TPropertyObject*) { ++restored; });

    app->Minimize();
    EXPECT_TRUE(app->Minimized());
    for (TForm* f : {a, b, hidden, gone}) {
        EXPECT_FALSE(f->Visible());
        EXPECT_FALSE(f->Handle()->isVisible());
    }
    EXPECT_EQ(minimised, 1);
    app->Minimize();
    EXPECT_EQ(minimised, 1);

    // A window freed while minimised is not brought back.
    TComponent::Free(gone);
    app->Restore();
    EXPECT_FALSE(app->Minimized());
    EXPECT_TRUE(a->Visible() && a->Handle()->isVisible());
    EXPECT_TRUE(b->Visible() && b->Handle()->isVisible());
    EXPECT_FALSE(hidden->Visible());
    EXPECT_EQ(restored, 1);
    app->Restore();
    EXPECT_EQ(restored, 1);
    // A window hidden since the restore stays hidden through the next round.
    b->Hide();
    app->Minimize();
    app->Restore();
    EXPECT_TRUE(a->Visible());
    EXPECT_FALSE(b->Visible());
}

TEST(Application, TerminateEndsTheRunningLoopAndRunFreesTheWindows) {
    fwtest::ScopedApplication app;
    TForm* main = MakeForm(*app, false);
    TForm* other = MakeForm(*app, false);
    EXPECT_EQ(app->MainForm(), main);
    bool shownInLoop = false;
    int destroyed = 0;
    for (TForm* f : {main, other}) f->OnDestroy.Set([&](TPropertyObject*) { ++destroyed; });
    // Started from inside the loop, as the program's commands are.
    QTimer::singleShot(0, [&] {
        shownInLoop = main->Visible() && main->Handle()->isVisible();
        app->Terminate();
        EXPECT_TRUE(app->Terminated());
    });
    QTimer safety;
    QObject::connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    safety.start(20000);
    app->Run();
    EXPECT_TRUE(safety.isActive());  // the loop ended by Terminate, not by the safety timer
    EXPECT_TRUE(shownInLoop);
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(app->ComponentCount(), 0);
    EXPECT_EQ(app->MainForm(), nullptr);
}

TEST(Application, TerminateBeforeRunFreesTheWindowsWithoutALoop) {
    fwtest::ScopedApplication app;
    TForm* main = MakeForm(*app, false);
    bool destroyed = false;
    main->OnDestroy.Set([&](TPropertyObject*) { destroyed = true; });
    app->Terminate();
    app->Run();  // returns at once: nothing else ends a loop here
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(app->ComponentCount(), 0);
    // The quit it posted is still waiting: the next loop ends with it at once.
    EXPECT_EQ(fwtest::RunLoopUntilQuit(), 0);
}

TEST(Application, AnExceptionIsShownAsAnErrorMessageWithAFullStop) {
    fwtest::ScopedApplication app;
    RecordingBoxes boxes;
    TForm* f = MakeForm(*app, false);
    Guarded(f, [] { throw Exception("Cannot create file /x/rezazo.ini"); });
    app->ShowException(std::runtime_error("Already ends with a stop."));
    app->ShowException(std::runtime_error(""));
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[0].text, "Cannot create file /x/rezazo.ini.");
    EXPECT_EQ(boxes.shown[0].type, mtError);
    EXPECT_EQ(boxes.shown[0].buttons, 1u << mbOK);
    EXPECT_EQ(boxes.shown[1].text, "Already ends with a stop.");
    EXPECT_EQ(boxes.shown[2].text, "");
}

TEST(Application, AnExceptionHandlerTakesTheExceptionInsteadOfTheBox) {
    fwtest::ScopedApplication app;
    RecordingBoxes boxes;
    TForm* f = MakeForm(*app, false);
    std::vector<std::pair<TPropertyObject*, std::string>> handled;
    app->OnException.Set([&](TPropertyObject* sender, const std::exception& e) {
        handled.push_back({sender, e.what()});
    });
    Guarded(f, [] { throw std::runtime_error("tick failed"); });
    ASSERT_EQ(handled.size(), 1u);
    EXPECT_EQ(handled[0].first, f);
    EXPECT_EQ(handled[0].second, "tick failed");
    EXPECT_TRUE(boxes.shown.empty());
    // Without the handler the box comes back.
    app->OnException.Set(nullptr);
    Guarded(f, [] { throw std::runtime_error("again"); });
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST(Application, TheRealMessageBoxShowsTheMessageUnderTheTitleAndIsAnswered) {
    fwtest::ScopedApplication app;
    app->SetTitle("Rezazo '98");
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool onlyOk = false;
    // The box is modal: it is answered from inside its own loop.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        answer.stop();
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        onlyOk = box->buttons().size() == 1 && box->button(QMessageBox::Ok);
        box->button(QMessageBox::Ok)->click();
    });
    answer.start(10);
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] {
        if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    safety.start(20000);
    app->ShowException(Exception("Stream read error"));
    EXPECT_TRUE(safety.isActive());
    EXPECT_EQ(text.toStdString(), "Stream read error.");
    EXPECT_EQ(title.toStdString(), "Rezazo '98");
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_TRUE(onlyOk);
}

}  // namespace
