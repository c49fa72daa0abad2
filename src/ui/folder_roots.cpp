#include "ui/folder_roots.h"

#include <QDir>

namespace meet::ui {

QStringList PickerRoots() {
  QStringList roots{QDir::rootPath()};
  QString home = QDir::homePath();
  if (home != QDir::rootPath()) roots << home;
  return roots;
}

int RootIndexFor(const QString& folder, const QStringList& roots) {
  int best = 0;
  for (int i = 0; i < roots.size(); ++i) {
    QString root = roots[i].endsWith('/') ? roots[i] : roots[i] + "/";
    if ((folder + "/").startsWith(root) && roots[i].size() > roots[best].size()) best = i;
  }
  return best;
}

}  // namespace meet::ui
