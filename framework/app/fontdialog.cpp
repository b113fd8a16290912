#include "framework/app/fontdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "framework/app/application.h"
#include "framework/controls/controls.h"
#include "framework/controls/forms.h"
#include "framework/graphics/qtgraphics.h"

namespace fw {

namespace {
struct NamedColor {
    const char* name;
    TColor color;
};
constexpr NamedColor kClassicColors[] = {
    {"Black", clBlack},   {"Maroon", clMaroon},   {"Green", clGreen}, {"Olive", clOlive},
    {"Navy", clNavy},     {"Purple", clPurple},   {"Teal", clTeal},   {"Gray", clGray},
    {"Silver", clSilver}, {"Red", clRed},         {"Lime", clLime},   {"Yellow", clYellow},
    {"Blue", clBlue},     {"Fuchsia", clFuchsia}, {"Aqua", clAqua},   {"White", clWhite},
};
const char* kStyles[] = {"Regular", "Italic", "Bold", "Bold Italic"};
const int kSizes[] = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

QStringList FaceNames() {
    // The names the program's windows use come first; they resolve through the
    // framework's substitutions.
    QStringList names = {"Arial", "MS Sans Serif", "Small Fonts"};
    for (const QString& f : QFontDatabase::families())
        if (!names.contains(f, Qt::CaseInsensitive)) names << f;
    names.sort(Qt::CaseInsensitive);
    return names;
}

void SelectText(QListWidget* list, const QString& text) {
    auto found = list->findItems(text, Qt::MatchFixedString);
    list->setCurrentItem(found.isEmpty() ? nullptr : found.first());
}

// Typing in an edit moves its list to the entry it names, or to the first that begins with
// it, without the list writing its entry back over what is being typed.
void FollowTyping(QListWidget* list, const QString& typed) {
    const QString text = typed.trimmed();
    auto found = list->findItems(text, Qt::MatchFixedString);
    if (found.isEmpty() && !text.isEmpty()) found = list->findItems(text, Qt::MatchStartsWith);
    const QSignalBlocker quiet(list);
    list->setCurrentItem(found.isEmpty() ? nullptr : found.first());
    if (!found.isEmpty()) list->scrollToItem(found.first());
    list->viewport()->update();
}
}  // namespace

TFontDialogWindow::TFontDialogWindow(TFontDialog& dialog, QWidget* parent)
    : QDialog(parent), dialog_(dialog) {
    loaded_.Assign(*dialog.Font());
    setWindowTitle(QStringLiteral("Font"));
    QGridLayout* grid = BuildFontFields();
    grid->addWidget(BuildEffects(), 3, 0);
    grid->addWidget(BuildSample(), 3, 1, 1, 2);
    QDialogButtonBox* buttons = BuildButtons();
    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addWidget(buttons);
    ShowLoaded();
    ConnectFields();
    UpdateSample();
}

// Face, style and size: each an edit or list with its label, in the first two rows.
QGridLayout* TFontDialogWindow::BuildFontFields() {
    auto* grid = new QGridLayout;
    nameEdit_ = new QLineEdit;
    names_ = new QListWidget;
    names_->addItems(FaceNames());
    styles_ = new QListWidget;
    for (const char* s : kStyles) styles_->addItem(QString::fromLatin1(s));
    sizeEdit_ = new QLineEdit;
    sizes_ = new QListWidget;
    for (int s : kSizes) sizes_->addItem(QString::number(s));
    // Labels with their access keys lead to the fields they name.
    auto label = [&](const char* text, QWidget* buddy, int column) {
        auto* l = new QLabel(QString::fromLatin1(text));
        l->setBuddy(buddy);
        grid->addWidget(l, 0, column);
    };
    label("&Font:", nameEdit_, 0);
    label("Font st&yle:", styles_, 1);
    label("&Size:", sizeEdit_, 2);
    grid->addWidget(nameEdit_, 1, 0);
    grid->addWidget(names_, 2, 0);
    grid->addWidget(styles_, 1, 1, 2, 1);
    grid->addWidget(sizeEdit_, 1, 2);
    grid->addWidget(sizes_, 2, 2);
    return grid;
}

QGroupBox* TFontDialogWindow::BuildEffects() {
    auto* effects = new QGroupBox(QStringLiteral("Effects"));
    auto* fx = new QVBoxLayout(effects);
    strikeOut_ = new QCheckBox(QStringLiteral("Stri&keout"));
    underline_ = new QCheckBox(QStringLiteral("&Underline"));
    colors_ = new QComboBox;
    for (const NamedColor& c : kClassicColors) {
        QPixmap swatch(12, 12);
        swatch.fill(ToQColor(c.color));
        colors_->addItem(QIcon(swatch), QString::fromLatin1(c.name),
                         static_cast<unsigned>(c.color));
    }
    fx->addWidget(strikeOut_);
    fx->addWidget(underline_);
    auto* colorLabel = new QLabel(QStringLiteral("&Color:"));
    colorLabel->setBuddy(colors_);
    fx->addWidget(colorLabel);
    fx->addWidget(colors_);
    effects->setVisible(dialog_.Options() & (1u << fdEffects));
    return effects;
}

QGroupBox* TFontDialogWindow::BuildSample() {
    auto* sampleBox = new QGroupBox(QStringLiteral("Sample"));
    auto* sl = new QVBoxLayout(sampleBox);
    sample_ = new QLabel(QStringLiteral("AaBbYyZz"));
    sample_->setAlignment(Qt::AlignCenter);
    sample_->setMinimumSize(160, 48);
    sl->addWidget(sample_);
    return sampleBox;
}

QDialogButtonBox* TFontDialogWindow::BuildButtons() {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);  // Enter confirms
    if (dialog_.Options() & (1u << fdApplyButton)) {
        apply_ = buttons->addButton(QDialogButtonBox::Apply);
        // Apply does nothing without a handler.
        connect(apply_, &QPushButton::clicked, this, [this] {
            // The handler reads the font the dialog shows now.
            if (dialog_.OnApply) {
                dialog_.Font()->Assign(ChosenFont());
                Guarded(&dialog_, [&] { dialog_.OnApply(&dialog_); });
            }
        });
    }
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (NameRefused()) return;
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return buttons;
}

