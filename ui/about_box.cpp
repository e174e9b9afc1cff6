#include "ui/about_box.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace velmoran::ui {

namespace {

constexpr const char* kAboutText =
    "About program.\n"
    "Velmoran shows the generalized resolution rule at work on general formulas: connectives, "
    "negations and quantifiers stay where the theory put them, and no formula is ever turned "
    "into clauses. It is an experimental instrument, and some special cases of formulas may "
    "still lead it into errors. Existential variables are not handled in full.\n"
    "\n"
    "Logical characters keyboard layout.\n"
    "Hold Ctrl + Alt and press Q (forall), W (exists), I (implication), "
    "C (conjunction), D (disjunction), N (negation), F (not equal), L (less or equal) or "
    "G (greater or equal); Ctrl + Alt + Space types \"; \", the separator of formulas.";

QLabel* TitleLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  QFont font("Times New Roman");
  font.setBold(true);
  label->setFont(font);
  return label;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle("About");
  setFixedSize(468, 306);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(TitleLabel("Product Name: VELMORAN", this));
  layout->addWidget(TitleLabel("Velmoran.", this));
  auto* icon = new QLabel(this);
  icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
  layout->addWidget(icon);
  layout->addWidget(new QLabel("(Experimental theorem proving application for Fuzzy Logic)", this));
  layout->addWidget(TitleLabel("Important comments:", this));
  auto* comments = new QPlainTextEdit(kAboutText, this);
  comments->setReadOnly(true);
  comments->setFont(QFont("MS Sans Serif"));
  layout->addWidget(comments, 1);
  auto* ok = new QPushButton("OK", this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::hide);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  if (QScreen* screen = QApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

}  // namespace velmoran::ui
