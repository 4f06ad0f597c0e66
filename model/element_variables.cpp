// The variable lists of the model elements.
#include "model/elements.h"

namespace quill {

ItemList& Parameter::variables(std::string_view) { return variables_; }
ItemList& Attribute::variables(std::string_view) { return variables_; }
ItemList& Instance::variables(std::string_view) { return variables_; }
ItemList& Function::variables(std::string_view) { return variables_; }
ItemList& StateAction::variables(std::string_view) { return variables_; }
ItemList& Transition::variables(std::string_view) { return variables_; }
ItemList& State::variables(std::string_view) { return variables_; }
ItemList& Flow::variables(std::string_view) { return variables_; }
ItemList& Process::variables(std::string_view) { return variables_; }
ItemList& Literal::variables(std::string_view) { return variables_; }
ItemList& Substitution::variables(std::string_view) { return variables_; }
ItemList& ModelObject::variables(std::string_view) { return variables_; }
ItemList& Model::variables(std::string_view) { return variables_; }

}  // namespace quill
