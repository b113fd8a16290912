#include "framework/controls/simplememo.h"

#include <QPlainTextEdit>
#include <QScrollBar>

#include "framework/core/classbuilder.h"
#include "framework/graphics/graphicsobjects.h"

namespace fw {

namespace {
const EnumInfo& ScrollStyleInfo() {
    static const EnumInfo info{"TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}};
    return info;
}
}  // namespace

const TClassInfo& TSimpleMemo::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TSimpleMemo>("TSimpleMemo", &TWinControl::StaticClassInfo())
            .StringList("Lines", &TSimpleMemo::LineList, &TSimpleMemo::SetLineList)
            .Boolean("ReadOnly", &TSimpleMemo::ReadOnly, &TSimpleMemo::SetReadOnly, false)
            .Enum("ScrollBars", &TSimpleMemo::ScrollBars, &TSimpleMemo::SetScrollBars,
                  ScrollStyleInfo(), ssNone)
            .Boolean("WordWrap", &TSimpleMemo::WordWrap, &TSimpleMemo::SetWordWrap, true)
            .Creatable()
            .Build();
    return info;
}

TSimpleMemo::TSimpleMemo(TComponent* AOwner)
    : TWinControl(AOwner), lines_(std::make_unique<TStrings>()) {
    SetColor(clWindow);
    TControl::SetBounds(0, 0, 185, 89);
    lines_->OnChange = [this] { LinesChanged(); };
}

TSimpleMemo::~TSimpleMemo() { lines_->OnChange = nullptr; }

QWidget* TSimpleMemo::CreateWidget() {
    auto* edit = new QPlainTextEdit(Parent() ? Parent()->Handle() : nullptr);
    edit->setFrameShape(QFrame::NoFrame);
    edit->setPlainText(QString::fromStdString(lines_->Text()).chopped(lines_->Count() ? 2 : 0));
    // Typing goes into Lines, so that the text outlives hiding and showing the window.
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this, edit] {
        if (syncing_) return;
        syncing_ = true;
        lines_->SetText(edit->toPlainText().toStdString());
        syncing_ = false;
    });
    widget_.reset(edit);  // ApplyLook works on widget_
    ApplyLook();
    return widget_.release();
}

void TSimpleMemo::LinesChanged() {
    if (syncing_ || !HandleAllocated()) return;
    syncing_ = true;
    auto* edit = static_cast<QPlainTextEdit*>(Handle());
    std::string text = lines_->Text();
    if (text.size() >= 2) text.resize(text.size() - 2);  // no line end after the last line
    edit->setPlainText(QString::fromStdString(text));
    syncing_ = false;
}

void TSimpleMemo::ApplyLook() {
    auto* edit = static_cast<QPlainTextEdit*>(widget_.get());
    if (!edit) return;
    edit->setReadOnly(readOnly_);
    edit->setLineWrapMode(wordWrap_ ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    auto policy = [](bool on) { return on ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff; };
    edit->setVerticalScrollBarPolicy(policy(scrollBars_ == ssVertical || scrollBars_ == ssBoth));
    edit->setHorizontalScrollBarPolicy(
        policy(scrollBars_ == ssHorizontal || scrollBars_ == ssBoth));
    edit->setFont(Font()->ToQFont());
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Base, ToQColor(Color()));
    pal.setColor(QPalette::Text, ToQColor(Font()->Color()));
    edit->setPalette(pal);
    edit->viewport()->setPalette(pal);
}

void TSimpleMemo::SetReadOnly(bool v) {
    readOnly_ = v;
    ApplyLook();
}
void TSimpleMemo::SetWordWrap(bool v) {
    wordWrap_ = v;
    ApplyLook();
}
void TSimpleMemo::SetScrollBars(TScrollStyle v) {
    scrollBars_ = v;
    ApplyLook();
}

void TSimpleMemo::Invalidate() {
    TWinControl::Invalidate();
    ApplyLook();  // the colour may have changed
}

void TSimpleMemo::FontChanged() {
    TWinControl::FontChanged();
    ApplyLook();
}

}  // namespace fw
