#pragma once
// What a screen reader sees of our popup menus: each open level is a popup menu whose
// children are its entries as menu items (separators as separators), named by their
// captions without the access-key marks, with their checked and disabled states; the
// selected entry is the focus. The tracker announces levels opening and closing and the
// selection moving, as a reader follows them.

class QAccessibleEvent;

namespace fw {

class TMenuLevelWindow;

// Makes Qt ask us for the interfaces of the level windows, and of the application, which
// lists the open levels among its windows. Once per process, before a reader asks.
void InstallMenuAccessibility();

// Announcements; they cost nothing while no reader listens.
void AccessibleMenuOpened(TMenuLevelWindow* level);
void AccessibleMenuClosing(TMenuLevelWindow* level);
// The level's selected entry is where the reader's focus is now.
void AccessibleMenuFocus(TMenuLevelWindow* level);

// Also hands every announcement to this function (null: nobody), whether or not a reader
// listens: the offscreen platform has no bridge to hear them.
using TMenuAnnouncementListener = void (*)(QAccessibleEvent*);
void SetMenuAnnouncementListener(TMenuAnnouncementListener listener);

}  // namespace fw
