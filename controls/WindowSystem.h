// What the window system lets the program do with its top-level windows, and
// the placing of a window whose position and size come from the settings.
// Gui layer; used by the shaped window surface, the main window and the
// variables and graph windows.
#pragma once

#include <QString>

class QWidget;

struct TWindowSystem {
  // Windows can be put at a position and tell where they are. Wayland
  // compositors place windows themselves and tell no client its position.
  bool PlacesWindows = true;
  // A window can ask to be kept above all others (Wayland has no such
  // request; its desktops offer their own "keep above").
  bool KeepsOnTop = true;

  // The capabilities of the Qt platform of that name ("xcb", "wayland", ...).
  static TWindowSystem ForPlatform(const QString& platformName);
  // Those of the running application's platform.
  static const TWindowSystem& Current();
};

// Gives a top-level window the size and position read from the settings,
// kept within what the screens can show (see KeepWithinScreens), so no stored
// number can make a window larger than the screens or lose it off them. The
// position is applied only where the window system places windows at the
// program's request.
void PlaceStoredWindow(QWidget* window, int left, int top, int width, int height);
// The same for a window whose size is its own (the main window's comes from
// its skin): only the position is read, kept so the whole window can show.
void PlaceStoredWindow(QWidget* window, int left, int top);
