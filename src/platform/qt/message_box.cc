#include "platform/qt/message_box.h"

#include <QAbstractButton>
#include <QMessageBox>

#include "platform/window_controls.h"

namespace brevak {
namespace {

QMessageBox::StandardButtons StandardButtonsOf(MsgBoxButtons buttons) {
  switch (buttons) {
    case MsgBoxButtons::kOkOnly: return QMessageBox::Ok;
    case MsgBoxButtons::kYesNo: return QMessageBox::Yes | QMessageBox::No;
    case MsgBoxButtons::kYesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

void LabelButtons(QMessageBox& box) {
  const std::pair<QMessageBox::StandardButton, QString> labels[] = {
      {QMessageBox::Ok, QStringLiteral("确定")},
      {QMessageBox::Yes, QStringLiteral("是")},
      {QMessageBox::No, QStringLiteral("否")},
      {QMessageBox::Cancel, QStringLiteral("取消")},
  };
  for (const auto& [button, label] : labels) {
    if (QAbstractButton* widget = box.button(button)) widget->setText(label);
  }
}

int ResultOf(int button) {
  switch (button) {
    case QMessageBox::Yes: return vbYes;
    case QMessageBox::No: return vbNo;
    case QMessageBox::Cancel: return vbCancel;
    default: return vbOK;
  }
}

}  // namespace

QString ApplicationTitle() { return QString::fromUtf16(kApplicationTitle); }

int ShowMessageBox(QWidget* parent, const QString& text, MsgBoxButtons buttons) {
  // The tool breaks its lines with CR LF; a lone CR would show as a glyph.
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar(u'\r'), QChar(u'\n'));
  QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), shown, StandardButtonsOf(buttons), parent);
  box.setTextFormat(Qt::PlainText);
  LabelButtons(box);
  if (buttons == MsgBoxButtons::kYesNo) box.setEscapeButton(QMessageBox::No);
  return ResultOf(box.exec());
}

QString RunTimeErrorText(const RunTimeError& error) {
  return QStringLiteral("实时错误 '%1':\n\n").arg(error.number()) +
         QString::fromStdU16String(error.description());
}

void ShowRunTimeError(QWidget* parent, const RunTimeError& error) {
  ShowMessageBox(parent, RunTimeErrorText(error), MsgBoxButtons::kOkOnly);
}

}  // namespace brevak
