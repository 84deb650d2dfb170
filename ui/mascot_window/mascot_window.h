#pragma once

#include <xcb/xcb.h>

#include <QPointer>
#include <QRegion>
#include <QVector>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "core/desktop/mascot_placement.h"
#include "ui/mascot_window/frame_presenter.h"
#include "ui/mascot_window/screen_info.h"

namespace vorlane {

// The mascot's column: frameless, translucent, above other windows on every workspace, never
// taking focus, and deaf to the pointer except over its live rectangles. It hosts one
// content widget and knows nothing of what that widget draws. Without a compositor its
// transparent pixels would be black, so it then shows only the pixels the content paints:
// each frame's shown area is taken from that frame's pixels and set before they reach the
// screen, so the area a moving character leaves never shows black. A window manager's frame
// that adds nothing is shaped along with it: the manager would follow only later.
//
// Where it can (X11, a 32-bit visual) the window also shows frames itself: content that
// reports what it changed through `contentAreaChanged` is painted into the backing store and
// sent to the screen at once, without Qt's repaint cycle and the round trip its flush makes
// before the next paint. Any other repaint still goes through Qt.
class MascotWindow final : public QWidget {
 public:
  // Makes the presenter of a shown window; none leaves every frame to Qt.
  using PresenterFactory = std::function<std::unique_ptr<FramePresenter>(MascotWindow&)>;

  // Framed for that display and placement; not shown. Without a factory, frames are shown
  // over Qt's own X connection when there is one.
  MascotWindow(const ScreenInfo& screen, const MascotPlacement& placement,
               PresenterFactory makePresenter = {});
  ~MascotWindow() override;

  static QRect frame(const ScreenInfo& screen, const MascotPlacement& placement);

  // Moves and resizes only when the frame differs; whether it did.
  bool reposition(const ScreenInfo& screen, const MascotPlacement& placement);

  // The widget filling the window; the window owns it. A previous one is deleted later.
  void setContentWidget(QWidget* content);

  // Where the window takes the pointer, in the window's own logical pixels; empty (the
  // start) lets every click through to the windows below.
  void setLiveRects(const QVector<QRect>& rects);
  const QVector<QRect>& liveRects() const { return liveRects_; }

  // Whether a compositor blends the window, as found at the last show.
  bool compositorPresent() const { return compositorPresent_; }

  // Tells the window that the content's pixels changed. Painted frames carry their own
  // shown area; this reads the content afresh only while the window cannot paint (hidden,
  // or not exposed), so the area is right when it can again.
  void contentChanged();
  // Called with true while the window needs `contentChanged` and with false once its painted
  // frames carry the shown area again: listening to every change costs the content (a
  // graphics view then repaints all of itself each frame). Called at once with the need now.
  void setContentChangeListener(std::function<void(bool listen)> listener);
  bool needsContentChanges() const;
  // The shown area now, from the content as it paints at this moment.
  void refreshContentMask();
  // The shown area in device pixels; none while the whole window is shown.
  const std::optional<QRegion>& contentMask() const { return contentMask_; }

  // Whether the window shows the content's frames itself (shown, with a presenter).
  bool presentsFrames() const;
  // Called with true once the window shows frames itself and with false when it stops; at
  // once with the state now. While true, content may stop repainting itself and report each
  // change through `contentAreaChanged` instead.
  void setFramePresentationListener(std::function<void(bool presents)> listener);
  // The content's pixels changed inside `area` (window logical pixels). While the window shows
  // frames itself and is on screen they are painted and shown before this returns; otherwise
  // the content is repainted the usual way.
  void contentAreaChanged(const QRegion& area);

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void applyShapes();
  bool usesContentMask() const { return !compositorPresent_; }
  // A frame was painted inside `repainted` (logical pixels) and is not on screen yet.
  void framePainted(const QRegion& repainted);
  void sendContentMask();
  void forgetFrame();
  // Tells the listener when the need for change notices differs from what it was told.
  void updateContentListening();
  void updatePresentation();
  // Paints `area` into the backing store and shows it; false when the store is not ready.
  bool presentArea(const QRegion& area);

  // Where the column belongs, as last asked.
  QRect target_;
  // Whether the window was sent back to its place since that request.
  bool sentBack_ = false;
  QPointer<QWidget> content_;
  QVector<QRect> liveRects_;
  bool compositorPresent_ = false;
  std::optional<QRegion> contentMask_;
  // The window manager's frame, shaped with the window while it adds nothing of its own;
  // looked for once the window is on screen, forgotten when it leaves.
  xcb_window_t frame_ = XCB_WINDOW_NONE;
  bool frameKnown_ = false;
  // Painted last, over the content: it sees each frame before Qt puts it on screen.
  QWidget* lastPainter_ = nullptr;
  // Whether painted frames could be read, so that they keep the shown area.
  bool framesReadable_ = false;
  bool grabbing_ = false;
  std::function<void(bool)> contentListener_;
  std::optional<bool> listening_;
  PresenterFactory makePresenter_;
  std::unique_ptr<FramePresenter> presenter_;
  std::function<void(bool)> presentationListener_;
  std::optional<bool> presenting_;
};

}  // namespace vorlane
