#pragma once
// Text: a byte string in code page 936. The empty text is a valid value. A text ends at its
// first zero byte, as the window's texts do; bytes after an embedded zero are never read.

#include <string>

namespace zendrel {

using Text = std::string;

}  // namespace zendrel
