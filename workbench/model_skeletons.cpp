#include "workbench/model_skeletons.h"

#include <QTextCursor>
#include <iterator>

#include "workbench/code_editor.h"

namespace quill {

namespace {

constexpr ModelSkeleton kSkeletons[] = {
    {"&Object",
     "\n\n-- substitute your names for ObjectName, its attributes, types, functions and c'tics\n"
     "object ObjectName\n"
     "    attr_name : TypeName ;\n"
     "    list_attr : list_of OtherObject ;\n"
     "    ref_attr : ref_to OtherObject ;\n"
     "    ftn_name ( ) ;\n"
     "    ftn_with_params ( param_name : TypeName, other_param : TypeName = \"default\" ) : TypeName ;\n"
     "    ftn_with_body ( ) [ ftn_ctic ] {{ body text }} ;\n"
     "end [ obj_ctic ] ;\n"},
    {"&Instance",
     "\n\n-- substitute your names for the instance, its object and the assigned attributes\n"
     "instance_name : ObjectName ( attr_name = value, other_attr = \"text value\" ) [ inst_ctic ] ;\n"},
    {"&Function",
     "\n\n-- substitute your names for the functions, their parameters and types\n"
     "function_name ( param_name : TypeName ) : TypeName [ ftn_ctic ] ;\n"
     "procedure_name ( ) {{ body text }} ;\n"},
    {"&Events",
     "\n\n-- substitute your names for the events\n"
     "events : event_name, other_event ;\n"},
    {"Foreign &Typedef",
     "\n\n-- substitute your names for the substituted name and its text\n"
     "subst_name = \"replacement text\"\n"
     "\n"
     "-- substitute your names for the foreign type and the values of its c'tics\n"
     "foreign ForeignName [ is_usertype, type_decl = \"ForeignName\", init_ftn = init_foreign,\n"
     "    copy_ftn = copy_foreign, destroy_ftn = destroy_foreign ] ;\n"},
    {"&Pragma",
     "\n\n-- substitute your names for the pragma, its values and c'tics\n"
     "pragma pragma_name ( value_one, \"value two\" ) [ pragma_ctic ] ;\n"},
    {"&State",
     "\n\n-- substitute your names for the state, its action, events and target states\n"
     "state StateName\n"
     "    action : action_name {{ action body }} ;\n"
     "    event_name => NextState ;\n"
     "    other_event => StateName [ tx_ctic ] ;\n"
     "end [ state_ctic ] ;\n"},
    {"P&rocess",
     "\n\n-- substitute your names for the process, its flows and their other ends\n"
     "process ProcessName\n"
     "    flow inflow_name from SourceName ;\n"
     "    flow outflow_name to TargetName [ flow_ctic ] ;\n"
     "end [ proc_ctic ] ;\n"},
    {"&Literal Text",
     "\n\n-- substitute your name for the literal and your text between the braces\n"
     "literal literal_name [ literal_ctic ] {{ literal text }} ;\n"},
};

}  // namespace

const ModelSkeleton* model_skeletons_begin() { return std::begin(kSkeletons); }
const ModelSkeleton* model_skeletons_end() { return std::end(kSkeletons); }

void insert_skeleton(CodeEditor& editor, const ModelSkeleton& skeleton) {
  QTextCursor cursor = editor.textCursor();
  cursor.insertText(QString::fromLatin1(skeleton.text));
  editor.setTextCursor(cursor);
}

}  // namespace quill
