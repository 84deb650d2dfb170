#include "ui/mascot/scene/scene_presentation.h"

#include <QPointer>
#include <memory>

#include "ui/scene/painted_areas.h"

namespace vorlane {

void presentSceneThroughWindow(MascotWindow& window, MascotView& view, Scene& scene) {
  auto changes = std::make_shared<QMetaObject::Connection>();
  auto drawn = std::make_shared<PaintedAreas>();
  window.setFramePresentationListener([window = &window, view = QPointer<MascotView>(&view),
                                       scene = QPointer<Scene>(&scene), changes,
                                       drawn](bool presents) {
    QObject::disconnect(*changes);
    drawn->forget();
    if (!view || !scene) return;
    view->setViewportUpdateMode(presents ? QGraphicsView::NoViewportUpdate
                                         : QGraphicsView::BoundingRectViewportUpdate);
    if (!presents) return;
    drawn->take(*scene->root());
    window->update();  // Qt paints what changed before now
    // The notice only says that something changed: its areas are not to be trusted (a group
    // moving makes it report the whole scene).
    *changes =
        QObject::connect(scene, &QGraphicsScene::changed, window, [window, view, scene, drawn] {
          if (!view || !scene) return;
          const QRect area = view->changedArea(drawn->changedSince(*scene->root()));
          if (!area.isEmpty()) window->contentAreaChanged(area.translated(view->pos()));
        });
  });
}

}  // namespace vorlane
