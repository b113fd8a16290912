#include "framework/controls/memo.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <utility>

#include "framework/core/classbuilder.h"
#include "framework/graphics/font.h"
#include "framework/graphics/graphicsobjects.h"
#include "framework/graphics/qtgraphics.h"

namespace fw {

namespace {
const EnumInfo& BorderStyleInfo() {
    static const EnumInfo info{"TBorderStyle", {"bsNone", "bsSingle"}};
    return info;
}
const EnumInfo& ScrollStyleInfo() {
    static const EnumInfo info{"TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}};
    return info;
}

// The editor keeps "\n" line breaks; the control's text keeps CR LF.
QString ToEditor(const std::string& text) {
    std::string s;
    s.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            s += '\n';
        } else {
            s += text[i];
        }
    }
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string FromEditor(const QString& text) {
    std::string s;
    for (char c : text.toStdString()) {
        if (c == '\n') s += '\r';
        s += c;
    }
    return s;
}

// The editor, but Tab and Shift+Tab are never typed: the toolkit moves the focus on with
// them, and where the window has nothing else to take it the key is let go. Typed, they
// would keep a keyboard user inside an editable memo for good.
class MemoEditor : public QPlainTextEdit {
  public:
    explicit MemoEditor(QWidget* parent) : QPlainTextEdit(parent) { setTabChangesFocus(true); }

  protected:
    void keyPressEvent(QKeyEvent* e) override {
        const bool tab = e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab;
        if (tab && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            e->ignore();
            return;
        }
        QPlainTextEdit::keyPressEvent(e);
    }
};
}  // namespace

const TClassInfo& TMemo::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TMemo>("TMemo", &TWinControl::StaticClassInfo())
            .Enum("BorderStyle", &TMemo::BorderStyle, &TMemo::SetBorderStyle, BorderStyleInfo(),
                  bsSingleBorder)
            .StringList("Lines", &TMemo::Lines, &TMemo::SetLines)
            .Integer("MaxLength", &TMemo::MaxLength, &TMemo::SetMaxLength, 0)
            .Boolean("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly, false)
            .Enum("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars, ScrollStyleInfo(),
                  ssNone)
            .Boolean("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap, true)
            .Creatable()
            .Build();
    return info;
}

TMemo::TMemo(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 185, 89);
    SetColor(clWindow);
}

TMemo::~TMemo() = default;

QWidget* TMemo::CreateWidget() {
    QWidget* parentWidget = Parent() ? Parent()->Handle() : nullptr;
    auto* edit = new MemoEditor(parentWidget);
    // What is typed is kept in the text, so that it outlives a new native window.
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this, edit] {
        if (!settingEditor_) text_ = FromEditor(edit->toPlainText());
    });
    widget_.reset(edit);  // ApplyAll works on widget_
    ApplyAll();
    return widget_.release();
}

void TMemo::ApplyAll() {
    auto* edit = dynamic_cast<QPlainTextEdit*>(widget_.get());
    if (!edit) return;
    // Setting the editor's look can report a change of its text: that is not typing.
    const bool wasSetting = std::exchange(settingEditor_, true);
    edit->setReadOnly(readOnly_);
    // Only typing makes anything to undo.
    edit->setUndoRedoEnabled(!readOnly_);
    edit->setFrameShape(borderStyle_ == bsNoBorder ? QFrame::NoFrame : QFrame::StyledPanel);
    edit->setVerticalScrollBarPolicy(scrollBars_ == ssVertical || scrollBars_ == ssBoth
                                         ? Qt::ScrollBarAlwaysOn
                                         : Qt::ScrollBarAlwaysOff);
    edit->setHorizontalScrollBarPolicy(scrollBars_ == ssHorizontal || scrollBars_ == ssBoth
                                           ? Qt::ScrollBarAlwaysOn
                                           : Qt::ScrollBarAlwaysOff);
    // Wrapping is for display: a horizontal scroll bar turns it off, as in the classic control.
    bool wrap = wordWrap_ && scrollBars_ != ssHorizontal && scrollBars_ != ssBoth;
    edit->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    edit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    edit->setFont(ToQFont(*Font()));
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Base, ToQColor(Color()));
    pal.setColor(QPalette::Text, ToQColor(Font()->Color()));
    edit->setPalette(pal);
    edit->viewport()->setPalette(pal);
    edit->document()->setDocumentMargin(1);
    if (edit->toPlainText() != ToEditor(text_)) edit->setPlainText(ToEditor(text_));
    settingEditor_ = wasSetting;
}

void TMemo::ShowText() {
    auto* edit = dynamic_cast<QPlainTextEdit*>(widget_.get());
    if (!edit) return;
    const bool wasSetting = std::exchange(settingEditor_, true);
    edit->setPlainText(ToEditor(text_));
    settingEditor_ = wasSetting;
}

void TMemo::SetText(const std::string& text) {
    text_ = text;
    if (auto* edit = dynamic_cast<QPlainTextEdit*>(widget_.get())) {
        ShowText();
        // The newest lines are at the end: show them.
        edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum());
    }
}

void TMemo::AppendText(const std::string& text) {
    text_ += text;
    auto* edit = dynamic_cast<QPlainTextEdit*>(widget_.get());
    if (!edit) return;
    const bool wasSetting = std::exchange(settingEditor_, true);
    QTextCursor end(edit->document());
    end.movePosition(QTextCursor::End);
    end.insertText(ToEditor(text));
    settingEditor_ = wasSetting;
    edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum());
}

std::vector<std::string> TMemo::Lines() const {
    std::vector<std::string> lines;
    std::string cur;
    for (std::size_t i = 0; i < text_.size(); ++i) {
        char c = text_[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text_.size() && text_[i + 1] == '\n') ++i;
            lines.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

void TMemo::SetLines(const std::vector<std::string>& lines) {
    std::string t;
    for (const std::string& l : lines) t += l + "\r\n";
    SetText(t);
}

void TMemo::SetReadOnly(bool v) {
    readOnly_ = v;
    ApplyAll();
}
void TMemo::SetBorderStyle(TBorderStyle v) {
    borderStyle_ = v;
    ApplyAll();
}
void TMemo::SetScrollBars(TScrollStyle v) {
    scrollBars_ = v;
    ApplyAll();
}
void TMemo::SetWordWrap(bool v) {
    wordWrap_ = v;
    ApplyAll();
}

void TMemo::FontChanged() {
    TWinControl::FontChanged();
    ApplyAll();
}

void TMemo::Invalidate() {
    if (auto* edit = dynamic_cast<QPlainTextEdit*>(widget_.get())) {
        QPalette pal = edit->palette();
        if (pal.color(QPalette::Base) != ToQColor(Color())) {
            pal.setColor(QPalette::Base, ToQColor(Color()));
            edit->setPalette(pal);
            edit->viewport()->setPalette(pal);
        }
    }
    TWinControl::Invalidate();
}

std::string TMemo::DisplayedText() const {
    auto* edit = dynamic_cast<QPlainTextEdit*>(widget_.get());
    return edit ? edit->toPlainText().toStdString() : std::string();
}

}  // namespace fw
