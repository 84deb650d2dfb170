#pragma once

#include <QFont>
#include <QLabel>
#include <QString>
#include <array>
#include <utility>

namespace vorlane {

// A plain-text label that wraps at word boundaries and remembers its height for the last few
// widths. Layouts ask a wrapped label for its height many times over at the two widths a
// scrolling list switches between (with and without its scroll bar), and each answer lays
// the text out anew; a long list of such labels then costs more with every row added. The
// remembered heights hold while the text, the font and the selection flags stay the same
// (margins and alignment are meant to be set once, before the label is shown).
//
// Meant for a label whose width the layout decides (a horizontal policy of Ignored): its
// size hints then only need a line's height, and skip the trial layouts QLabel makes to
// find a pleasing width for the text.
class WrappingLabel final : public QLabel {
 public:
  enum class Selection { none, byMouse };

  // A label selectable by mouse becomes so when the pointer first enters it: until then its
  // text is laid out without the text document a selectable label needs, which costs a
  // list of them several times as much to show. Heights are the same either way.
  explicit WrappingLabel(const QString& text, Selection selection = Selection::none,
                         QWidget* parent = nullptr);

  int heightForWidth(int width) const override;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  bool event(QEvent* event) override;

 private:
  static constexpr std::size_t remembered = 4;

  bool selectableOnEnter_ = false;
  mutable QString measuredText_;
  mutable QFont measuredFont_;
  mutable Qt::TextInteractionFlags measuredFlags_;
  // Width and height pairs, the latest first; a width of -1 is an empty slot.
  mutable std::array<std::pair<int, int>, remembered> heights_;
};

}  // namespace vorlane
