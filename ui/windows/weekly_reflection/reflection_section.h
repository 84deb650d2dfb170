#pragma once

#include <QString>
#include <QWidget>
#include <string>
#include <vector>

class QLabel;
class QVBoxLayout;

namespace vorlane {

// One titled list of the weekly reflection: the title with its symbol, then one bulleted,
// selectable line per value in the given order (equal values each get a line), or the empty
// sentence when there are none.
class ReflectionSection final : public QWidget {
 public:
  ReflectionSection(const QString& title, const QString& symbol, const QString& emptySentence,
                    QWidget* parent = nullptr);

  // Lines already shown keep their label (and any selection in it) when their text is unchanged.
  void setValues(const std::vector<std::string>& values);

  // The lines now listed, top first; none while the empty sentence shows.
  const std::vector<QLabel*>& lines() const { return lines_; }
  QLabel* emptyLine() const { return empty_; }

 private:
  QVBoxLayout* column_ = nullptr;
  QLabel* empty_ = nullptr;
  std::vector<QLabel*> lines_;
};

}  // namespace vorlane
