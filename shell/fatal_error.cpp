#include "shell/fatal_error.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

#include "shell/shell.h"
#include "ui/code_page_936.h"

namespace zendrel {

namespace {

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A failure while the box is up (memory, most likely) cannot be shown any more.
bool reporting = false;

}  // namespace

QString fatalErrorText(const QString& message) {
  QString text = QStringLiteral("运行时出错!\r\n\r\n");
  if (!message.isEmpty()) text += QStringLiteral("错误信息：") + message + QStringLiteral("\r\n");
  return text;
}

void fatalError(const Text& message) {
  if (!reporting) {
    reporting = true;
    ensureToolkit();
    QMessageBox box(QMessageBox::Critical, fromUtf8(kFatalErrorCaption),
                    fatalErrorText(fromCodePage936(Text(message.c_str()))), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
  }
  forgetExitHook();
  std::fflush(nullptr);
  std::_Exit(-1);
}

void fatalError(std::string_view utf8Message) {
  fatalError(utf8ToCodePage936(
      QByteArrayView(utf8Message.data(), static_cast<qsizetype>(utf8Message.size()))));
}

}  // namespace zendrel
