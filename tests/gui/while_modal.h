// A helper for GUI tests of modal windows: runs the code that shows a modal
// window and waits for it, and answers that window as soon as it is up and
// active. A window still open three seconds after the answer fails the test
// and is closed.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <functional>

inline void WhileModal(const std::function<void()>& open,
                       const std::function<void(QWidget*)>& answer) {
  bool answered = false;
  int waited = 0;
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || answered) return;
    // The platform activates a shown window a little later, and only then does
    // it have the keyboard focus; on a slow machine that takes several polls.
    if (!modal->isActiveWindow() && ++waited < 400) return;
    answered = true;
    poll.stop();
    answer(modal);
    // A window the answer failed to close would block the test for good.
    QTimer::singleShot(3000, modal, [modal] {
      if (!modal->isVisible()) return;
      ADD_FAILURE() << "the modal window stayed open";
      if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
      else
        modal->close();
    });
  });
  poll.start();
  open();
  EXPECT_TRUE(answered) << "no modal window was shown";
}
