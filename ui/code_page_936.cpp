#include "ui/code_page_936.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace zendrel {

namespace {
// "GBK" is the ICU converter for code page 936; its substitution byte for an unmappable
// character is "?".
constexpr const char* kCodePage936 = "GBK";
}  // namespace

Text toCodePage936(QStringView text) {
  QStringEncoder encoder(kCodePage936);
  const QByteArray bytes = encoder.encode(text);
  return Text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString fromCodePage936(const Text& text) {
  QStringDecoder decoder(kCodePage936);
  return decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

Text utf8ToCodePage936(QByteArrayView utf8) {
  // Malformed UTF-8 decodes to U+FFFD, which code page 936 lacks, so it becomes "?".
  return toCodePage936(QString::fromUtf8(utf8));
}

}  // namespace zendrel
