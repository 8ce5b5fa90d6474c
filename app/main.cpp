// The entry point: the libraries' start-up work, the main window, the
// message loop, the end of the run.
#include <QApplication>
#include <QPointer>

#include "app/Application.h"
#include "app/EndOnSignal.h"
#include "app/Fonts.h"
#include "app/FormMain.h"
#include "app/LibraryStartUp.h"
#include "app/UserFolders.h"
#include "platform/StandardStreams.h"

int main(int argc, char** argv) {
  // Before any file is opened: a closed descriptor 0, 1 or 2 would be taken
  // by the first file and written over as the program's output.
  if (!platform::EnsureStandardStreams()) return 1;
  app::TApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("postcode-finder"));
  // The menu entry's name: desktops match the window to its entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("postcode-finder"));
  QApplication::setFont(app::DefaultFont());
  // An installed program keeps POSTCODE.FTS in the user's cache folder; a
  // folder that cannot be made leaves the working directory as it was.
  app::EnterIndexFolder();

  if (!app::StartLibraries()) return 1;

  // Alive until the end of the run, so that a signal also closes a box that
  // the end of the run shows.
  QPointer<QWidget> window;
  app::TEndOnSignal endOnSignal([&window] { app::CloseForSignal(window); });
  int result = 0;
  {
    TFormMain FormMain;  // FormCreate runs here
    if (app::EngineEndedTheApplication()) return 1;
    window = &FormMain;
    FormMain.show();  // FormActivate runs once the loop has started
    result = QApplication::exec();
  }  // FormDestroy runs here
  return result;
}
