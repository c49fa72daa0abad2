// The small pieces every screen's widgets are built from: text conversion
// between the core's UTF-8 and Qt, control names of indexed controls
// ("txtJun_3"), named buttons and labels, and the fixed-width list font.
#pragma once

#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <string>

#include "core/printer.h"  // kGothic
#include "platform/qt_printer.h"

namespace meet::ui {

inline QString Q(const std::string& s) { return QString::fromStdString(s); }
inline QString Q(const char* s) { return QString::fromUtf8(s); }
inline std::string S(const QString& s) { return s.toStdString(); }

// The objectName of control `index` of an indexed control: "txtJun_3".
inline QString Indexed(const QString& name, int index) { return name + "_" + QString::number(index); }

inline bool IsEnter(const QKeyEvent* key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }

inline QPushButton* Button(const QString& name, const QString& caption, const QString& tip = {}) {
  auto* b = new QPushButton(caption);
  b->setObjectName(name);
  if (!tip.isEmpty()) b->setToolTip(tip);
  return b;
}

// A label showing its text as it stands (never as rich text).
inline QLabel* Label(const QString& name, const QString& text = {}) {
  auto* l = new QLabel(text);
  l->setObjectName(name);
  l->setTextFormat(Qt::PlainText);
  return l;
}

// The lists' font: a fixed-width Japanese font, a full-width character two
// half-width columns wide, so that the columns of the lines line up.
inline QFont ListFont() {
  QFont font(MapFontFamily(kGothic));
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  font.setPointSize(10);
  return font;
}

}  // namespace meet::ui
