// The engine loader when the library is missing: the message, the request to
// end the application, and tables that then refuse to open.
#include <gtest/gtest.h>

#include "platform/MessageBox.h"
#include "table/DbfEngine.h"
#include "table/DbfTable.h"

namespace {

TEST(EngineLoader, MissingLibraryIsReportedAndEndsTheApplication) {
  platform::MessageRecorder messages;
  TDbfEngine& engine = TDbfEngine::Instance();
  engine.SetLibraryFolder("/nonexistent-folder");
  EXPECT_FALSE(engine.LoadEngine());
  EXPECT_FALSE(engine.EngineLoaded());
  ASSERT_EQ(messages.Messages().size(), 1);
  EXPECT_EQ(messages.Messages()[0],
            "Unable to load required database engine library: libdbfengine.so");
  EXPECT_TRUE(engine.TerminateRequested());

  TDbfTable table;
  table.SetTableName("POSTCODE.DBF");
  EXPECT_THROW(table.Open(), EDbfTableError);
  EXPECT_FALSE(table.Active());
}

TEST(EngineLoader, LoadsFromTheExecutablesFolder) {
  platform::MessageRecorder messages;
  TDbfEngine& engine = TDbfEngine::Instance();
  engine.SetLibraryFolder(QString());
  EXPECT_EQ(engine.LibraryPath(), QString(PF_BIN_DIR) + "/libdbfengine.so");
  EXPECT_TRUE(engine.LoadEngine());
  EXPECT_NE(Dbe().dbe_GoTop, nullptr);
  EXPECT_TRUE(messages.Messages().isEmpty());
}

}  // namespace
