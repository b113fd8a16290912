#include "framework/menus/menutext.h"

#include "framework/graphics/font.h"
#include "framework/graphics/qtgraphics.h"
#include "platform/sysmetrics.h"

namespace fw {

QFont MenuFont() {
    platform::LogFont lf = platform::NonClientMenuFont();
    TFont f;
    f.SetName(lf.faceName);
    f.SetHeight(lf.height);
    TFontStyles s = 0;
    if (lf.weight > 500) s |= fsBold;
    if (lf.italic) s |= fsItalic;
    if (lf.underline) s |= fsUnderline;
    if (lf.strikeOut) s |= fsStrikeOut;
    f.SetStyle(s);
    return ToQFont(f);
}

QChar MenuAccessKey(const QString& s) {
    for (int i = 0; i + 1 < s.size(); ++i) {
        if (s[i] != '&') continue;
        if (s[i + 1] == '&') {
            ++i;
            continue;
        }
        return s[i + 1].toUpper();
    }
    return QChar();
}

void SplitMenuText(const std::string& text, QString& caption, QString& shortcut) {
    QString t = QString::fromStdString(text);
    int tab = t.indexOf('\t');
    caption = tab < 0 ? t : t.left(tab);
    shortcut = tab < 0 ? QString() : t.mid(tab + 1);
}

QString MenuSpokenName(const std::string& text) {
    QString caption, shortcut;
    SplitMenuText(text, caption, shortcut);
    QString out;
    out.reserve(caption.size());
    for (int i = 0; i < caption.size(); ++i) {
        // "&&" stands for one "&"; a lone "&" (a trailing one too) only marks the key.
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') out += '&', ++i;
            continue;
        }
        out += caption[i];
    }
    return out.trimmed();
}

}  // namespace fw
