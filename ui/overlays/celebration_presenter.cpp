#include "ui/overlays/celebration_presenter.h"

#include <QGraphicsView>

namespace vorlane {
namespace {

constexpr double showSeconds = 2.8;

QGraphicsView* makeTransparentView(QWidget* parent, QGraphicsScene* scene) {
  auto* view = new QGraphicsView(scene, parent);
  view->setFrameShape(QFrame::NoFrame);
  view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  view->setBackgroundBrush(Qt::transparent);
  view->setStyleSheet("background: transparent");
  view->viewport()->setAutoFillBackground(false);
  view->setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
  view->setAttribute(Qt::WA_TransparentForMouseEvents);
  return view;
}

}  // namespace

CelebrationPresenter::CelebrationPresenter(RandomGenerator& random,
                                           std::function<bool()> reduceMotion,
                                           std::unique_ptr<DelayedWork> teardown,
                                           std::function<bool()> compositorPresent)
    : random_(random),
      reduceMotion_(std::move(reduceMotion)),
      teardown_(std::move(teardown)),
      compositorPresent_(std::move(compositorPresent)) {}

CelebrationPresenter::~CelebrationPresenter() { dismiss(); }

QPointF CelebrationPresenter::scenePoint(QPointF global, const QRect& screenGeometry) {
  return {global.x() - screenGeometry.x(),
          screenGeometry.y() + screenGeometry.height() - global.y()};
}

void CelebrationPresenter::celebrate(const ScreenInfo& screen, QPointF origin,
                                     const CelebrationColors& colors) {
  dismiss();
  if (!compositorPresent_()) return;
  const QRect frame = screen.geometry;  // the whole display, panels included

  window_ = new OverlayWindow(/*clickThrough=*/true);
  window_->setGeometry(frame);
  scene_ = new CelebrationScene(QSizeF(frame.size()), colors);
  view_ = makeTransparentView(window_, scene_);
  view_->setGeometry(0, 0, frame.width(), frame.height());
  driver_ = new FrameDriver(scene_, scene_);
  window_->orderFront();

  const QPointF point = scenePoint(origin, frame);
  const bool reduce = reduceMotion_ && reduceMotion_();
  scene_->addGlow(point, reduce);
  if (!reduce) scene_->addConfetti(point, random_);
  driver_->start();

  teardown_->schedule(showSeconds, [this] { dismiss(); });
}

void CelebrationPresenter::dismiss() {
  teardown_->cancel();
  if (driver_) driver_->stop();
  if (view_) view_->setScene(nullptr);
  if (window_) window_->hide();
  // The dismissal may run inside a frame of the scene itself.
  if (scene_) scene_->tearDown();
  if (window_) window_->deleteLater();
  window_ = nullptr;
  view_ = nullptr;
  scene_ = nullptr;
  driver_ = nullptr;
}

}  // namespace vorlane
