// Characteristic names as the workbench shows them: the names a template
// refers to, the names a compiled model defines, and the names that belong
// to the engine itself (built-in) and are therefore never reported.
#pragma once

#include <QStringList>

namespace quill {

class Model;

// True for a name the engine defines by itself (a ".name", ".has_objects",
// "dsm.path" ...), which no template needs to be told about.
bool is_builtin_name(const QString& name);

// The variable names the template file refers to, each once, in the order
// first met, built-in names dropped. False when the file cannot be read.
bool scan_template_characteristics(const QString& path, QStringList& names);
// The same scan over the lines of a text.
QStringList scan_template_lines(const QStringList& lines);

// The names the model's characteristics give its elements' variables
// (attr.persistent, obj.table ...), each once, in model order, built-in names
// dropped. Names the engine derives from the model's structure (state.has_action,
// subs.value, pragma and literal names) and the characteristics of the
// built-in types (use_ref, also where merged into typed elements) are left out.
QStringList model_characteristics(Model& model);

// The names of model not in template, in model order.
QStringList missing_characteristics(const QStringList& model, const QStringList& tem);

// The verdict box texts of the compatibility check.
inline constexpr const char* kAllRecognized =
    "All characteristics in the model are recognized by\nthe active template";
inline constexpr const char* kNotUsed =
    "Characteristics defined in the model, but not\nused in the active template:\n%s";
inline constexpr const char* kCantScan = "Can't open '%s' to scan for characteristics.";

// kNotUsed with one name per line, each indented four spaces.
QString not_used_text(const QStringList& names);

}  // namespace quill
