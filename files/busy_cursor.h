#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace scrivlet {

// Shows the busy pointer while it lives and restores the previous pointer when it goes,
// whichever way the scope is left.
class BusyCursor final {
  public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace scrivlet
