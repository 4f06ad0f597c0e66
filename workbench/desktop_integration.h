// The workbench on the desktop: at start, when SetQuillFileTypes is "true",
// the workbench becomes the default program of its three file types, as far
// as the desktop knows them (they come with the installed shared-mime-info
// package and quill.desktop).
#pragma once

#include <QString>
#include <functional>

namespace quill {

class Dialogs;

// The command that makes quill.desktop the default handler of every file
// type that is_known accepts; "" when the setting is not "true" or no type is known.
QString file_types_command(const std::function<bool(const QString&)>& is_known);

// Runs that command (without waiting) for the types the desktop's MIME database knows.
void set_file_types(Dialogs& dialogs);

inline constexpr const char* kDesktopFile = "quill.desktop";

}  // namespace quill
