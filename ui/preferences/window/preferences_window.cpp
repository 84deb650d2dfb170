#include "ui/preferences/window/preferences_window.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QSystemTrayIcon>
#include <QVBoxLayout>

#include "ui/kit/symbol_image.h"
#include "ui/kit/text_roles.h"
#include "ui/kit/wheel_guard.h"
#include "ui/kit/window_text.h"
#include "ui/mascot_window/qt_screen_provider.h"
#include "ui/preferences/panels/appearance_panel.h"
#include "ui/preferences/panels/desktop_panel.h"
#include "ui/preferences/panels/focus_panel.h"
#include "ui/preferences/panels/general_panel.h"
#include "ui/preferences/panels/preferences_panel.h"
#include "ui/preferences/panels/quiet_panel.h"
#include "ui/preferences/panels/voice_panel.h"
#include "ui/preferences/window/preferences_sidebar.h"

namespace vorlane {
namespace {

QString qt(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

QFrame* divider(QFrame::Shape shape, QWidget* parent) {
  auto* line = new QFrame(parent);
  line->setFrameShape(shape);
  line->setFrameShadow(QFrame::Plain);
  line->setForegroundRole(QPalette::Mid);
  return line;
}

QWidget* sidebarTitle(QWidget* parent) {
  auto* title = new QWidget(parent);
  auto* row = new QHBoxLayout(title);
  row->setContentsMargins(20, 20, 20, 12);
  row->setSpacing(8);
  auto* mark = new QLabel(title);
  mark->setPixmap(symbolImage(QStringLiteral("figure.climbing"), 18, accentColor(*parent),
                              parent->devicePixelRatioF()));
  row->addWidget(mark);
  QLabel* name = plainLabel(QStringLiteral("Vorlane"), title);
  QFont headline = name->font();
  headline.setPixelSize(15);
  headline.setWeight(QFont::DemiBold);
  name->setFont(headline);
  row->addWidget(name, 1);
  return title;
}

}  // namespace

PreferencesWindow::PreferencesWindow(PreferencesStore& store, PreferencesNavigation& navigation,
                                     Services services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowMaximizeButtonHint),
      navigation_(navigation),
      services_(std::move(services)),
      binding_(store) {
  if (!services_.screens) services_.screens = std::make_shared<QtScreenProvider>(nullptr, nullptr);
  setWindowTitle(QStringLiteral("Vorlane Preferences"));
  resize(width, height);
  setMinimumSize(minimumWidth, minimumHeight);

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);

  auto* side = new QWidget(this);
  side->setFixedWidth(185);
  auto* sideColumn = new QVBoxLayout(side);
  sideColumn->setContentsMargins(0, 0, 0, 8);
  sideColumn->setSpacing(8);
  sideColumn->addWidget(sidebarTitle(side));
  sidebar_ = new PreferencesSidebar(navigation_, side);
  sidebar_->setContentsMargins(8, 0, 8, 0);
  sideColumn->addWidget(sidebar_, 1);
  row->addWidget(side);
  row->addWidget(divider(QFrame::VLine, this));

  auto* detail = new QWidget(this);
  auto* detailColumn = new QVBoxLayout(detail);
  detailColumn->setContentsMargins(0, 0, 0, 0);
  detailColumn->setSpacing(0);
  auto* header = new QWidget(detail);
  auto* headerColumn = new QVBoxLayout(header);
  headerColumn->setContentsMargins(24, 24, 24, 24);
  headerColumn->setSpacing(6);
  // Sized with the page under it, which has its own fixed size: a subtitle taken from the
  // user's font would come out smaller than the text it introduces.
  title_ = plainLabel(QString(), header);
  QFont titleFont = title_->font();
  titleFont.setPixelSize(headerTitlePixels);
  titleFont.setWeight(QFont::DemiBold);
  title_->setFont(titleFont);
  headerColumn->addWidget(title_);
  subtitle_ = plainLabel(QString(), header);
  QFont subtitleFont = subtitle_->font();
  subtitleFont.setPixelSize(PreferencesPanel::pageFontPixels);
  subtitle_->setFont(subtitleFont);
  subtitle_->setWordWrap(true);
  setSecondary(*subtitle_);
  headerColumn->addWidget(subtitle_);
  detailColumn->addWidget(header);
  detailColumn->addWidget(divider(QFrame::HLine, detail));
  scroll_ = new QScrollArea(detail);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(true);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  detailColumn->addWidget(scroll_, 1);
  row->addWidget(detail, 1);

  showSection(navigation_.shownSection(), true);
  subscription_ = navigation_.changes().subscribe([this](const std::optional<PreferencesSection>&) {
    showSection(navigation_.shownSection(), false);
  });
  if (services_.followTray) {
    tray_ = services_.followTray([this] {
      if (auto* desktop = dynamic_cast<DesktopPanel*>(panel_)) desktop->setTrayShown(trayShown());
    });
  }
}

PreferencesWindow::~PreferencesWindow() {
  tray_.cancel();
  // The panel follows the binding, which goes with this object's members.
  delete scroll_->takeWidget();
}

bool PreferencesWindow::trayShown() const {
  return services_.trayAvailable ? services_.trayAvailable()
                                 : QSystemTrayIcon::isSystemTrayAvailable();
}

void PreferencesWindow::showSection(PreferencesSection section, bool force) {
  if (section == shown_ && !force) return;
  shown_ = section;
  const PreferencesSectionText& text = sectionText(section);
  title_->setText(qt(text.title));
  subtitle_->setText(qt(text.subtitle));
  QWidget* old = scroll_->takeWidget();
  panel_ = makePanel(section);
  QFont panelFont = panel_->font();
  panelFont.setPixelSize(PreferencesPanel::pageFontPixels);
  panel_->setFont(panelFont);
  wheelScrollsThePage(*panel_);
  scroll_->setWidget(panel_);
  // At once: a panel left for later would still follow the store after the window went.
  delete old;
}

QWidget* PreferencesWindow::makePanel(PreferencesSection section) {
  switch (section) {
    case PreferencesSection::focus:
      return new FocusPanel(binding_, services_.onPreviewCelebration, nullptr);
    case PreferencesSection::quiet:
      return new QuietPanel(
          binding_, services_.calendar ? services_.calendar() : Calendar::current(),
          services_.muteHotKeyName, services_.appNames ? *services_.appNames : AppNames::standard(),
          nullptr);
    case PreferencesSection::voice:
      return new VoicePanel(binding_,
                            {.voices = services_.voices,
                             .onPreview = services_.onPreview,
                             .calendar = services_.calendar,
                             .now = services_.now},
                            nullptr);
    case PreferencesSection::desktop:
      return new DesktopPanel(binding_, *services_.screens, trayShown(), nullptr);
    case PreferencesSection::appearance:
      return new AppearancePanel(binding_,
                                 {.calendar = services_.calendar,
                                  .confirmation = services_.confirmation,
                                  .colors = services_.colors,
                                  .previewRenderer = {}},
                                 nullptr);
    case PreferencesSection::general:
      return new GeneralPanel(binding_, services_.launchAtLogin, nullptr);
  }
  // Every section has its page; a value outside the list shows the first.
  return makePanel(PreferencesSection::desktop);
}

}  // namespace vorlane
