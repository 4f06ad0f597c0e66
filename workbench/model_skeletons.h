// The Add menu of a model document: commented skeletons of each construct
// of the model language, inserted at the caret. Every skeleton is valid
// model text as it stands; its placeholder names are meant to be replaced.
#pragma once

#include <QString>

namespace quill {

class CodeEditor;

struct ModelSkeleton {
  const char* menu_text;
  const char* text;  // begins with two line feeds and a "-- substitute" comment
};

// Object, Instance, Function, Events, Foreign Typedef, Pragma, State,
// Process, Literal Text, in menu order.
const ModelSkeleton* model_skeletons_begin();
const ModelSkeleton* model_skeletons_end();

// Inserts the skeleton at the caret as one undoable edit.
void insert_skeleton(CodeEditor& editor, const ModelSkeleton& skeleton);

}  // namespace quill
