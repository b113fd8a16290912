#pragma once
// The text of menu entries as the engine lays them out, paints them and reads them out:
// the menu font, the caption and shortcut halves of an entry, and its access key.
#include <QChar>
#include <QFont>
#include <QString>
#include <string>

namespace fw {

inline constexpr int kMenuTextFlags =
    Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextExpandTabs;

// The font the desktop sets for menus.
QFont MenuFont();
// The access key of a caption: the character after a single "&" (upper case), or none.
QChar MenuAccessKey(const QString& caption);
// Splits an entry's text at its first tab into the caption and the shortcut shown right.
void SplitMenuText(const std::string& text, QString& caption, QString& shortcut);
// A caption as it reads: single "&" marks dropped, "&&" as one "&", the shortcut half gone.
QString MenuSpokenName(const std::string& text);

}  // namespace fw
