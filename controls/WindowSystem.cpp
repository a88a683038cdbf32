// Window-system capabilities and the placing of stored windows.
#include "controls/WindowSystem.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "platform/DragSnap.h"

TWindowSystem TWindowSystem::ForPlatform(const QString& platformName) {
  TWindowSystem ws;
  // "wayland", "wayland-egl", "wayland-xcomposite-glx", ...
  if (platformName.startsWith(QLatin1String("wayland"))) {
    ws.PlacesWindows = false;
    ws.KeepsOnTop = false;
  }
  return ws;
}

const TWindowSystem& TWindowSystem::Current() {
  static const TWindowSystem current = ForPlatform(QGuiApplication::platformName());
  return current;
}

namespace {

TScreenArea KeptOnScreens(int left, int top, int width, int height) {
  TScreenArea box;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect all = screen->availableVirtualGeometry();
    box = {all.x(), all.y(), all.width(), all.height()};
  }
  return KeepWithinScreens({left, top, width, height}, box);
}

}  // namespace

void PlaceStoredWindow(QWidget* window, int left, int top, int width, int height) {
  const TScreenArea kept = KeptOnScreens(left, top, width, height);
  window->resize(kept.Width, kept.Height);
  if (TWindowSystem::Current().PlacesWindows) window->move(kept.Left, kept.Top);
}

void PlaceStoredWindow(QWidget* window, int left, int top) {
  if (!TWindowSystem::Current().PlacesWindows) return;
  const TScreenArea kept = KeptOnScreens(left, top, window->width(), window->height());
  window->move(kept.Left, kept.Top);
}
