// Finding a screen's controls by their objectName in widget tests.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QWidget>
#include <string>

namespace meet::ui {

// The child control named `name`; a test failure (and nullptr) when missing.
template <class T>
T* Find(QWidget* root, const QString& name) {
  T* found = root->findChild<T*>(name);
  EXPECT_NE(found, nullptr) << name.toStdString();
  return found;
}

template <class T>
T* Find(QWidget* root, const char* name) {
  return Find<T>(root, QString::fromUtf8(name));
}

inline std::string Text(const QString& s) { return s.toStdString(); }

}  // namespace meet::ui
