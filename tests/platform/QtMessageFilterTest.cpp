// What Qt's multimedia and desktop services say about a machine without a
// sound server or a browser stays off the terminal; everything else still
// gets through. That QT_LOGGING_RULES brings them back is tried on the real
// program (tests/e2e/quiet_e2e.sh).

#include "platform/QtMessageFilter.h"

#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace kestrum {
namespace {

QStringList shown;

void Collect(QtMsgType /*type*/, const QMessageLogContext& /*context*/, const QString& message) {
  shown << message;
}

Q_LOGGING_CATEGORY(lcOther, "kestrum.other")

class QtMessageFilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    shown.clear();
    qInstallMessageHandler(Collect);
    QuietQtModuleMessages();
  }
  void TearDown() override { qInstallMessageHandler(nullptr); }

  static void SayWhatQtSays() {
    qWarning("PulseAudioService: pa_context_connect() failed");
    qWarning("No audio device detected");
    qWarning("Unable to detect a web browser to launch '%s'", "https://example.org/");
  }
};

TEST_F(QtMessageFilterTest, TheModulesMachineMessagesAreHeldBack) {
  SayWhatQtSays();
  EXPECT_TRUE(shown.isEmpty()) << shown.join(u'\n').toStdString();
}

TEST_F(QtMessageFilterTest, OtherMessagesGetThrough) {
  qWarning("the program's own warning");
  qWarning("Not PulseAudioService: a text that only mentions it");
  qCWarning(lcOther) << "No audio device detected";
  EXPECT_EQ(shown.size(), 3) << shown.join(u'\n').toStdString();
}

}  // namespace
}  // namespace kestrum
