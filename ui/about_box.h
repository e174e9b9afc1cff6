// The About box: made once, hidden, and shown as an ordinary window by "About...".
#pragma once

#include <QDialog>

namespace velmoran::ui {

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* parent = nullptr);
};

}  // namespace velmoran::ui
