#pragma once
// fatalError: the one way an unrecoverable failure is reported. Shows a single modal box
// captioned "错误" with an error icon and one OK button; once it is dismissed the exit hook is
// forgotten without being called and the process ends at once with exit status -1.

#include <QString>
#include <string_view>

#include "core/text.h"

namespace zendrel {

// Messages of the shell's failures, as UTF-8 source text.
inline constexpr std::string_view kDescriptionsUnreadable = "载入窗口模板数据段出错!";
inline constexpr std::string_view kWindowNotCreated = "载入启动窗口失败";

// `message` is in code page 936.
[[noreturn]] void fatalError(const Text& message);
[[noreturn]] void fatalError(std::string_view utf8Message);

// The box's text: "运行时出错!\r\n\r\n", then "错误信息：", the message and "\r\n" unless the
// message is empty.
QString fatalErrorText(const QString& message);

inline constexpr std::string_view kFatalErrorCaption = "错误";

}  // namespace zendrel
