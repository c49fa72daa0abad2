#include "ui/frm_lenex.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace meet::ui {

FrmLenex::FrmLenex(MeetFiles meet, QWidget* parent) : QDialog(parent), screen_(std::move(meet)) {
  setObjectName("frmLenex");
  setWindowTitle("Lenex");
  resize(720, 200);
  auto* top = new QVBoxLayout(this);
  auto* kinds = new QHBoxLayout;
  const char* captions[] = {"結果", "スタートリスト", "エントリー"};
  for (int i = 0; i < 3; ++i) {
    optShurui_[i] = new QRadioButton(captions[i]);
    optShurui_[i]->setObjectName(QString("optShurui_%1").arg(i));
    optShurui_[i]->setChecked(i == screen_.optShurui());
    connect(optShurui_[i], &QRadioButton::toggled, this, [this, i](bool on) {
      if (!on) return;
      screen_.txtFile() = txtFile_->text().toStdString();
      screen_.ChooseKind(static_cast<LenexKind>(i));
      txtFile_->setText(QString::fromStdString(screen_.txtFile()));
    });
    kinds->addWidget(optShurui_[i]);
  }
  chkHiroshima_ = new QCheckBox("広島表示");
  chkHiroshima_->setObjectName("chkHiroshima");
  connect(chkHiroshima_, &QCheckBox::toggled, this, [this](bool on) { screen_.ClickUnmask(on); });
  kinds->addStretch();
  kinds->addWidget(chkHiroshima_);
  top->addLayout(kinds);
  txtFile_ = new QLineEdit(QString::fromStdString(screen_.txtFile()));
  txtFile_->setObjectName("txtFile");
  top->addWidget(txtFile_);
  lblResult_ = new QLabel;
  lblResult_->setObjectName("lblResult");
  lblResult_->setWordWrap(true);
  top->addWidget(lblResult_);
  auto* row = new QHBoxLayout;
  row->addStretch();
  auto* write = new QPushButton("書出");
  write->setObjectName("cmdKakidasi");
  connect(write, &QPushButton::clicked, this, [this] {
    screen_.txtFile() = txtFile_->text().toStdString();
    (void)screen_.ClickExport();  // the line says how it went
    lblResult_->setText(QString::fromStdString(screen_.lblResult()));
  });
  row->addWidget(write);
  auto* close = new QPushButton("閉じる");
  close->setObjectName("cmdTojiru");
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  row->addWidget(close);
  top->addLayout(row);
}

}  // namespace meet::ui
