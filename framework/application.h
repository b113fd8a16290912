#pragma once
// The application object: title, main form, message loop, activation, minimise and
// restore, termination, and the guard that shows an exception and goes on.
#include <exception>
#include <functional>
#include <string>

#include "framework/classes.h"

class QApplication;

namespace fw {

class TCustomForm;

using TExceptionEvent = TEvent<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
    FW_CLASS(TApplication)
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    // Makes the Qt application (when none exists yet); call before any window.
    void Initialize(int& argc, char** argv);

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& t);
    TCustomForm* MainForm() const { return mainForm_; }

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
    void HandleException(TObject* Sender, const std::exception& e);

    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    TExceptionEvent OnException;

    // Called by the framework when the platform reports activation changes.
    void SetActive(bool active);

private:
    std::string title_;
    std::string hint_;
    TCustomForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool active_ = false;
    bool minimized_ = false;
    std::vector<TCustomForm*> hiddenByMinimize_;
    std::unique_ptr<QApplication> ownedApp_;
};

// The one application object (made by the program's main or a test).
extern TApplication* Application;

}  // namespace fw
