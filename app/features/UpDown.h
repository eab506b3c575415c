#pragma once
// An up-down arrow pair attached to an edit: each click steps the edit's number by one within
// [Min, Max]; a text that is not a number steps from the nearest end of the range.

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace vyn {

class TUpDown : public QWidget {
  Q_OBJECT
public:
  TUpDown(QLineEdit* associate, int min, int max, QWidget* parent = nullptr);

  int Min;
  int Max;
  QLineEdit* Associate;
  QToolButton* btnUp;
  QToolButton* btnDown;

  void Step(int delta);
};

}  // namespace vyn
