#pragma once
// Our font dialog: the platform's has no colour choice. Face names come from the installed
// fonts and the classic names the program uses (resolved as the framework resolves them),
// with style, size in points, the effects (colour from the classic colour list, underline,
// strike-out), a sample, and OK, Cancel and Apply.
#include <QDialog>

#include "framework/app/dialogs.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace fw {

class TFontDialogWindow : public QDialog {
  public:
    // Shows the dialog's Font; Apply is there when the options ask for it.
    explicit TFontDialogWindow(TFontDialog& dialog, QWidget* parent = nullptr);

    // The font as the dialog now shows it: what was loaded, with the user's changes.
    TFont ChosenFont() const;

    // The controls, for keyboard users' tab order and for tests.
    QLineEdit* NameEdit() const { return nameEdit_; }
    QListWidget* Names() const { return names_; }
    QListWidget* Styles() const { return styles_; }
    QLineEdit* SizeEdit() const { return sizeEdit_; }
    QListWidget* Sizes() const { return sizes_; }
    QComboBox* Colors() const { return colors_; }
    QCheckBox* Underline() const { return underline_; }
    QCheckBox* StrikeOut() const { return strikeOut_; }
    QLabel* Sample() const { return sample_; }
    QPushButton* ApplyButton() const { return apply_; }

  private:
    QGridLayout* BuildFontFields();
    QGroupBox* BuildEffects();
    QGroupBox* BuildSample();
    QDialogButtonBox* BuildButtons();
    void ShowLoaded();
    void ConnectFields();
    void UpdateSample();
    // Says so and keeps the dialog open when the typed name must name an existing font.
    bool NameRefused();

    TFontDialog& dialog_;
    TFont loaded_;
    QLineEdit* nameEdit_;
    QListWidget* names_;
    QListWidget* styles_;
    QLineEdit* sizeEdit_;
    QListWidget* sizes_;
    QComboBox* colors_;
    QCheckBox* underline_;
    QCheckBox* strikeOut_;
    QLabel* sample_;
    QPushButton* apply_ = nullptr;
};

// Runs the dialog modally: on OK the dialog's Font takes the chosen font and true comes
// back; on Cancel nothing changes.
bool RunOwnFontDialog(TFontDialog& dialog);

}  // namespace fw
