#pragma once
// A label that shows a web or mail address and opens it with the desktop's browser or
// mail program when clicked. It acts as a link always (Link), never (Passive), or only
// when the desktop has a handler for its kind of address (Auto); as a link it draws with
// its link font and shows the pointing hand.
#include <memory>
#include <string>

#include "framework/controls/labels.h"
#include "framework/graphics/font.h"

namespace ctl {

enum TURLLabelType { Auto, Passive, Link };
enum TURLLinkType { http, mailto };
const fw::EnumInfo& URLLabelTypeInfo();
const fw::EnumInfo& URLLinkTypeInfo();

// The pointing hand's number in the screen's cursor table.
inline constexpr int crHandCursor = 8888;
// Defaults of URL, and what a change of LinkType swaps between.
inline constexpr const char* kPlaceholderWebAddress = "www.example.org";
inline constexpr const char* kPlaceholderMailAddress = "someone@example.org";

class TURLLabel : public fw::TCustomLabel {
    FW_CLASS(TURLLabel)
  public:
    explicit TURLLabel(fw::TComponent* owner);
    ~TURLLabel() override;

    fw::TFont* LinkFont() const { return linkFont_.get(); }
    void SetLinkFont(const fw::TFont* f) { linkFont_->Assign(*f); }
    fw::TFont* PassiveFont() const { return passiveFont_.get(); }
    void SetPassiveFont(const fw::TFont* f) { passiveFont_->Assign(*f); }
    const std::string& URL() const { return url_; }
    void SetURL(const std::string& value);
    bool ShowPrefix() const { return showPrefix_; }
    void SetShowPrefix(bool v);
    TURLLabelType LabelType() const { return labelType_; }
    void SetLabelType(TURLLabelType v);
    TURLLinkType LinkType() const { return linkType_; }
    void SetLinkType(TURLLinkType v);
    bool URLAsHint() const { return urlAsHint_; }
    void SetURLAsHint(bool v);
    // From now on the link text no longer replaces the caption.
    void SetCaption(const std::string& s);

    const std::string& LinkText() const { return linkText_; }
    bool CaptionSet() const { return captionSet_; }
    bool HandlerAvailable() const { return handlerAvailable_; }
    // Link, or Auto with a handler found.
    bool LinkState() const;
    // The address a click opens: "http://" or "mailto:" and the URL.
    std::string Target() const;

  protected:
    void Click() override;

  private:
    void CheckHandler();
    void UpdateLook();
    void UpdateLinkText();
    void UpdateHint();

    std::unique_ptr<fw::TFont> linkFont_;
    std::unique_ptr<fw::TFont> passiveFont_;
    std::string url_;
    std::string linkText_;
    bool showPrefix_ = false;
    bool captionSet_ = false;
    TURLLabelType labelType_ = Auto;
    TURLLinkType linkType_ = http;
    bool handlerAvailable_ = false;
    bool urlAsHint_ = false;
};

}  // namespace ctl
