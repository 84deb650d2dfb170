#include "ui/preferences/window/preferences_sidebar.h"

#include <QSignalBlocker>

#include "ui/kit/symbol_image.h"
#include "ui/kit/window_text.h"

namespace vorlane {
namespace {

constexpr int sectionRole = Qt::UserRole + 1;

}  // namespace

PreferencesSidebar::PreferencesSidebar(PreferencesNavigation& navigation, QWidget* parent)
    : QListWidget(parent), navigation_(navigation) {
  setFrameShape(QFrame::NoFrame);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setIconSize(QSize(18, 18));
  setFocusPolicy(Qt::StrongFocus);
  QFont rowFont = font();
  rowFont.setPixelSize(14);
  QFont headerFont = font();
  headerFont.setPixelSize(11);
  headerFont.setWeight(QFont::DemiBold);
  const QColor symbolColor = accentColor(*this);
  const QColor selectedColor = palette().color(QPalette::HighlightedText);
  // The list sits on the window's own background, as a sidebar does.
  QPalette sidebarPalette = palette();
  sidebarPalette.setColor(QPalette::Base, sidebarPalette.color(QPalette::Window));
  setPalette(sidebarPalette);

  std::string_view group;
  for (const PreferencesSection section : allPreferencesSections) {
    const PreferencesSectionText& text = sectionText(section);
    if (text.group != group) {
      group = text.group;
      auto* header = new QListWidgetItem(QString::fromUtf8(group.data(), qsizetype(group.size())));
      header->setFlags(Qt::NoItemFlags);
      header->setFont(headerFont);
      header->setForeground(secondaryTextColor(*this));
      header->setSizeHint(QSize(0, 30));
      addItem(header);
    }
    auto* item =
        new QListWidgetItem(QString::fromUtf8(text.title.data(), qsizetype(text.title.size())));
    item->setData(sectionRole, static_cast<int>(section));
    item->setFont(rowFont);
    item->setSizeHint(QSize(0, 32));
    // On the highlight the accent-coloured symbol would vanish: it takes the highlighted text's.
    const QString symbol = QString::fromUtf8(text.symbol.data(), qsizetype(text.symbol.size()));
    QIcon icon(symbolImage(symbol, 18, symbolColor, devicePixelRatioF()));
    icon.addPixmap(symbolImage(symbol, 18, selectedColor, devicePixelRatioF()), QIcon::Selected);
    item->setIcon(icon);
    addItem(item);
  }
  showSelection(navigation_.selection());
  connect(this, &QListWidget::itemSelectionChanged, this, &PreferencesSidebar::selectionEdited);
  subscription_ = navigation_.changes().subscribe(
      [this](const std::optional<PreferencesSection>& selection) { showSelection(selection); });
}

QListWidgetItem* PreferencesSidebar::row(PreferencesSection section) const {
  for (int i = 0; i < count(); ++i) {
    QListWidgetItem* candidate = item(i);
    if (candidate->flags() != Qt::NoItemFlags &&
        candidate->data(sectionRole).toInt() == static_cast<int>(section)) {
      return candidate;
    }
  }
  return nullptr;
}

void PreferencesSidebar::showSelection(std::optional<PreferencesSection> selection) {
  const QSignalBlocker blocker(this);
  clearSelection();
  if (!selection) return;
  if (QListWidgetItem* item = row(*selection)) {
    item->setSelected(true);
    setCurrentItem(item, QItemSelectionModel::NoUpdate);
  }
}

void PreferencesSidebar::selectionEdited() {
  const QList<QListWidgetItem*> chosen = selectedItems();
  if (chosen.isEmpty()) {
    navigation_.setSelection(std::nullopt);
    return;
  }
  navigation_.setSelection(
      static_cast<PreferencesSection>(chosen.first()->data(sectionRole).toInt()));
}

}  // namespace vorlane
