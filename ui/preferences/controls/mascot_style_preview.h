#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "core/desktop/mascot_appearance.h"

namespace vorlane {

class MascotScene;

// A still of the real mascot scene: the monkey on its rope holding its focus sign, in a given
// appearance and light or dark theme, drawn off screen and shown scaled to fit, centred. The
// scene is never stepped, so nothing moves. It renders again only when the appearance, the
// theme or the screen's pixel ratio differs from the last render. Takes no clicks.
class MascotStylePreview final : public QWidget {
 public:
  // Draws the scene into an image at a device pixel ratio; a null image keeps the previous
  // picture.
  using Renderer = std::function<QImage(MascotScene& scene, qreal devicePixelRatio)>;

  static constexpr QSizeF sceneSize{340, 240};

  // `renderer` defaults to rendering the whole scene into a transparent image.
  explicit MascotStylePreview(QWidget* parent, Renderer renderer = {});
  ~MascotStylePreview() override;

  // Shows `appearance` (expected sanitised) in the dark theme or the light one.
  void showAppearance(const MascotAppearance& appearance, bool dark);

  const QImage& image() const { return image_; }
  // A rounded panel drawn behind the picture, so that a dark theme is seen on a dark desktop;
  // none when invalid.
  void setBackdrop(const QColor& color);
  static QImage renderScene(MascotScene& scene, qreal devicePixelRatio);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void render();

  Renderer renderer_;
  QColor backdrop_;
  std::unique_ptr<MascotScene> scene_;
  QImage image_;
  std::optional<MascotAppearance> renderedAppearance_;
  std::optional<bool> renderedDark_;
  qreal renderedRatio_ = 0;
};

}  // namespace vorlane
