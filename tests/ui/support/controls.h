#pragma once
// Finding a window's controls by objectName and pressing its buttons, as the
// window tests do.
#include <QLatin1String>
#include <QObject>
#include <QPushButton>
#include <QTest>

namespace tavrel::ui::test {

// The child named `name`; the test stops when there is none.
template <class T>
T* Find(QObject& root, const char* name) {
  T* found = root.findChild<T*>(QLatin1String(name));
  if (found == nullptr) qFatal("no control %s", name);
  return found;
}

inline void Click(QObject& root, const char* name) { QTest::mouseClick(Find<QPushButton>(root, name), Qt::LeftButton); }

}  // namespace tavrel::ui::test
