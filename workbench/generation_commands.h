// The Run menu commands. Each writes its inputs as settings, runs engine
// commands through process_cmd and reads the verdict back from the settings;
// everything the user is told goes through the message sink.
#pragma once

class QString;

namespace quill {

class ProjectDocument;
class TextDocument;

// DSM Text Formatter: the editor text goes through FormatObjText and back.
void format_model(TextDocument& model);

// Code Generation: the refusals, the unsaved-model question, the compile
// and, when it succeeds, the generation.
void generate_from_model(TextDocument& model);

// Checking, DSM Syntax: the same refusals and compile, then a verdict.
void check_model_syntax(TextDocument& model);

// Checking, Model-Template Compatibility: the refusals and compile of Code
// Generation, then the model's characteristics against the active template's.
void check_compatibility(TextDocument& model);

// Generate Code of the shortcut dialog: compiles the model file and, when it
// compiles, generates with the active template.
void generate_from_model_file(const QString& path);

// Code Generator of a template: makes the template the active one and
// generates from the last model (ModelName).
void generate_from_template(TextDocument& tem);

// Code Generator and Generate Code of a project: generates the selected node
// (the whole project when nothing is selected) as one batch.
void generate_project_node(ProjectDocument& project);

// Set as Active: CGenTemplate becomes the template document's path.
void set_active_template(TextDocument& tem);

// Refusal and message texts of these commands.
inline constexpr const char* kNoTemplate = "No template is currently set. To set one, use\nthe Options menu";
inline constexpr const char* kModelNeverSaved =
    "Can't generate code from this data model until\nyou assign a path to its file (when you save\nit for the first time).";
inline constexpr const char* kNotAModel = "Can only generate code from an object model (DSM file)...";
inline constexpr const char* kNeedsAModel = "This file needs to be an object model (DSM file)...";
inline constexpr const char* kUnsavedModel =
    "You are generating code from an\nunsaved object model.  Save it and continue?";
inline constexpr const char* kSyntaxErrorIn = "Syntax error found in file %s";
inline constexpr const char* kSyntaxCorrect = "The DSM Syntax is correct";
inline constexpr const char* kTemplateNeverSaved =
    "Can't set this as the active template until\nyou assign a path to its file (i.e. save\nit for the first time).";
inline constexpr const char* kUnsavedTemplate =
    "You are generating code from an\nunsaved template.  Save it and continue?";
inline constexpr const char* kNoModel =
    "No object model is currently set. Open a model and\nrun Code Generation from it first.";

}  // namespace quill
