// The derivation as a picture, as its user meets it: the view opened from a refuted proof's
// report shows the axioms and the negated query as leaves, each resolvent with its name, formula
// and degree, and the refutation at the root; it exports SVG and PNG files where the user saved
// last; without a refutation it cannot be opened, and without Graphviz it says so.
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "ui/support/window_fixture.h"

using namespace velmoran;
using namespace velmoran::ui;
using namespace velmoran::ui::test;

namespace {

// What the picture says, read from its SVG: the lines of text drawn in each node, and the edges
// as "PARENT->CHILD" from the titles Graphviz gives them.
struct TPicture {
  QSet<QString> Texts;
  QSet<QString> Edges;
};

TPicture Read(const QByteArray& svg) {
  TPicture picture;
  QXmlStreamReader xml(svg);
  QString group;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == u"g") {
      group = xml.attributes().value("class").toString();
    } else if (xml.name() == u"text") {
      // Graphviz keeps a run of blanks with no-break spaces.
      picture.Texts << xml.readElementText().replace(QChar(0xA0), ' ');
    } else if (xml.name() == u"title" && group == "edge") {
      picture.Edges << xml.readElementText();
    }
  }
  return picture;
}

// The first element of a file after its XML declaration, comments and document type.
QByteArray RootElement(const QByteArray& bytes) {
  qsizetype at = 0;
  while ((at = bytes.indexOf('<', at)) >= 0) {
    if (bytes.mid(at, 2) != "<?" && bytes.mid(at, 2) != "<!") return bytes.mid(at, 4);
    ++at;
  }
  return {};
}

}  // namespace

class DerivationViewTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TProgramParts> parts;
  QTemporaryDir dir;

  // Runs a linear proof of `theory`, saved as NAME in the temporary folder, to its end.
  TEditForm* Proved(const QString& name, const QString& theory) {
    WriteBytes(dir.filePath(name), theory.toLatin1());
    TEditForm* form = parts->NewForm();
    form->OpenFile(dir.filePath(name));
    if (!parts->Press(form, "Linear")) qWarning("the proof did not end");
    return form;
  }
  // Opens the view by its menu item, or by the button beside the proof line, and waits until the
  // layout has ended.
  TDerivationView* Opened(TEditForm* form, bool byButton = false) {
    if (byButton)
      form->findChild<QPushButton*>("DerivationButton")->click();
    else
      form->DerivationAction()->trigger();
    TDerivationView* view = form->DerivationView();
    if (!view) return nullptr;
    QSignalSpy laidOut(view, &TDerivationView::LaidOut);
    if (view->Message() != "Laying out the derivation..." || !laidOut.wait(30000)) return nullptr;
    return view;
  }

 private slots:
  void init() { parts = std::make_unique<TProgramParts>(); }
  void cleanup() { parts.reset(); }

  void RefutedProofShowsItsDerivation() {
    TEditForm* form = Proved("socrates.txt", SocratesTheory());
    QVERIFY(form->OutputPane()->toPlainText().contains("Best refutation degree: 0.9"));
    QVERIFY(form->DerivationAction()->isEnabled());
    QVERIFY(form->findChild<QPushButton*>("DerivationButton")->isVisible());
    TDerivationView* view = Opened(form);
    QVERIFY(view);
    QVERIFY(view->isVisible());
    QCOMPARE(view->windowTitle(), QString("Derivation - socrates.txt"));
    QVERIFY(view->HasPicture());

    // Worked by hand: the negated query ~mortal(socrates) meets the rule's consequent and leaves
    // ~man(socrates) at degree 1 + 1 - 1 = 1; that meets man(socrates) : 0.9 and leaves false at
    // 1 + 0.9 - 1 = 0.9, the degree the report names. The query itself heads the leaves, above
    // its negation.
    const TPicture picture = Read(view->Svg());
    QCOMPARE(picture.Texts,
             QSet<QString>({"f0  (degree 1)", "! [X] : (man(X) => mortal(X))", "f1  (degree 0.9)",
                            "man(socrates)", "query", "mortal(socrates)", "f2  (degree 1)",
                            "~ mortal(socrates)", "r0  (degree 1)", "~ man(socrates)",
                            "refutation  (degree 0.9)", "$false"}));
    QCOMPARE(picture.Edges,
             QSet<QString>({"query->f2", "f2->r0", "f0->r0", "r0->refutation", "f1->refutation"}));

    // The picture goes with the report it belongs to: a new proof closes it, and after one that
    // found nothing it cannot be opened.
    form->Editor()->setPlainText(PaneText("p(a);\n?- q(b);"));
    QVERIFY(parts->Press(form, "Linear"));
    QVERIFY(view->isHidden());
    QVERIFY(!form->DerivationAction()->isEnabled());
    QVERIFY(form->findChild<QPushButton*>("DerivationButton")->isHidden());
    QSignalSpy says(form, &TEditForm::StatusMessage);
    form->ShowDerivation();
    QCOMPARE(says.size(), 1);
    QCOMPARE(says[0][0].toString(), QString("No refutation: there is no derivation to draw."));
  }

  void TheDerivationIsThatOfTheLastQuery() {
    // Both queries are refuted; the report's closing best degree, and so the picture, is the
    // second's: ~man(socrates) against man(socrates) : 0.9 at once, degree 0.9, with no rule.
    TEditForm* form =
        Proved("two.txt", PaneText("\xF7X [man(X) \xF4 mortal(X)];\nman(socrates) : 0.9;\n"
                                   "?- mortal(socrates);\n?- man(socrates);"));
    TDerivationView* view = Opened(form, true);
    QVERIFY(view);
    const TPicture picture = Read(view->Svg());
    QVERIFY(picture.Texts.contains("~ man(socrates)"));
    QVERIFY(picture.Texts.contains("refutation  (degree 0.9)"));
    QVERIFY(!picture.Texts.contains("mortal(socrates)"));
    QVERIFY(!picture.Texts.contains("! [X] : (man(X) => mortal(X))"));
    QCOMPARE(picture.Edges.size(), 3);  // query, the negated query and the fact lead to false
  }

  void NothingToDrawWithoutRefutation() {
    TEditForm* form = parts->NewForm();
    QVERIFY(!form->DerivationAction()->isEnabled());  // before any proof
    form->Editor()->setPlainText(EndlessTheory());
    QSignalSpy finished(&parts->Runner, &TProofRunner::Finished);
    Button(form, "Breadth")->click();
    QVERIFY(!form->DerivationAction()->isEnabled());
    QVERIFY(parts->Press(form, "&Stop"));
    QVERIFY(!form->DerivationAction()->isEnabled());
    form->ShowDerivation();
    QVERIFY(!form->DerivationView());
  }

  void ExportsWhereTheUserSavedLast() {
    TEditForm* form = Proved("socrates.txt", SocratesTheory());
    TDerivationView* view = Opened(form);
    QVERIFY(view);
    // The theory was opened from the temporary folder: the dialog proposes a name there, and a
    // name without an extension gets the picture's.
    QVERIFY(QDir(dir.path()).mkdir("pictures"));
    const QString svg = dir.filePath("pictures/graph");
    parts->Dialogs.FileNames = {svg};
    view->ExportSvg();
    QCOMPARE(parts->Dialogs.Asked.last(), "export: " + dir.filePath("socrates-derivation.svg") +
                                              " (SVG pictures (*.svg);;All files (*))");
    const QByteArray svgBytes = FileBytes(svg + ".svg");
    QCOMPARE(RootElement(svgBytes), QByteArray("<svg"));
    QCOMPARE(Read(svgBytes).Texts, Read(view->Svg()).Texts);

    // The next dialog starts where the last picture went; a PNG begins with its signature and
    // holds a picture wider than tall no more than the graph is.
    const QString png = dir.filePath("pictures/graph.png");
    parts->Dialogs.FileNames = {png};
    view->ExportPng();
    QCOMPARE(parts->Dialogs.Asked.last(),
             "export: " + dir.filePath("pictures/socrates-derivation.png") +
                 " (PNG pictures (*.png);;All files (*))");
    QVERIFY(FileBytes(png).startsWith("\x89PNG\r\n\x1a\n"));
    QImage image(png);
    QVERIFY(!image.isNull());
    QVERIFY(image.width() > 100 && image.height() > 100);
    // Not blank: the nodes are drawn in black on white.
    bool dark = false;
    for (int y = 0; y < image.height() && !dark; ++y)
      for (int x = 0; x < image.width() && !dark; ++x) dark = qGray(image.pixel(x, y)) < 64;
    QVERIFY(dark);

    // Cancel writes nothing and says nothing.
    const int asked = parts->Dialogs.Asked.size();
    view->ExportPng();
    QCOMPARE(parts->Dialogs.Asked.size(), asked + 1);
    QCOMPARE(QDir(dir.filePath("pictures")).entryList(QDir::Files).size(), 2);

    // A folder that cannot be written is said, and leaves no file.
    parts->Dialogs.FileNames = {dir.filePath("missing/graph.svg")};
    view->ExportSvg();
    QVERIFY(parts->Dialogs.Asked.last().startsWith("error: Cannot write "));
    QVERIFY(!QFile::exists(dir.filePath("missing/graph.svg")));
  }

  void MissingGraphvizIsSaid() {
    parts->Context.DotProgram = dir.filePath("no-such-dot");
    TEditForm* form = Proved("socrates.txt", SocratesTheory());
    TDerivationView* view = Opened(form);
    QVERIFY(view);
    QVERIFY(!view->HasPicture());
    QVERIFY2(view->Message().startsWith("Graphviz's \"" + dir.filePath("no-such-dot") +
                                        "\" program could not be started"),
             qPrintable(view->Message()));
    const int asked = parts->Dialogs.Asked.size();
    view->ExportSvg();
    view->ExportPng();
    QCOMPARE(parts->Dialogs.Asked.size(), asked);  // nothing to export, nothing asked
  }
};

QTEST_MAIN(DerivationViewTest)
#include "derivation_view_test.moc"
