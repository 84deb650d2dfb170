#include "ui/kit/message_box_prompt.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <memory>
#include <utility>

namespace vorlane {

void MessageBoxPrompt::ask(QWidget& parent, const Confirmation& confirmation,
                           std::function<void(bool confirmed)> answer) {
  auto* box = new QMessageBox(&parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setIcon(QMessageBox::Warning);
  box->setWindowTitle(QStringLiteral("Vorlane"));
  box->setTextFormat(Qt::PlainText);
  box->setText(confirmation.message);
  QPushButton* confirm = box->addButton(
      confirmation.confirmLabel,
      confirmation.destructive ? QMessageBox::DestructiveRole : QMessageBox::AcceptRole);
  QPushButton* cancel = box->addButton(confirmation.cancelLabel, QMessageBox::RejectRole);
  box->setDefaultButton(confirm);
  box->setEscapeButton(cancel);

  const QPointer<QWidget> asker(&parent);
  auto pending = std::make_shared<std::function<void(bool)>>(std::move(answer));
  QObject::connect(box, &QMessageBox::finished, box, [box, confirm, asker, pending](int) {
    // Taken out first: the answer may close the window, and with it this box.
    const auto reply = std::exchange(*pending, nullptr);
    if (!reply || !asker) return;
    reply(box->clickedButton() == confirm);
  });
  box->open();
}

}  // namespace vorlane
