#pragma once
// The application object: title, main form, message loop, activation, minimise and
// restore, termination, and the guard that shows an exception and goes on.
#include <exception>
#include <functional>
#include <string>

#include "framework/core/classes.h"

class QApplication;

namespace fw {

class TFormBase;

using TExceptionEvent = TEvent<void(TPropertyObject* Sender, const std::exception& E)>;

class TAppController : public TComponent {
    FW_CLASS(TAppController)
  public:
    explicit TAppController(TComponent* owner);
    ~TAppController() override;

    // Makes the Qt application (when none exists yet); call before any window.
    void Initialize(int& argc, char** argv);

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& t);
    TFormBase* MainForm() const { return mainForm_; }

    // Creates a form owned by the application; the first one becomes the main form.
    template <class T>
    void CreateForm(T*& ref) {
        ref = new T(this);
        if (!mainForm_) mainForm_ = ref;
    }

    // Runs the message loop until Terminate; then the application frees its forms.
    void Run();
    // Posts the quit message: the loop ends once the current message is handled. (It
    // leaves the loop directly rather than asking each window to close first.)
    void Terminate();
    // SIGTERM, SIGINT, SIGHUP and the desktop session's end take the same orderly path as
    // Terminate: the loop ends, the windows are destroyed and save what they keep.
    void InstallTerminationHandlers();
    bool Terminated() const { return terminated_; }
    void ProcessMessages();

    bool Active() const { return active_; }
    // The hint text of what the pointer or the menu selection is on.
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& h) { hint_ = h; }
    void Minimize();
    void Restore();
    bool Minimized() const { return minimized_; }
    // The application's own top-level window: on X11 there is none apart from the forms,
    // so it stands for the main form's window.
    void BringToFront();

    // Shows the exception's message in a message box (or passes it to OnException).
    void ShowException(const std::exception& e);
    // The application's exception display, with two exceptions to the message box. While a
    // window is being loaded no modal loop may run (it would let timers and messages reach
    // a half-made window): the messages are held and shown together, in one box, once the
    // message loop runs. While the program is ended by a signal or by the session's end
    // nobody may be asked to click: the message goes to standard error.
    void HandleException(TPropertyObject* Sender, const std::exception& e);
    // 1 when an error could only be written to standard error, else 0.
    int ExitCode() const { return exitCode_; }

    TSenderEvent OnActivate;
    TSenderEvent OnDeactivate;
    TSenderEvent OnMinimize;
    TSenderEvent OnRestore;
    TExceptionEvent OnException;

    // Called by the framework when the platform reports activation changes.
    void SetActive(bool active);

  private:
    void ShowHeldMessages();
    void WriteToStandardError(const std::string& message);

    std::string title_;
    std::string hint_;
    TFormBase* mainForm_ = nullptr;
    bool terminated_ = false;
    bool active_ = false;
    bool minimized_ = false;
    bool unattended_ = false;  // ended by a signal or by the session's end
    int exitCode_ = 0;
    std::vector<std::string> held_;
    std::vector<TFormBase*> hiddenByMinimize_;
    std::unique_ptr<QApplication> ownedApp_;
};

// The one application object (made by the program's main or a test).
extern TAppController* Application;

}  // namespace fw
