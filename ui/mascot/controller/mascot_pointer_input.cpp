#include "ui/mascot/controller/mascot_pointer_input.h"

#include <QGuiApplication>
#include <QMenu>
#include <cmath>
#include <stdexcept>

#include "platform/logging/log.h"
#include "ui/kit/desktop_texts.h"
#include "ui/mascot_window/column_geometry.h"

namespace vorlane {

namespace {

// Below this a press and release count as a click, which also asks for a visit.
constexpr double clickSlop = 4;

}  // namespace

MascotPointerInput::MascotPointerInput(Dependencies d)
    : host_(d.host ? *d.host
                   : throw std::invalid_argument("the mascot's pointer needs the mascot")),
      preferences_(std::move(d.preferences)),
      pointerLocation_(std::move(d.pointerLocation)),
      trayAvailable_(std::move(d.trayAvailable)),
      doubleClickInterval_(std::move(d.doubleClickInterval)),
      pillGuard_(std::move(d.pillGuard)) {
  if (!preferences_ || !pointerLocation_ || !trayAvailable_ || !doubleClickInterval_ ||
      !pillGuard_) {
    throw std::invalid_argument("the mascot's pointer is missing a dependency");
  }
  hoverPoll_.setInterval(33);
  // The timer is the connection's context: the poll ends with this object.
  QObject::connect(&hoverPoll_, &QTimer::timeout, &hoverPoll_,
                   [this] { updateInteractivity(pointerLocation_()); });
}

MascotPointerInput::~MascotPointerInput() {
  hoverPoll_.stop();
  pillGuard_->cancel();
  if (!std::holds_alternative<std::monostate>(gesture_)) QGuiApplication::restoreOverrideCursor();
}

std::optional<QPointF> MascotPointerInput::dragOrigin() const {
  if (const Pull* pull = std::get_if<Pull>(&gesture_)) return pull->origin;
  return std::nullopt;
}

bool MascotPointerInput::effectiveClickThrough() const {
  return preferences_->preferences().mascotClickThrough && trayAvailable_();
}

bool MascotPointerInput::refreshClickThrough() {
  clickThrough_ = effectiveClickThrough();
  return clickThrough_;
}

QPointF MascotPointerInput::toScenePoint(QPoint global) const {
  const MascotWindow* window = host_.window();
  if (!window) return QPointF(global);
  const QRect win = window->geometry();
  return {static_cast<double>(global.x() - win.x()),
          static_cast<double>(win.y() + win.height() - global.y())};
}

void MascotPointerInput::startWatchingPointer() {
  if (effectiveClickThrough()) {
    clickThrough_ = true;
    ignoresMouseEvents_ = true;
    refreshLiveRects();
    return;
  }
  if (isWatchingPointer_) return;
  isWatchingPointer_ = true;
  refreshLiveRects();
}

void MascotPointerInput::stopWatchingPointer() {
  isWatchingPointer_ = false;
  resignInteractivity();
  refreshLiveRects();
}

void MascotPointerInput::cancelPointerGesture() {
  const bool inGesture = !std::holds_alternative<std::monostate>(gesture_);
  gesture_ = std::monostate{};
  if (MascotScene* scene = host_.scene()) scene->cancelDrag();
  if (inGesture) {
    QGuiApplication::restoreOverrideCursor();
    refreshLiveRects();
  }
}

void MascotPointerInput::yieldToVisit() {
  if (isMoving()) {
    finishMove();
  } else if (dragOrigin()) {
    gesture_ = std::monostate{};
    QGuiApplication::restoreOverrideCursor();
  }
}

void MascotPointerInput::updateInteractivity(QPoint pointer) {
  MascotScene* scene = host_.scene();
  if (!host_.window() || !scene) return;
  if (clickThrough_) {
    ignoresMouseEvents_ = true;
    return;
  }
  if (isMoving()) {
    ignoresMouseEvents_ = false;
    return;
  }
  const QPointF point = toScenePoint(pointer);
  seePillsAt(point);
  if (!scene->interactiveFrame().contains(point)) {
    if (!scene->isDragging()) resignInteractivity();
    return;
  }
  if (!isHovering_) {
    isHovering_ = true;
    host_.keepAnimating();
    scene->showQuickActions();
    hoverPoll_.start();
  }
  if (!scene->isDragging()) ignoresMouseEvents_ = !scene->containsInteractivePoint(point);
  scene->highlightQuickAction(point);
  if (!scene->isDragging()) refreshCursorRects();
}

void MascotPointerInput::resignInteractivity() {
  if (!host_.window()) return;
  hoverPoll_.stop();
  if (!isHovering_ && ignoresMouseEvents_) return;
  isHovering_ = false;
  ignoresMouseEvents_ = true;
  if (MascotScene* scene = host_.scene()) scene->hideQuickActions();
  refreshCursorRects();
  host_.stir(0.5);
}

void MascotPointerInput::refreshCursorRects() {
  MascotView* view = host_.view();
  if (!host_.window() || !view) return;
  std::vector<Rect> rects{grabbableRect()};
  for (const Rect& r : clickableRects()) rects.push_back(r);
  if (rects == previousCursorRects_) return;
  previousCursorRects_ = std::move(rects);
  view->updateCursor(toScenePoint(pointerLocation_()));
  refreshLiveRects();
}

void MascotPointerInput::refreshLiveRects() {
  MascotWindow* window = host_.window();
  if (!window) return;
  MascotScene* scene = host_.scene();
  QVector<QRect> rects;
  if (isMoving()) {
    rects.push_back(QRect(QPoint(), window->size()));
  } else if (scene && isWatchingPointer_ && !clickThrough_) {
    // Scene points are y-up from the bottom; the window counts y down from its top.
    const double height = scene->size().height();
    std::vector<Rect> live{scene->characterHitFrame()};
    for (const Rect& pill : scene->quickActionFrames()) live.push_back(pill);
    for (const Rect& r : live) {
      if (r.isEmpty()) continue;
      const QRect box = QRectF(r.x, height - r.maxY(), r.width, r.height)
                            .toAlignedRect()
                            .intersected(QRect(QPoint(), window->size()));
      if (!box.isEmpty()) rects.push_back(box);
    }
  }
  // In a fidget the character sways in place: the areas only grow to cover it, sparing the X
  // server a new input shape each frame; the exact ones come once the scene settles.
  const FrameDriver* driver = host_.frameDriver();
  const bool fidgeting = driver && driver->isRunning() && driver->isSettling();
  if (fidgeting && rects.size() == liveRects_.size()) {
    for (qsizetype i = 0; i < rects.size(); ++i) rects[i] |= liveRects_[i];
  }
  if (rects == liveRects_) return;
  liveRects_ = rects;
  window->setLiveRects(rects);
}

void MascotPointerInput::forgetScene() {
  pillGuard_->cancel();
  pillSeenUnderPointer_.reset();
  liveRects_.clear();
}

Rect MascotPointerInput::grabbableRect() const {
  const MascotScene* scene = host_.scene();
  return scene ? scene->characterHitFrame() : Rect{};
}

std::vector<Rect> MascotPointerInput::clickableRects() const {
  const MascotScene* scene = host_.scene();
  return scene ? scene->quickActionFrames() : std::vector<Rect>{};
}

void MascotPointerInput::mouseMoved(QPointF to) {
  if (MascotScene* scene = host_.scene()) scene->highlightQuickAction(to);
  seePillsAt(to);
}

std::optional<QuickAction> MascotPointerInput::pillAt(QPointF at) const {
  const MascotScene* scene = host_.scene();
  if (!scene) return std::nullopt;
  for (const QuickActionNode* pill : scene->actionNodes()) {
    if (Rect::from(pill->frame()).contains(at)) return pill->action();
  }
  return std::nullopt;
}

void MascotPointerInput::seePillsAt(QPointF at) {
  const MascotScene* scene = host_.scene();
  pillSeenUnderPointer_ = scene && scene->quickActionsAreInteractive() ? pillAt(at) : std::nullopt;
}

void MascotPointerInput::quickActionsRebuilt() {
  // During a move the pills travel with the monkey under a pointer that moves too.
  if (!host_.window() || isMoving()) return;
  const std::optional<QuickAction> now = pillAt(toScenePoint(pointerLocation_()));
  if (now && now != pillSeenUnderPointer_) {
    pillGuard_->schedule(doubleClickInterval_() / 1000.0, [] {});
  }
  pillSeenUnderPointer_ = now;
}

void MascotPointerInput::mouseDown(QPointF at, bool reposition) {
  MascotScene* scene = host_.scene();
  if (!scene || effectiveClickThrough()) return;
  if (reposition && !host_.isPerformingVisit() && scene->characterHitFrame().contains(at) &&
      host_.window()) {
    const ScreenInfo screen = host_.targetScreen();
    const MascotPlacement saved = host_.savedPlacement(screen);
    gesture_ = Moving{pointerLocation_(), saved, screen, saved};
    host_.holdStillForMove();
    ignoresMouseEvents_ = false;
    QGuiApplication::setOverrideCursor(Qt::ClosedHandCursor);
    refreshLiveRects();
    return;
  }
  if (scene->containsInteractivePoint(at)) {
    if (const std::optional<QuickAction> action = scene->quickAction(at)) {
      if (pillGuard_->isPending()) {
        Log::presentation().debug("click on a pill that has just appeared, ignored");
        return;
      }
      Log::presentation().info("quick action: %{public}s", std::string(rawValue(*action)));
      host_.chooseQuickAction(*action);
    } else if (host_.isPerformingVisit()) {
      host_.endVisitEarly();
    } else {
      gesture_ = Pull{at};
      host_.keepAnimating();
      scene->beginDrag();
      QGuiApplication::setOverrideCursor(Qt::ClosedHandCursor);
    }
    return;
  }
  Log::presentation().debug("click outside the character, resigning interactivity");
  resignInteractivity();
}

void MascotPointerInput::mouseDragged(QPointF to) {
  if (Moving* move = std::get_if<Moving>(&gesture_); move && host_.window()) {
    // The window moves under the pointer, so the pointer's own desktop position counts.
    const QPoint pointer = pointerLocation_();
    const QRect visible = move->screen.availableGeometry;
    move->current = move->initial.moved(pointer.x() - move->origin.x(),
                                        move->origin.y() - pointer.y(), visible.width(),
                                        visible.height(), autoHiddenMenuBarInset(move->screen));
    host_.layOutColumn();
    refreshLiveRects();
    return;
  }
  const std::optional<QPointF> origin = dragOrigin();
  MascotScene* scene = host_.scene();
  if (origin && scene) {
    if (FrameDriver* driver = host_.frameDriver()) driver->setPaused(false);
    scene->updateDrag(to.y() - origin->y());
  }
}

void MascotPointerInput::mouseUp(QPointF at) {
  if (isMoving()) {
    endMove();
    return;
  }
  if (host_.scene() && dragOrigin()) endPull(at);
}

void MascotPointerInput::finishMove() {
  const Moving move = *moving();
  gesture_ = std::monostate{};
  QGuiApplication::restoreOverrideCursor();
  // Saved for the display the move started on, whatever the target is now. The column is
  // already there: the store's announcement finds nothing to move.
  preferences_->modify(
      [&](Preferences& p) { p.mascotPlacements.insert_or_assign(move.screen.id, move.current); });
}

void MascotPointerInput::endMove() {
  finishMove();
  ignoresMouseEvents_ = true;
  host_.stir(0.2);
  refreshLiveRects();
  // The pills came along with the character; they stay while the pointer is still over the
  // mascot and go like after any hover once it is not.
  updateInteractivity(pointerLocation_());
  refreshCursorRects();
}

void MascotPointerInput::endPull(QPointF at) {
  const QPointF origin = *dragOrigin();
  gesture_ = std::monostate{};
  QGuiApplication::restoreOverrideCursor();
  const double distance = std::hypot(at.x() - origin.x(), at.y() - origin.y());
  const bool pulled = host_.scene()->endDrag();
  isHovering_ = false;
  updateInteractivity(pointerLocation_());
  if (pulled || distance < clickSlop) {
    Log::presentation().info("pulled down, vorlaning");
    host_.pullDown();
  }
}

QMenu* MascotPointerInput::menu(QPointF at) {
  const MascotScene* scene = host_.scene();
  if (!scene || !scene->containsInteractivePoint(at)) return nullptr;
  auto* menu = new QMenu;
  QAction* hint = menu->addAction(QString::fromUtf8(mascotMenuHint));
  hint->setEnabled(false);
  // The timer is each action's context: an action triggered after this object is gone does
  // nothing.
  const QObject* context = &hoverPoll_;
  menu->addAction(QStringLiteral("Move left"), context,
                  [this] { host_.setHorizontalPlacement(0.0); });
  menu->addAction(QStringLiteral("Move to center"), context,
                  [this] { host_.setHorizontalPlacement(0.5); });
  menu->addAction(QStringLiteral("Move right"), context,
                  [this] { host_.setHorizontalPlacement(1.0); });
  menu->addAction(QStringLiteral("Reset position"), context, [this] { host_.resetPlacement(); });
  if (trayAvailable_()) {
    menu->addAction(QStringLiteral("Make mascot click-through"), context, [this] {
      // Applied with the presence on the store's announcement.
      preferences_->modify([](Preferences& p) { p.mascotClickThrough = true; });
    });
  } else {
    // No tray: the status menu lives here, so the user always has a way back.
    host_.addStatusMenu(*menu);
  }
  return menu;
}

}  // namespace vorlane
