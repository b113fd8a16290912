#include "framework/app/dialogs.h"

#include <QMessageBox>

#include "framework/app/application.h"
#include "framework/app/fontdialog.h"
#include "framework/controls/controls.h"
#include "framework/controls/forms.h"
#include "framework/core/classbuilder.h"

namespace fw {

namespace {
const EnumInfo& FontDialogOptionInfo() {
    static const EnumInfo info{
        "TFontDialogOption",
        {"fdAnsiOnly", "fdTrueTypeOnly", "fdEffects", "fdFixedPitchOnly", "fdForceFontExist",
         "fdNoFaceSel", "fdNoOEMFonts", "fdNoSimulations", "fdNoSizeSel", "fdNoStyleSel",
         "fdNoVectorFonts", "fdShowHelp", "fdWysiwyg", "fdLimitSize", "fdScalableOnly",
         "fdApplyButton"}};
    return info;
}

TFontDialog::Runner& FontRunner() {
    static TFontDialog::Runner r = RunOwnFontDialog;
    return r;
}

int QtMessageBox(const std::string& msg, TMessageBoxKind type, unsigned buttons) {
    QMessageBox box;
    box.setText(QString::fromStdString(msg));
    // An error message is something one may want to pass on: its text can be copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Boxes of a kind are captioned with it; errors (the exception guard's) and custom
    // boxes with the program's title.
    const char* caption = nullptr;
    switch (type) {
        case mtWarning:
            caption = "Warning";
            break;
        case mtInformation:
            caption = "Information";
            break;
        case mtConfirmation:
            caption = "Confirm";
            break;
        default:
            break;
    }
    if (caption)
        box.setWindowTitle(QString::fromLatin1(caption));
    else if (Application)
        box.setWindowTitle(QString::fromStdString(Application->Title()));
    switch (type) {
        case mtWarning:
            box.setIcon(QMessageBox::Warning);
            break;
        case mtError:
            box.setIcon(QMessageBox::Critical);
            break;
        case mtInformation:
            box.setIcon(QMessageBox::Information);
            break;
        case mtConfirmation:
            box.setIcon(QMessageBox::Question);
            break;
        case mtCustom:
            break;
    }
    QMessageBox::StandardButtons b;
    if (buttons & (1u << mbYes)) b |= QMessageBox::Yes;
    if (buttons & (1u << mbNo)) b |= QMessageBox::No;
    if (buttons & (1u << mbOK)) b |= QMessageBox::Ok;
    if (buttons & (1u << mbCancel)) b |= QMessageBox::Cancel;
    box.setStandardButtons(b ? b : QMessageBox::Ok);
    switch (RunModal(box)) {
        case QMessageBox::Yes:
            return mrYes;
        case QMessageBox::No:
            return mrNo;
        case QMessageBox::Ok:
            return mrOk;
        case QMessageBox::Cancel:
            return mrCancel;
        default:
            return mrNone;
    }
}

MessageBoxRunner& BoxRunner() {
    static MessageBoxRunner r = QtMessageBox;
    return r;
}
}  // namespace

const TClassInfo& TFontDialog::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TFontDialog>("TFontDialog", &TComponent::StaticClassInfo())
            .Object("Font", &TFontDialog::Font)
            .Set("Options", &TFontDialog::Options, &TFontDialog::SetOptions, FontDialogOptionInfo(),
                 1 << fdEffects)
            .Event("OnApply", &TFontDialog::OnApply)
            .Creatable()
            .Build();
    return info;
}

TFontDialog::TFontDialog(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {}
TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute() {
    EndMouseCapture();  // the dialog's loop takes the mouse from a press that opened it
    return FontRunner()(*this);
}

void TFontDialog::SetRunner(Runner r) {
    FontRunner() = r ? std::move(r) : Runner(RunOwnFontDialog);
}

int MessageDlg(const std::string& msg, TMessageBoxKind type, unsigned buttons) {
    EndMouseCapture();
    return BoxRunner()(msg, type, buttons);
}

void SetMessageBoxRunner(MessageBoxRunner r) {
    BoxRunner() = r ? std::move(r) : MessageBoxRunner(QtMessageBox);
}

}  // namespace fw
