#pragma once

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QString>
#include <QThread>
#include <set>

#include "tests/support/private_dbus.h"

namespace vorlane::testing {

// A private session bus, and a thread that serves the fakes on it so that a call the test's
// own thread makes and waits on is answered. Every connection made by name is closed at the
// end, before the thread stops.
struct PrivateBusTest : ::testing::Test {
  void SetUp() override {
    thread_.start();
    ASSERT_FALSE(bus_.address().empty()) << "dbus-daemon did not start";
  }
  void TearDown() override {
    for (const QString& name : names_) QDBusConnection::disconnectFromBus(name);
    thread_.quit();
    thread_.wait();
  }
  QDBusConnection connection(const QString& name) {
    names_.insert(name);
    return QDBusConnection::connectToBus(QString::fromStdString(bus_.address()), name);
  }

  PrivateDBus bus_;
  QThread thread_;

 private:
  std::set<QString> names_;
};

}  // namespace vorlane::testing
