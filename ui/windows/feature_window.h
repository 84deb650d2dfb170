#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>
#include <functional>

namespace vorlane {

// The one window of a small feature window's controller. The window is made at the first
// showing (sized, centred, titled and closable, never minimisable), kept for the life of the
// host, and given a freshly built content at every showing, so typed text and results never
// survive a close. Escape closes the window unless the content handles it itself. Main
// thread only.
class FeatureWindow final : public QObject {
 public:
  // Closes the host's window; harmless once the host or its window is gone.
  using CloseAction = std::function<void()>;
  // Builds the content to host; the host takes ownership of what it returns.
  using Builder = std::function<QWidget*(CloseAction)>;

  FeatureWindow() = default;
  ~FeatureWindow() override;

  FeatureWindow(const FeatureWindow&) = delete;
  FeatureWindow& operator=(const FeatureWindow&) = delete;

  // With `reuseVisible` and the window on screen, only raises and activates it: the title,
  // the content and everything typed in it stay, and `content` is not called. Otherwise sets
  // the title, puts a new content in (the old one goes once control is back in the loop)
  // and brings the window forward. `size` and centring apply only when the window is made;
  // a fixed window is as tall as its content needs, never narrower or shorter than `size`.
  void show(const QString& title, QSize size, bool resizable, bool reuseVisible,
            const Builder& content);

  // None before the first showing.
  QWidget* window() const { return window_; }
  // None while the window is closed.
  QWidget* content() const { return content_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void makeWindow(QSize size, bool resizable);
  void dropContent();
  void fitHeight();

  QWidget* window_ = nullptr;
  QPointer<QWidget> content_;
  int baseHeight_ = 0;
  bool resizable_ = false;
};

}  // namespace vorlane
