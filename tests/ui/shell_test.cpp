// The shell: its unrecoverable-failure box and exit status, seen from outside by running
// shell_fault_helper as a child process, and its normal end; plus the floating-point reset.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "shell/allocation.h"
#include "shell/fatal_error.h"
#include "shell/floating_point.h"
#include "ui/code_page_936.h"

#ifndef ZENDREL_FAULT_HELPER
#error "ZENDREL_FAULT_HELPER names the helper executable"
#endif

namespace zendrel {
namespace {

struct HelperRun {
  bool finished = false;
  int exitCode = -1;
  QList<QByteArray> lines;
};

// A watchdog: a helper that has not ended after this long is hanging, most likely on a modal
// box that nothing dismisses, and the test fails instead of waiting for ever.
constexpr int kWatchdogMilliseconds = 30'000;

HelperRun runHelper(const QString& scenario, const QString& workingDirectory = QString()) {
  QProcess helper;
  helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  if (!workingDirectory.isEmpty()) helper.setWorkingDirectory(workingDirectory);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  helper.setProcessEnvironment(environment);
  helper.start(QStringLiteral(ZENDREL_FAULT_HELPER), {scenario});
  HelperRun run;
  run.finished = helper.waitForFinished(kWatchdogMilliseconds);
  if (!run.finished) {
    helper.kill();
    helper.waitForFinished();
  }
  run.exitCode = helper.exitStatus() == QProcess::NormalExit ? helper.exitCode() : -1000;
  for (const QByteArray& line : helper.readAllStandardOutput().split('\n')) {
    if (!line.isEmpty()) run.lines.push_back(line);
  }
  return run;
}

QList<QByteArray> boxLines(const HelperRun& run) {
  QList<QByteArray> boxes;
  for (const QByteArray& line : run.lines) {
    if (line.startsWith("box ") || line.startsWith("unexpected")) boxes.push_back(line);
  }
  return boxes;
}

QByteArray expectedBox(const QString& message) {
  return "box caption=" + QStringLiteral("错误").toUtf8().toHex() +
         " icon=critical buttons=OK; modal=yes text=" +
         (QStringLiteral("运行时出错!\r\n\r\n错误信息：") + message + QStringLiteral("\r\n"))
             .toUtf8()
             .toHex();
}

struct FailureCase {
  const char* scenario;
  const char* message;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.scenario; }

class FatalErrorBox : public testing::TestWithParam<FailureCase> {};

TEST_P(FatalErrorBox, ShowsOneErrorBoxThenExitsWithMinusOneWithoutTheExitHook) {
  const FailureCase& c = GetParam();
  const HelperRun run = runHelper(c.scenario);
  ASSERT_TRUE(run.finished) << "the helper hung; output so far: " << run.lines.join('|').data();
  const QList<QByteArray> boxes = boxLines(run);
  ASSERT_EQ(boxes.size(), 1) << run.lines.join('|').data();
  EXPECT_EQ(boxes[0], expectedBox(QString::fromUtf8(c.message)));
  EXPECT_EQ(run.exitCode, 255);  // -1 as an 8-bit exit status
  EXPECT_FALSE(run.lines.contains("exit hook called"));
  EXPECT_FALSE(run.lines.contains("scenario did not fail"));
}

INSTANTIATE_TEST_SUITE_P(Failures, FatalErrorBox,
                         testing::Values(FailureCase{"window", "载入启动窗口失败"},
                                         FailureCase{"missing", "载入启动窗口失败"},
                                         FailureCase{"descriptions", "载入窗口模板数据段出错!"},
                                         FailureCase{"memory", "分配 100 字节内存失败!"}),
                         [](const testing::TestParamInfo<FailureCase>& info) {
                           return std::string(info.param.scenario);
                         });

TEST(ShellEnd, ClosingTheWindowEndsTheLoopRunsTheExitHookOnceAndExitsWithZero) {
  QTemporaryDir elsewhere;
  ASSERT_TRUE(elsewhere.isValid());
  const HelperRun run = runHelper("normal", elsewhere.path());
  ASSERT_TRUE(run.finished) << run.lines.join('|').data();
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.lines.count("exit hook called"), 1);
  EXPECT_TRUE(run.lines.contains("loop ended"));
  EXPECT_TRUE(boxLines(run).isEmpty());
  // Started elsewhere, the shell works in the program's own directory.
  const QString programDirectory = QFileInfo(QStringLiteral(ZENDREL_FAULT_HELPER)).canonicalPath();
  EXPECT_TRUE(run.lines.contains("cwd=" + programDirectory.toUtf8())) << run.lines.join('|').data();
}

TEST(FatalErrorText, LeavesOutTheMessagePartsForAnEmptyMessage) {
  EXPECT_EQ(fatalErrorText(QString()), QStringLiteral("运行时出错!\r\n\r\n"));
  EXPECT_EQ(fatalErrorText("x"), QStringLiteral("运行时出错!\r\n\r\n错误信息：x\r\n"));
}

TEST(AllocationFailureMessage, GivesTheSizeInDecimal) {
  EXPECT_EQ(fromCodePage936(allocationFailureMessage(100)),
            QStringLiteral("分配 100 字节内存失败!"));
  EXPECT_EQ(fromCodePage936(allocationFailureMessage(4000000000u)),
            QStringLiteral("分配 4000000000 字节内存失败!"));
}

TEST(FloatingPointReset, LoadsControlWord037F) {
  resetFloatingPoint();
  const std::optional<std::uint16_t> word = x87ControlWord();
#if defined(__i386__) || defined(__x86_64__)
  ASSERT_TRUE(word.has_value());
  EXPECT_EQ(*word, 0x037F) << std::hex << *word;
#else
  EXPECT_FALSE(word.has_value());
#endif
}

}  // namespace
}  // namespace zendrel
