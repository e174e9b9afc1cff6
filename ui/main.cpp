// velmoran-gui: the desktop application. Start-up registers the symbol font, makes the frame with
// one editor window and the hidden About box, and runs the event loop.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QIcon>
#include <QLocale>
#include <clocale>

#include "ui/dialogs.h"
#include "ui/frame_form.h"
#include "ui/habits.h"
#include "ui/program_icon.h"
#include "ui/proof_runner.h"

using namespace velmoran::ui;

namespace {

// "myfont.ttf" beside the program first, then in the installed data folder.
QString FontPath(const QString& programFolder) {
  QString beside = QDir(programFolder).filePath("myfont.ttf");
#ifdef VELMORAN_DATA_DIR
  if (!QFileInfo::exists(beside)) {
    QString installed = QDir(VELMORAN_DATA_DIR).filePath("myfont.ttf");
    if (QFileInfo::exists(installed)) return installed;
  }
#endif
  return beside;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The toolkit takes the user's locale for C's number formatting on start; theories and reports
  // use "." whatever the locale.
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());

  const QString programFolder = QCoreApplication::applicationDirPath();
  // A missing font is not reported: the panes show the text in whatever face stands in.
  const int font = QFontDatabase::addApplicationFont(FontPath(programFolder));

  QApplication::setApplicationName("Velmoran");
  QApplication::setWindowIcon(ProgramIcon());

  int status = 0;
  {
    TQtDialogs dialogs;
    TProofRunner runner;
    THabits habits(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                               "Velmoran", "velmoran-gui"));
    TAppContext context{dialogs, runner, programFolder, &habits};
    context.LogShownTexts = qEnvironmentVariableIsSet("VELMORAN_LOG_SHOWN");
    TFrameForm frame(context);
    frame.show();
    frame.NewEditor();
    for (const QString& path : QCoreApplication::arguments().mid(1)) frame.OpenPath(path);
    status = QApplication::exec();
  }
  if (font >= 0) QFontDatabase::removeApplicationFont(font);
  return status;
}
