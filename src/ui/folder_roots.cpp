#include "ui/folder_roots.h"

#include <QDir>
#include <QFileSystemModel>
#include <QScrollBar>
#include <QTreeView>

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

namespace {

// A folder tree's property: keep its chosen folder in view.
constexpr const char* kFollowCurrent = "followCurrent";

}  // namespace

QTreeView* MakeFolderTree(QObject* owner, const QString& name, QFileSystemModel*& model) {
  model = new QFileSystemModel(owner);
  model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  model->setRootPath(QDir::rootPath());
  auto* tree = new QTreeView;
  tree->setObjectName(name);
  tree->setModel(model);
  for (int column = 1; column < model->columnCount(); ++column) tree->hideColumn(column);
  tree->setHeaderHidden(true);
  tree->setRootIndex(model->index(QDir::rootPath()));
  auto follow = [tree] {
    if (tree->property(kFollowCurrent).toBool() && tree->currentIndex().isValid())
      tree->scrollTo(tree->currentIndex(), QAbstractItemView::PositionAtCenter);
  };
  QObject::connect(model, &QFileSystemModel::directoryLoaded, tree, follow);
  QObject::connect(model, &QFileSystemModel::layoutChanged, tree, follow);
  QObject::connect(model, &QFileSystemModel::rowsInserted, tree, follow);
  auto stopFollowing = [tree] { tree->setProperty(kFollowCurrent, false); };
  QObject::connect(tree, &QTreeView::pressed, tree, stopFollowing);
  QObject::connect(tree->verticalScrollBar(), &QScrollBar::actionTriggered, tree, stopFollowing);
  return tree;
}

void ShowInTree(QTreeView* tree, QFileSystemModel* model, const QString& folder) {
  QModelIndex index = model->index(folder);
  if (!index.isValid()) return;
  for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) tree->expand(up);
  tree->setCurrentIndex(index);
  tree->setProperty(kFollowCurrent, true);
  tree->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

}  // namespace meet::ui
