// A stage that raises shows its message and stops the sequence; a stage that
// returns lets it go on.
#include <gtest/gtest.h>

#include <stdexcept>

#include "app/StageRunner.h"
#include "platform/MessageBox.h"

namespace {

TEST(StageRunner, ErrorsAreShownAndEndTheSequence) {
  platform::MessageRecorder messages;
  QStringList ran;
  bool done = app::RunStage(nullptr, [&] { ran << "1"; }) &&
              app::RunStage(nullptr,
                            [&] {
                              ran << "2";
                              throw std::runtime_error("Cannot open table");
                            }) &&
              app::RunStage(nullptr, [&] { ran << "3"; });
  EXPECT_FALSE(done);
  EXPECT_EQ(ran, (QStringList{"1", "2"}));
  EXPECT_EQ(messages.Messages(), QStringList("Cannot open table"));
}

TEST(StageRunner, KoreanMessagesAndUnknownErrors) {
  platform::MessageRecorder messages;
  EXPECT_FALSE(app::RunStage(nullptr, [] { throw std::runtime_error("키 추가 에러: -5"); }));
  EXPECT_FALSE(app::RunStage(nullptr, [] { throw 42; }));
  EXPECT_TRUE(app::RunStage(nullptr, [] {}));
  EXPECT_EQ(messages.Messages(),
            (QStringList{QString::fromUtf8("키 추가 에러: -5"), "Unknown error"}));
}

}  // namespace
