// The roots the folder pickers offer in place of drives: the file system's
// root and the home folder.
#pragma once

#include <QString>
#include <QStringList>

namespace meet::ui {

QStringList PickerRoots();
// The root under which the folder lies (the longest that holds it).
int RootIndexFor(const QString& folder, const QStringList& roots);

}  // namespace meet::ui
