// The entry point: the libraries' start-up work, the main window, the
// message loop, the end of the run.
#include "app/Application.h"
#include "app/Fonts.h"
#include "app/FormMain.h"
#include "app/LibraryStartUp.h"

int main(int argc, char** argv) {
  app::TApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("postcode-finder"));
  QApplication::setFont(app::DefaultFont());

  if (!app::StartLibraries()) return 1;

  int result = 0;
  {
    TFormMain FormMain;  // FormCreate runs here
    if (app::EngineEndedTheApplication()) return 1;
    FormMain.show();  // FormActivate runs once the loop has started
    result = QApplication::exec();
  }  // FormDestroy runs here
  return result;
}
