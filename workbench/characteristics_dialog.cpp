#include "workbench/characteristics_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QVBoxLayout>
#include <iterator>

#include "foundation/settings.h"
#include "workbench/characteristics.h"
#include "workbench/dialogs.h"

namespace quill {

namespace {

constexpr ElementTypeRow kElementTypes[] = {
    {"Objects (obj.)", "obj."},
    {"Parent Objects (parent.)", "parent."},
    {"Attributes (attr.)", "attr."},
    {"Functions (ftn.)", "ftn."},
    {"Function Parameters (param.)", "param."},
    {"Function Return Type (rtype.)", "rtype."},
    {"States (state.)", "state."},
    {"State Transitions (tx.)", "tx."},
    {"State Actions (state_action.)", "state_action."},
    {"Processes (proc.)", "proc."},
    {"Flows (flow.)", "flow."},
    {"Foreign Types (foreign.)", "foreign."},
    {"Object Instances (inst.)", "inst."},
    {"Overall Data Model (dsm.)", "dsm."},
};

// A list whose dragged names arrive in a text editor as plain text.
class NameList : public QListWidget {
 public:
  using QListWidget::QListWidget;

 protected:
  QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override {
    QMimeData* data = QListWidget::mimeData(items);
    if (!items.isEmpty() && items.first()->text() != QLatin1String(kNoNames))
      data->setText(items.first()->text());
    return data;
  }
};

}  // namespace

const ElementTypeRow* element_types_begin() { return std::begin(kElementTypes); }
const ElementTypeRow* element_types_end() { return std::end(kElementTypes); }

QStringList names_with_prefix(const QStringList& names, const QString& prefix) {
  QStringList out;
  for (const QString& name : names) {
    if (name.startsWith(prefix) && name.size() > prefix.size()) out << name.mid(prefix.size());
  }
  if (out.isEmpty()) out << QString::fromLatin1(kNoNames);
  return out;
}

CharacteristicsDialog::CharacteristicsDialog(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), path_(new QLabel(this)), types_(new QListWidget(this)),
      names_(new NameList(this)) {
  setWindowTitle(QStringLiteral("Characteristics in Active Template"));
  const QString tem = QString::fromStdString(settings().get("CGenTemplate"));
  path_->setText(QStringLiteral("Active template: ") + tem);
  path_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  if (!scan_template_characteristics(tem, found_))
    dialogs_.show_box(BoxKind::error, QString::fromLatin1(kCantScan).replace(QStringLiteral("%s"), tem));
  for (const ElementTypeRow* row = element_types_begin(); row != element_types_end(); ++row)
    types_->addItem(QString::fromLatin1(row->label));
  names_->setDragEnabled(true);
  names_->setDragDropMode(QAbstractItemView::DragOnly);
  connect(types_, &QListWidget::currentRowChanged, this, &CharacteristicsDialog::show_type);
  connect(names_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { copy_name(item->text()); });

  auto* lists = new QHBoxLayout;
  lists->addWidget(types_);
  lists->addWidget(names_);
  auto* hint = new QLabel(
      QStringLiteral("Double-click a name to copy it, or drag it into a model."), this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(path_);
  layout->addLayout(lists);
  layout->addWidget(hint);
  layout->addWidget(buttons);
  types_->setCurrentRow(0);
  resize(560, 380);
}

void CharacteristicsDialog::show_type(int row) {
  names_->clear();
  if (row < 0 || row >= static_cast<int>(std::size(kElementTypes))) return;
  names_->addItems(names_with_prefix(found_, QString::fromLatin1(kElementTypes[row].prefix)));
}

void CharacteristicsDialog::copy_name(const QString& name) {
  if (name == QLatin1String(kNoNames)) return;
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(name);
  dialogs_.show_box(BoxKind::information, "Copied '" + name + "' to the clipboard");
}

}  // namespace quill
