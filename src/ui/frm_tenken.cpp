#include "ui/frm_tenken.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace meet::ui {

FrmTenken::FrmTenken(std::filesystem::path meetFolder, std::filesystem::path entryFile, QWidget* parent)
    : QDialog(parent), screen_(std::move(meetFolder), std::move(entryFile)) {
  setObjectName("frmTenken");
  setWindowTitle("点検");
  resize(760, 420);
  auto* top = new QVBoxLayout(this);
  lstTenken_ = new QListWidget;
  lstTenken_->setObjectName("lstTenken");
  lstTenken_->setSelectionMode(QAbstractItemView::SingleSelection);
  lstTenken_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  for (const std::string& line : screen_.lines()) lstTenken_->addItem(QString::fromStdString(line));
  top->addWidget(lstTenken_);
  lblTenken_ = new QLabel(QString::fromStdString(screen_.summary()));
  lblTenken_->setObjectName("lblTenken");
  top->addWidget(lblTenken_);
  auto* row = new QHBoxLayout;
  row->addStretch();
  auto* close = new QPushButton("閉じる");
  close->setObjectName("cmdTojiru");
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  row->addWidget(close);
  top->addLayout(row);
}

}  // namespace meet::ui
