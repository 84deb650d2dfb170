#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

#include "ui/kit/retired_windows.h"

class QScrollArea;

namespace vorlane {

class WindowContent;

// The host of one top-level window: every window of the application is made, placed, raised,
// retired and made again through one. A feature window is made at a showing (sized, centred,
// titled and closable, never minimisable) and given a freshly built content, so typed text
// and results never survive a close; a window that is its own content (preferences, the
// calendar question) comes whole from its maker. A closed window is deleted with its content
// once control is back in the loop, so that it holds no memory, native window or timer while
// nobody looks at it; the next showing makes a new one where the user left the last. The
// host routes Return and Escape to the content's actions (see WindowContent); Escape the
// content declares nothing for closes the window. Main thread only.
class FeatureWindow final : public QObject {
 public:
  // Where a window made again goes.
  enum class Placement { whereLeft, centred };
  // Closes the host's window; harmless once the host or its window is gone.
  using CloseAction = std::function<void()>;
  // Builds the content to host; the host takes ownership of what it returns, and hands its
  // close action to a WindowContent.
  using Builder = std::function<QWidget*(CloseAction)>;

  static constexpr int contentHeight = 0;

  explicit FeatureWindow(Placement placement = Placement::whereLeft) : placement_(placement) {}
  ~FeatureWindow() override;

  FeatureWindow(const FeatureWindow&) = delete;
  FeatureWindow& operator=(const FeatureWindow&) = delete;

  // How a showing treats the window.
  struct ShowOptions {
    // The user may resize it, and a window made again keeps the size the last one had.
    bool resizable = false;
    // A window on screen is only raised, keeping its title, content and typed text.
    bool reuseVisible = false;
  };

  // With `reuseVisible` and the window on screen, only raises and activates it: the title,
  // the content and everything typed in it stay, and `content` is not called. Otherwise sets
  // the title, puts a new content in (the old one goes once control is back in the loop)
  // and brings the window forward. A window made again returns to where the last one was
  // closed (and, when resizable, to its size); the first is centred at `size`. A fixed
  // window is as tall as its content needs, never narrower or shorter than `size`; a height
  // of `contentHeight` makes it exactly as tall as its content, never taller.
  void show(const QString& title, QSize size, ShowOptions options, const Builder& content);

  // Brings the open window forward, or first makes one with `make`, a window that is its own
  // content, placed where the last was closed (with its size too when `keepSize`) or centred.
  // Returns the window; none when there was none and `make` gave none.
  QWidget* open(const std::function<QWidget*()>& make, bool keepSize);

  // Lets the open window go without a close: hidden at once, deleted once control is back in
  // the loop (it may be retiring from its own slot). Its place is not remembered.
  void retire();

  // None before the first showing and once a closed window is deleted; a window just closed
  // stays, hidden, until control is back in the loop.
  QWidget* window() const { return window_; }
  // None while the window is closed.
  QWidget* content() const { return content_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void makeWindow(QSize size, bool resizable);
  void adopt(QWidget* window);
  void setContent(QWidget* content);
  void place();
  WindowContent* contract() const;
  void dropContent();
  void release();
  void fitHeight();
  void scrollContent();

  Placement placement_;
  QPointer<QWidget> window_;
  // Closed and waiting to be deleted: the next showing makes a new window.
  bool closed_ = false;
  // Where the user left the last window, to place the next.
  std::optional<QRect> lastGeometry_;
  QPointer<QWidget> content_;
  // Around the content of a fixed window taller than its screen has room for.
  QPointer<QScrollArea> scroll_;
  // The window is its content: nothing to drop at a close.
  bool whole_ = false;
  int baseHeight_ = 0;
  bool resizable_ = false;
  // Placed before the window manager framed it: kept inside the screen again once framed.
  bool placedBeforeFrame_ = false;
  // Closed windows the loop is still to delete; last, so they go while the rest is here.
  RetiredWindows retired_;
};

}  // namespace vorlane