// The fields show the font that was loaded.
void TFontDialogWindow::ShowLoaded() {
    const QString name = QString::fromStdString(loaded_.Name());
    nameEdit_->setText(name);
    SelectText(names_, name);
    int style = ((loaded_.Style() & fsBold) ? 2 : 0) + ((loaded_.Style() & fsItalic) ? 1 : 0);
    styles_->setCurrentRow(style);
    sizeEdit_->setText(QString::number(loaded_.Size()));
    SelectText(sizes_, sizeEdit_->text());
    underline_->setChecked(loaded_.Style() & fsUnderline);
    strikeOut_->setChecked(loaded_.Style() & fsStrikeOut);
    int colorIndex = -1;
    for (int i = 0; i < colors_->count(); ++i)
        if (colors_->itemData(i).toUInt() == loaded_.Color()) colorIndex = i;
    if (colorIndex < 0) {
        // A colour outside the list (a system colour, a custom RGB) is kept as it is.
        QPixmap swatch(12, 12);
        swatch.fill(ToQColor(loaded_.Color()));
        colors_->addItem(QIcon(swatch), QStringLiteral("Custom"),
                         static_cast<unsigned>(loaded_.Color()));
        colorIndex = colors_->count() - 1;
    }
    colors_->setCurrentIndex(colorIndex);
}

// Every change of a field shows in the sample; a pick in a list fills its edit.
void TFontDialogWindow::ConnectFields() {
    connect(names_, &QListWidget::currentTextChanged, this, [this](const QString& t) {
        if (!t.isEmpty()) nameEdit_->setText(t);
    });
    connect(sizes_, &QListWidget::currentTextChanged, this, [this](const QString& t) {
        if (!t.isEmpty()) sizeEdit_->setText(t);
    });
    connect(nameEdit_, &QLineEdit::textChanged, this, [this] { UpdateSample(); });
    connect(sizeEdit_, &QLineEdit::textChanged, this, [this] { UpdateSample(); });
    connect(nameEdit_, &QLineEdit::textEdited, this,
            [this](const QString& t) { FollowTyping(names_, t); });
    connect(sizeEdit_, &QLineEdit::textEdited, this,
            [this](const QString& t) { FollowTyping(sizes_, t); });
    connect(styles_, &QListWidget::currentRowChanged, this, [this] { UpdateSample(); });
    connect(colors_, &QComboBox::currentIndexChanged, this, [this] { UpdateSample(); });
    connect(underline_, &QCheckBox::toggled, this, [this] { UpdateSample(); });
    connect(strikeOut_, &QCheckBox::toggled, this, [this] { UpdateSample(); });
}

// With "only existing fonts" a name that is in no entry of the list is refused: the user
// is told and goes on typing, instead of the name being kept while another font draws.
bool TFontDialogWindow::NameRefused() {
    if (!(dialog_.Options() & (1u << fdForceFontExist))) return false;
    const QString name = nameEdit_->text().trimmed();
    if (name.isEmpty() || !names_->findItems(name, Qt::MatchFixedString).isEmpty()) return false;
    MessageDlg("There is no font with that name.\nChoose a font from the list of fonts.", mtWarning,
               1u << mbOK);
    nameEdit_->setFocus();
    nameEdit_->selectAll();
    return true;
}

TFont TFontDialogWindow::ChosenFont() const {
    TFont f(loaded_);
    std::string name = nameEdit_->text().trimmed().toStdString();
    if (!name.empty()) f.SetName(name);
    bool ok = false;
    int size = sizeEdit_->text().trimmed().toInt(&ok);
    // The size only replaces the height when it was changed: a height the size cannot
    // express exactly stays.
    if (ok && size > 0 && size != loaded_.Size()) f.SetSize(size);
    TFontStyles style = 0;
    int row = styles_->currentRow();
    if (row == 1 || row == 3) style |= fsItalic;
    if (row == 2 || row == 3) style |= fsBold;
    if (underline_->isChecked()) style |= fsUnderline;
    if (strikeOut_->isChecked()) style |= fsStrikeOut;
    f.SetStyle(style);
    f.SetColor(static_cast<TColor>(colors_->currentData().toUInt()));
    return f;
}

void TFontDialogWindow::UpdateSample() {
    TFont f = ChosenFont();
    sample_->setFont(ToQFont(f));
    QPalette p = sample_->palette();
    p.setColor(QPalette::WindowText, ToQColor(f.Color()));
    sample_->setPalette(p);
}

bool RunOwnFontDialog(TFontDialog& dialog) {
    TFontDialogWindow window(dialog);
    if (RunModal(window) != QDialog::Accepted) return false;
    dialog.Font()->Assign(window.ChosenFont());
    return true;
}

}  // namespace fw
