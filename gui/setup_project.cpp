#include "gui/setup_project.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <stdexcept>

#include "gui/forwarding_ui.h"
#include "gui/qt_text.h"
#include "gui/setup_layout.h"
#include "gui/value_list_editor.h"
#include "setup/save_command.h"
#include "support/text.h"

namespace tessel {

namespace {

constexpr const char* SaveQuestion =
    "Some settings have been changed, but have not been saved.\r\nSave now?";
constexpr int ProjectCompilePage = 1;
constexpr int DesignPage = 3;  // "Project misc"

// Counts a running dialog or command of the window itself.
class TModal {
 public:
  explicit TModal(int& count) : count_(count) { ++count_; }
  ~TModal() { --count_; }
  TModal(const TModal&) = delete;
  TModal& operator=(const TModal&) = delete;

 private:
  int& count_;
};

}  // namespace

TfrmSetupProject::TfrmSetupProject(TSetupWindowOptions options, TUserInterface& ui,
                                   TDependencyEditor editDependency, QWidget* parent)
    : QWidget(parent, Qt::Window),
      options_(std::move(options)),
      ui_(ui),
      editDependency_(std::move(editDependency)),
      model_(options_.projectFile, options_.projectIni, options_.baseIni) {
  setObjectName("frmSetupProject");
  BuildPages();
  SetUpEditors();
  model_.Load();
  PushEditors();
  if (options_.projectOnly) {
    for (int page = 0; page < pageControl_->count(); ++page) {
      pageControl_->setTabVisible(page, page == ProjectCompilePage);
    }
  }
  RestoreLayout();
  PullEditors();
  model_.RefreshSnapshot();
}

TfrmSetupProject::~TfrmSetupProject() = default;

QWidget* TfrmSetupProject::Page(const char* name, const char* caption) {
  auto* page = new QWidget;
  page->setObjectName(name);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(4, 4, 4, 4);
  pageControl_->addTab(page, caption);
  return page;
}

QGroupBox* TfrmSetupProject::Group(const char* name, const char* caption, const char* editor) {
  auto* box = new QGroupBox(caption);
  box->setObjectName(name);
  auto* grid = new TValueListEditor(editor, box);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(grid);
  editors_.push_back(grid);
  return box;
}

QSplitter* TfrmSetupProject::Split(Qt::Orientation orientation, const char* name,
                                   std::vector<std::pair<QWidget*, int>> children) {
  auto* splitter = new QSplitter(orientation);
  splitter->setObjectName(name);
  splitter->setChildrenCollapsible(false);
  for (size_t i = 0; i < children.size(); ++i) {
    splitter->addWidget(children[i].first);
    splitter->setStretchFactor(static_cast<int>(i), i + 1 == children.size() ? 1 : 0);
    // The last child fills the rest; the others keep their size.
    if (i + 1 < children.size()) {
      layoutControls_.push_back(
          {children[i].first, splitter, static_cast<int>(i), children[i].second});
    }
  }
  splitter->installEventFilter(this);
  return splitter;
}

void TfrmSetupProject::BuildPages() {
  pageControl_ = new QTabWidget(this);
  pageControl_->setObjectName("PageControl");

  Page("tshGeneral", "General settings")
      ->layout()
      ->addWidget(Split(
          Qt::Vertical, "pnlGeneral",
          {{Group("gbxGeneral", "General parameters", "vleGeneral"), 345},
           {Split(
                Qt::Horizontal, "pnlGeneralLists",
                {{Group("gbxRequiredDirectories", "Required directories", "vleRequiredDirectories"),
                  300},
                 {Group("gbxRequiredFiles", "Required files", "vleRequiredFiles"), 300},
                 {Group("gbxfx9860LibGrooming", "fx9860_library grooming", "vlefx9860LibGrooming"),
                  0}}),
            0}}));

  Page("tshProjectCompile", "Project compile")
      ->layout()
      ->addWidget(
          Split(Qt::Vertical, "pnlProjectCompile",
                {{Group("gbxProjectSource", "Source-Files", "vleProjectSource"), 250},
                 {Group("gbxProjectDependencies", "Dependencies", "vleProjectDependencies"), 0}}));

  Page("tshProjectLink", "Project link")
      ->layout()
      ->addWidget(Split(
          Qt::Horizontal, "pnlProjectLink",
          {{Split(Qt::Vertical, "pnlLinkG3A",
                  {{Group("gbxLinkG3Adep", "Link G3A dependencies", "vleLinkG3Adep"), 230},
                   {Group("gbxLinkG3Aopt", "Link G3A options", "vleLinkG3Aopt"), 0}}),
            450},
           {Split(
                Qt::Vertical, "pnlLinkRAMBIN",
                {{Group("gbxLinkRAMBINdep", "Link RAM BIN dependencies", "vleLinkRAMBINdep"), 230},
                 {Group("gbxLinkRAMBINopt", "Link RAM BIN options", "vleLinkRAMBINopt"), 0}}),
            0}}));

  Page("tshProjectMisc", "Project misc")
      ->layout()
      ->addWidget(Split(
          Qt::Vertical, "pnlProjectMisc",
          {{Group("gbxProjectBindOptions", "Bind options", "vleProjectBindOptions"), 170},
           {Split(Qt::Horizontal, "pnlProjectMiscLists",
                  {{Group("gbxRequiredProjectFiles", "Required files", "vleRequiredProjectFiles"),
                    450},
                   {Group("gbxRequiredProjectDirectories", "Required directories",
                          "vleRequiredProjectDirectories"),
                    0}}),
            0}}));

  Page("tshToolsLibrary", "Tools-library")
      ->layout()
      ->addWidget(Group("gbxTools", "Tool definitions", "vleTools"));
  Page("tshSyscallLibrary", "Syscall library")
      ->layout()
      ->addWidget(Group("gbxSyscalls", "Syscall definitions", "vleSyscalls"));

  Page("tshAsmCOptions", "ASM/C options")
      ->layout()
      ->addWidget(
          Split(Qt::Horizontal, "pnlAsmCOptions",
                {{Group("gbxAssemblerOptions", "Assembler options", "vleAssemblerOptions"), 300},
                 {Group("gbxCompilerOptions", "Compiler options", "vleCompilerOptions"), 300},
                 {Group("gbxMessagesToIgnore", "Messages To Ignore", "vleMessagesToIgnore"), 0}}));

  Page("tshLinkerOptions", "Linker options")
      ->layout()
      ->addWidget(
          Split(Qt::Horizontal, "pnlLinkerOptions",
                {{Group("gbxLink", "Linker", "vleLink"), 300},
                 {Group("gbxLinkLibMod", "Link library (mod)", "vleLinkLibMod"), 300},
                 {Group("gbxLinkLibCommon", "Link library (common)", "vleLinkLibCommon"), 0}}));

  btnSave_ = new QPushButton("Save", this);
  btnSave_->setObjectName("btnSave");
  connect(btnSave_, &QPushButton::clicked, this, &TfrmSetupProject::Save);
  auto* buttonBar = new QHBoxLayout;
  buttonBar->addStretch();
  buttonBar->addWidget(btnSave_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(pageControl_);
  layout->addLayout(buttonBar);
}

void TfrmSetupProject::SetUpEditors() {
  // Every editor shows one section; their order is the model's.
  for (size_t i = 0; i < editors_.size(); ++i) {
    if (i >= Editors.size() || editors_[i]->objectName() != Editors[i].name) {
      throw std::logic_error("Setup editors out of order");
    }
  }
  TValueListEditor* link = Editor("vleLink");
  link->SetKeysEditable(false);
  link->SetRowsEditable(true);
  link->SetKeyColumnWidth(90);
  for (size_t i = 0; i < editors_.size(); ++i) {
    TValueListEditor* editor = editors_[i];
    switch (Editors[i].kind) {
      case TEditorKind::List:
        editor->CopySetupFrom(*link);
        connect(editor, &TValueListEditor::keyReleased, this, [this, editor] { NewRow(editor); });
        break;
      case TEditorKind::General:
        editor->SetKeyColumnWidth(120);
        break;
      case TEditorKind::BindOptions:
        editor->CopySetupFrom(*link);
        editor->SetRowsEditable(false);
        editor->SetKeyColumnWidth(130);
        break;
      case TEditorKind::KeyedList:
        editor->SetKeysEditable(true);
        editor->SetRowsEditable(true);
        editor->SetKeyColumnWidth(90);
        break;
    }
    connect(editor, &TValueListEditor::duplicateKey, this, [this](const std::string& key) {
      TModal modal(modal_);
      ui_.ShowWarning("Duplicate key: \"" + key + "\"");
    });
    connect(editor, &TValueListEditor::valueButtonClicked, this,
            [this, editor](int row) { ValueButton(editor, row); });
  }

  // The syscall editor's context menu.
  TValueListEditor* syscalls = Editor("vleSyscalls");
  syscalls->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* add = new QAction("Add", syscalls);
  add->setObjectName("mnuAdd");
  connect(add, &QAction::triggered, syscalls, [syscalls] { syscalls->AddRow(); });
  auto* edit = new QAction("Edit", syscalls);
  edit->setObjectName("mnuEdit");
  connect(edit, &QAction::triggered, syscalls, [syscalls] {
    if (syscalls->currentIndex().isValid()) syscalls->edit(syscalls->currentIndex());
  });
  syscalls->addAction(add);
  syscalls->addAction(edit);
}

TValueListEditor* TfrmSetupProject::Editor(const std::string& name) const {
  for (TValueListEditor* editor : editors_) {
    if (editor->objectName() == ToQt(name)) return editor;
  }
  throw std::out_of_range("No editor named \"" + name + "\"");
}

void TfrmSetupProject::PushEditors() {
  for (TValueListEditor* editor : editors_) {
    editor->SetRows(model_.Editor(FromQt(editor->objectName())), true);
  }
}

void TfrmSetupProject::PullEditors() {
  for (TValueListEditor* editor : editors_) {
    editor->CommitEdits();
    model_.Editor(FromQt(editor->objectName())) = editor->Rows();
  }
}

void TfrmSetupProject::ShowForProject() {
  setWindowTitle(ToQt("Setup Tessel project: " + model_.ProjectName()));
  show();
  raise();
  activateWindow();
}

void TfrmSetupProject::Save() {
  TModal modal(modal_);
  PullEditors();
  // Values the storing changed are on the screen before any box appears.
  TForwardingUserInterface ui(ui_, [this] { PushEditors(); });
  try {
    RunSaveCommand(model_, ui);
  } catch (const std::exception& error) {
    ui.ShowError(error.what());
  }
  PushEditors();
}

void TfrmSetupProject::Deactivated() {
  if (modal_ > 0 || !isVisible()) return;
  PullEditors();
  if (!model_.HasChanges()) return;
  bool save = false;
  {
    TModal modal(modal_);
    save = ui_.ConfirmOkCancel(SaveQuestion);
  }
  if (save) Save();
}

void TfrmSetupProject::ValueButton(TValueListEditor* editor, int row) {
  if (row < 0 || row >= editor->rowCount()) return;
  TModal modal(modal_);
  editor->CommitEdits();
  const std::optional<std::string> value =
      ChooseRowValue(FromQt(editor->objectName()), editor->KeyAt(row), editor->ValueAt(row),
                     Editor("vleGeneral")->Rows(), ui_, editDependency_);
  if (value) editor->SetValueAt(row, *value);
}

void TfrmSetupProject::NewRow(TValueListEditor* editor) {
  const int row = editor->currentRow();
  if (row < 0 || !IsBlank(editor->KeyAt(row))) return;
  editor->SetKeyAt(row, NewRowKey());
  editor->SetValueButton(row, true);
}

QSize TfrmSetupProject::ScreenSize() const {
  if (options_.screen.isValid()) return options_.screen;
  const QScreen* current = screen();
  return current != nullptr ? current->geometry().size() : QSize(1024, 768);
}

void TfrmSetupProject::RestoreLayout() {
  const TQuotedINI ini(options_.programIni);
  const QSize screenSize = ScreenSize();
  const TLayoutScale scale(ini, screenSize.height(), screenSize.width());

  int page = ini.ReadInteger(SetupLayoutSection, "PAGECONTROL", DesignPage);
  if (page < 0 || page >= pageControl_->count() || !pageControl_->isTabVisible(page)) {
    page = 0;
    while (page < pageControl_->count() && !pageControl_->isTabVisible(page)) ++page;
  }
  pageControl_->setCurrentIndex(page);

  const int height = scale.ReadHeight("MAINHEIGHT", DesignHeight);
  const int width = scale.ReadWidth("MAINWIDTH", DesignWidth);
  const int top = scale.ReadHeight("MAINTOP", DesignTop);
  const int left = scale.ReadWidth("MAINLEFT", DesignLeft);
  resize(width, height);
  move(left, top);

  for (TLayoutControl& control : layoutControls_) {
    const std::string name = FromQt(control.widget->objectName());
    if (control.splitter->orientation() == Qt::Vertical) {
      control.size = scale.ReadHeight(name + ".h", control.size);
    } else {
      control.size = scale.ReadWidth(name + ".w", control.size);
    }
  }
}

void TfrmSetupProject::ApplySplitterSizes(QSplitter* splitter) {
  QList<int> sizes = splitter->sizes();
  int total = 0;
  for (int size : sizes) total += size;
  if (total <= 0) return;
  int used = 0;
  for (const TLayoutControl& control : layoutControls_) {
    if (control.splitter != splitter) continue;
    sizes[control.index] = std::max(control.size, 0);
    used += sizes[control.index];
  }
  sizes.back() = std::max(total - used, 0);
  splitter->setSizes(sizes);
  laidOut_.push_back(splitter);
}

bool TfrmSetupProject::eventFilter(QObject* watched, QEvent* event) {
  // A splitter takes its stored sizes once it shows with its size (pages
  // that were never shown have none).
  if (event->type() == QEvent::Resize || event->type() == QEvent::Show) {
    auto* splitter = qobject_cast<QSplitter*>(watched);
    if (splitter != nullptr && splitter->isVisible() &&
        std::find(laidOut_.begin(), laidOut_.end(), splitter) == laidOut_.end()) {
      ApplySplitterSizes(splitter);
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TfrmSetupProject::StoreLayout() {
  const QSize screenSize = ScreenSize();
  std::vector<std::pair<std::string, std::string>> entries = {
      {"PAGECONTROL", std::to_string(pageControl_->currentIndex())},
      {"SCREENHEIGHT", std::to_string(screenSize.height())},
      {"SCREENWIDTH", std::to_string(screenSize.width())},
      {"MAINHEIGHT", std::to_string(height())},
      {"MAINWIDTH", std::to_string(width())},
      {"MAINTOP", std::to_string(y())},
      {"MAINLEFT", std::to_string(x())},
  };
  for (const TLayoutControl& control : layoutControls_) {
    const bool laidOut =
        std::find(laidOut_.begin(), laidOut_.end(), control.splitter) != laidOut_.end();
    const int size = laidOut ? control.splitter->sizes().value(control.index) : control.size;
    const bool vertical = control.splitter->orientation() == Qt::Vertical;
    entries.emplace_back(FromQt(control.widget->objectName()) + (vertical ? ".h" : ".w"),
                         std::to_string(size));
  }
  TQuotedINI ini(options_.programIni);
  ini.RewriteSection(SetupLayoutSection, entries);
}

void TfrmSetupProject::closeEvent(QCloseEvent* event) {
  // Closing keeps the layout only; edits are neither asked about nor saved.
  try {
    if (!IsBlank(options_.programIni)) StoreLayout();
  } catch (const std::exception& error) {
    ui_.ShowError(error.what());
  }
  event->accept();
}

void TfrmSetupProject::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) Deactivated();
}

}  // namespace tessel
