// The folder pickers: a root chooser (in place of drives: the file system's
// root and the home folder) above a tree of the folders under that root.
#pragma once

#include <QString>
#include <QStringList>

class QFileSystemModel;
class QObject;
class QTreeView;

namespace meet::ui {

QStringList PickerRoots();
// The root under which the folder lies (the longest that holds it).
int RootIndexFor(const QString& folder, const QStringList& roots);

// A tree of folders only, one column, no heading, named `name`; its model is
// owned by `owner`. The model reads and sorts folders in the background,
// moving the rows about: the folder chosen with ShowInTree is kept in view
// until the operator scrolls or clicks in the tree.
QTreeView* MakeFolderTree(QObject* owner, const QString& name, QFileSystemModel*& model);
// Opens the tree down to the folder and selects it.
void ShowInTree(QTreeView* tree, QFileSystemModel* model, const QString& folder);

}  // namespace meet::ui
