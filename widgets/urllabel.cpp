#include "widgets/urllabel.h"

#include <algorithm>
#include <cctype>

#include "framework/controls/cursors.h"
#include "framework/core/classbuilder.h"
#include "framework/core/setifchanged.h"
#include "platform/links.h"

using namespace fw;

namespace ctl {

const EnumInfo& URLLabelTypeInfo() {
    static const EnumInfo info{"TURLLabelType", {"Auto", "Passive", "Link"}};
    return info;
}
const EnumInfo& URLLinkTypeInfo() {
    static const EnumInfo info{"TURLLinkType", {"http", "mailto"}};
    return info;
}

namespace {
std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}
// An address that names its own secure scheme keeps it: "http://" in front of
// "https://..." would give an address no browser can open.
bool HasOwnScheme(const std::string& url) { return Lower(url.substr(0, 8)) == "https://"; }
std::string PrefixFor(TURLLinkType t, const std::string& url) {
    if (t == http && HasOwnScheme(url)) return {};
    return t == mailto ? "mailto:" : "http://";
}
}  // namespace

const TClassInfo& TURLLabel::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TURLLabel>("TURLLabel", &TCustomLabel::StaticClassInfo())
            // The control's own font is always a copy of one of the two below.
            .Object("Font", &TControl::Font)
            .NotStored()
            .Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, false)
            .NotStored()
            .Object("LinkFont", &TURLLabel::LinkFont)
            .Object("PassiveFont", &TURLLabel::PassiveFont)
            .String("Caption", &TControl::Caption, &TURLLabel::SetCaption, std::string())
            .String("URL", &TURLLabel::URL, &TURLLabel::SetURL, std::nullopt)
            .Boolean("URLAsHint", &TURLLabel::URLAsHint, &TURLLabel::SetURLAsHint, true)
            .Boolean("ShowPrefix", &TURLLabel::ShowPrefix, &TURLLabel::SetShowPrefix, false)
            .Enum("LabelType", &TURLLabel::LabelType, &TURLLabel::SetLabelType, URLLabelTypeInfo(),
                  Auto)
            .Enum("LinkType", &TURLLabel::LinkType, &TURLLabel::SetLinkType, URLLinkTypeInfo(),
                  http)
            .Creatable()
            .Build();
    return info;
}

TURLLabel::TURLLabel(TComponent* owner) : TCustomLabel(owner) {
    // Every label registers the hand again, so the table always holds the picture.
    RegisterScreenCursorResource(crHandCursor, ":/cursors/handcursor.bmp", 0, 0);
    CheckHandler();
    SetParentFont(false);
    linkFont_ = std::make_unique<TFont>(*Font());
    linkFont_->SetColor(clBlue);
    linkFont_->SetStyle(linkFont_->Style() | fsUnderline);
    passiveFont_ = std::make_unique<TFont>(*Font());
    SetURL(kPlaceholderWebAddress);
    UpdateLook();
    SetShowAccelChar(false);
    urlAsHint_ = true;  // the hint follows at the next change of the link text
}

TURLLabel::~TURLLabel() = default;

bool TURLLabel::LinkState() const {
    return labelType_ == Link || (labelType_ == Auto && handlerAvailable_);
}

std::string TURLLabel::Target() const { return PrefixFor(linkType_, url_) + url_; }

void TURLLabel::CheckHandler() {
    handlerAvailable_ = platform::CurrentLinkBackend().HandlerAvailable(
        linkType_ == mailto ? platform::LinkKind::Mailto : platform::LinkKind::Http);
}

void TURLLabel::UpdateLook() {
    const bool link = LinkState();
    Font()->Assign(link ? *linkFont_ : *passiveFont_);
    if (!Designing()) SetCursor(link ? crHandCursor : crDefault);
}

void TURLLabel::UpdateLinkText() {
    linkText_ = showPrefix_ ? PrefixFor(linkType_, url_) + url_ : url_;
    if (!captionSet_) TControl::SetCaption(linkText_);
    UpdateHint();
}

void TURLLabel::UpdateHint() { SetHint(urlAsHint_ ? linkText_ : std::string()); }

void TURLLabel::SetURL(const std::string& value) {
    if (value == url_) return;
    // The kind follows the address's form; "/" is tested last and wins.
    if (value.find('@') != std::string::npos) linkType_ = mailto;
    if (value.find('/') != std::string::npos) linkType_ = http;
    const std::string head = Lower(value.substr(0, 7));
    url_ = head == "mailto:" || head == "http://" ? value.substr(7) : value;
    UpdateLinkText();
}

void TURLLabel::SetShowPrefix(bool v) {
    showPrefix_ = v;
    UpdateLinkText();
}

void TURLLabel::SetLabelType(TURLLabelType v) {
    if (fw::SetIfChanged(labelType_, v)) UpdateLook();
}

void TURLLabel::SetLinkType(TURLLinkType v) {
    if (!fw::SetIfChanged(linkType_, v)) return;
    CheckHandler();
    if (v == http && url_ == kPlaceholderMailAddress) SetURL(kPlaceholderWebAddress);
    if (v == mailto && url_ == kPlaceholderWebAddress) SetURL(kPlaceholderMailAddress);
    UpdateLinkText();
}

void TURLLabel::SetURLAsHint(bool v) {
    if (fw::SetIfChanged(urlAsHint_, v)) UpdateHint();
}

void TURLLabel::SetCaption(const std::string& s) {
    captionSet_ = true;
    TControl::SetCaption(s);
}

void TURLLabel::Click() {
    TCustomLabel::Click();
    // The desktop's answer is not waited for; a failure shows nothing.
    if (LinkState()) platform::CurrentLinkBackend().Open(Target());
}

}  // namespace ctl
