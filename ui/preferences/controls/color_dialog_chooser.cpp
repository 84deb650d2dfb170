#include "ui/preferences/controls/color_dialog_chooser.h"

#include <QColorDialog>

namespace vorlane {

void ColorDialogChooser::choose(QWidget& parent, const QColor& initial, const QString& title,
                                std::function<void(const QColor&)> chosen) {
  auto* dialog = new QColorDialog(initial, &parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(title);
  // No ShowAlphaChannel: the mascot's colours are opaque.
  dialog->setOption(QColorDialog::ShowAlphaChannel, false);
  QObject::connect(dialog, &QColorDialog::colorSelected, dialog,
                   [chosen = std::move(chosen)](const QColor& color) {
                     if (color.isValid() && chosen) chosen(color);
                   });
  dialog->open();
}

}  // namespace vorlane
