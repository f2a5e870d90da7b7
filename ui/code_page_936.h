#pragma once
// Conversion between the toolkit's text and code page 936, shared by the window and the
// command line so that both read a typed operand identically. A character that code page 936
// lacks, an unpaired surrogate or malformed UTF-8 becomes "?".

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include "core/text.h"

namespace zendrel {

Text toCodePage936(QStringView text);
QString fromCodePage936(const Text& text);

// Locale text (UTF-8) to code page 936, malformed sequences included.
Text utf8ToCodePage936(QByteArrayView utf8);

}  // namespace zendrel
