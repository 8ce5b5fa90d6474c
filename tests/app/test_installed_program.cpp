// The finder as an installed program: its folder is not writable, so the
// settings, the index and a table of the user's own live in the user's XDG
// folders, and the whole run completes without a message of its own. And
// the end of the run on SIGTERM and SIGINT.
#include <sys/stat.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <csignal>

#include "FormFixture.h"
#include "app/EndOnSignal.h"
#include "app/UserFolders.h"
#include "tests/search/PostalFixture.h"

namespace {

class InstalledProgram : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    ASSERT_TRUE(home_.isValid());
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
      saved_.append({name, qgetenv(name)});
    qputenv("XDG_CONFIG_HOME", Home("config").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", Home("cache").toLocal8Bit());
    qputenv("XDG_DATA_HOME", Home("data").toLocal8Bit());
    workingDir_ = QDir::currentPath();
    // Root can write into any folder; a folder without write permission
    // counts as installed all the same.
    ASSERT_EQ(::chmod(QFile::encodeName(ProgramDir()).constData(), 0555), 0);
  }
  void TearDown() override {
    form_.reset();
    QDir::setCurrent(workingDir_);
    ::chmod(QFile::encodeName(ProgramDir()).constData(), 0755);
    for (const auto& [name, value] : saved_) qputenv(name, value);
    FormFixture::TearDown();
  }
  QString Home(const QString& child) const { return home_.path() + "/" + child; }

  QTemporaryDir home_;
  QString workingDir_;
  QList<QPair<const char*, QByteArray>> saved_;
};

TEST_F(InstalledProgram, TheRunKeepsItsFilesInTheUsersFolders) {
  const QString userData = Home("data/postcode-finder");
  ASSERT_TRUE(QDir().mkpath(userData));
  searchtest::WriteSmallTable(userData.toStdString());
  EXPECT_EQ(app::TableFolder(), userData + "/");

  ASSERT_TRUE(app::EnterIndexFolder());
  EXPECT_EQ(QDir::currentPath(), Home("cache/postcode-finder"));

  ShowActive();
  Form().FormActivate();  // calendar, single instance, postal data, switch, focus
  EXPECT_TRUE(Form().Table1->IsOpen());
  EXPECT_EQ(Form().Table1->RecCount(), 6);
  EXPECT_TRUE(QFile::exists(Home("cache/postcode-finder/POSTCODE.FTS")));
  Form().CheckBoxMsg->setChecked(false);
  form_.reset();  // the end of the run

  QFile ini(Home("config/postcode-finder/LOG/KOLBRENT.INI"));
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  EXPECT_EQ(ini.readAll(), QByteArray("[QORVA]\nMSG=N\n"));
  // The index build's count is the only message: no write error at the end.
  EXPECT_EQ(messages_.Messages(), QStringList("6개 키 생성"));
  EXPECT_TRUE(QDir(ProgramDir()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST_F(InstalledProgram, WithoutATableOfTheUsersTheShippedOneIsOpened) {
  EXPECT_EQ(app::TableFolder(), ProgramDir() + "/");
  EXPECT_EQ(app::SettingsFilePath(), Home("config/postcode-finder/LOG/KOLBRENT.INI"));
  // A folder that cannot be made leaves the working directory alone.
  QFile blocker(Home("cache"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  EXPECT_FALSE(app::EnterIndexFolder());
  EXPECT_EQ(QDir::currentPath(), workingDir_);
}

TEST(EndOnSignal, SigtermAndSigintCloseTheOpenBoxesAndThenTheWindow) {
  struct sigaction before {};
  ::sigaction(SIGTERM, nullptr, &before);
  for (const int signal : {SIGTERM, SIGINT}) {
    QWidget window;
    window.show();
    app::TEndOnSignal end([&window] { app::CloseForSignal(&window); });
    ASSERT_TRUE(end.Installed());
    // A box waits on a person when the signal comes.
    QMessageBox box(QMessageBox::NoIcon, "t", "a box", QMessageBox::Ok, &window);
    QTimer::singleShot(50, [signal] { std::raise(signal); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &box, &QMessageBox::accept);
    guard.start(10000);
    box.exec();
    EXPECT_TRUE(guard.isActive()) << "the box was not closed by signal " << signal;
    QApplication::processEvents();
    EXPECT_FALSE(window.isVisible()) << "signal " << signal;
  }
  // The handler in place before is back.
  struct sigaction now {};
  ::sigaction(SIGTERM, nullptr, &now);
  EXPECT_EQ(now.sa_handler, before.sa_handler);
}

}  // namespace
