#include "ui/preferences/controls/mascot_style_preview.h"

#include <QPainter>

#include "ui/mascot/character/character_factory.h"
#include "ui/mascot/scene/mascot_scene.h"
#include "ui/mascot/scene/mascot_theme.h"

namespace vorlane {

MascotStylePreview::MascotStylePreview(QWidget* parent, Renderer renderer)
    : QWidget(parent),
      renderer_(renderer ? std::move(renderer) : Renderer(&MascotStylePreview::renderScene)),
      scene_(std::make_unique<MascotScene>(sceneSize, makeMascotCharacter())) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  // No frame driver ever steps this scene: it holds the pose it is given.
  scene_->setCalm(true);
  scene_->setInteractionsEnabled(false);
  scene_->arrangeSessionPose(0.75, QStringLiteral("16:24"), QStringLiteral("Your next step"));
}

MascotStylePreview::~MascotStylePreview() = default;

QSize MascotStylePreview::sizeHint() const { return sceneSize.toSize(); }

QImage MascotStylePreview::renderScene(MascotScene& scene, qreal devicePixelRatio) {
  QImage image((scene.size() * devicePixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return image;
  // The painter works in points on an image of device pixels: sharp on a 2x screen.
  image.setDevicePixelRatio(devicePixelRatio);
  scene.renderInto(image);
  return image;
}

void MascotStylePreview::showAppearance(const MascotAppearance& appearance, bool dark) {
  if (renderedAppearance_ == appearance && renderedDark_ == dark &&
      renderedRatio_ == devicePixelRatioF()) {
    return;
  }
  // The theme first: the appearance's rope and banner colours are resolved against it.
  scene_->applyTheme(dark ? MascotTheme::dark() : MascotTheme::light());
  scene_->applyAppearance(appearance);
  renderedAppearance_ = appearance;
  renderedDark_ = dark;
  render();
}

void MascotStylePreview::render() {
  renderedRatio_ = devicePixelRatioF();
  // Recorded even when no image comes back, so the same values are not tried again.
  QImage image = renderer_(*scene_, renderedRatio_);
  if (!image.isNull()) image_ = std::move(image);
  update();
}

void MascotStylePreview::setBackdrop(const QColor& color) {
  backdrop_ = color;
  update();
}

void MascotStylePreview::paintEvent(QPaintEvent*) {
  // Moved to a screen of another pixel ratio: the same picture, drawn sharp for it.
  if (renderedAppearance_ && renderedRatio_ != devicePixelRatioF()) render();
  QPainter painter(this);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
  if (backdrop_.isValid()) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(backdrop_);
    painter.drawRoundedRect(QRectF(rect()), 8, 8);
  }
  if (image_.isNull()) return;
  const QSizeF shown = sceneSize.scaled(QSizeF(size()), Qt::KeepAspectRatio);
  const QRectF target((width() - shown.width()) / 2, (height() - shown.height()) / 2, shown.width(),
                      shown.height());
  painter.drawImage(target, image_);
}

}  // namespace vorlane
