#include "app/features/uInternetFeatureControls.h"

#include "app/config/DialogButtonGlyphs.h"
#include "app/features/ExploreWeb.h"
#include "app/features/FeatureHelp.h"
#include "app/features/StrToInt.h"
#include "app/features/UpDown.h"
#include "app/MainForm.h"
#include "app/Startup.h"
#include "platform/Folders.h"
#include "platform/Registry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

#include <map>

namespace vyn {

namespace {

constexpr int MaxRowsInOneColumn = 8;

const char* const PurposeText =
    "Feature controls are registry keys that manage individual features of the system web "
    "browser and of the programs that host its browser control, such as this one. Each new "
    "browser version changes some behaviour to improve security or to follow web standards; "
    "these keys let an organisation choose the configuration that suits it, program by "
    "program. The switches shown here apply to this program only and are stored for the "
    "current user under the key:";

const std::array<const char*, 6> PurposeStaircase = {
    "HKEY_CURRENT_USER", "SOFTWARE", "Microsoft", "Internet Explorer", "Main", "FeatureControl"};

std::string FeatureKeyPath(const TFeatureDefinition& definition) {
  return std::string(FeatureKeyPrefix) + definition.Key;
}

QString DefaultText(const TFeatureDefinition& definition) {
  return QString::fromLatin1(definition.Default);
}

QString EditorText(const TfrmInternetFeatureControls::TFeatureEditor& editor) {
  if (auto* list = qobject_cast<QComboBox*>(editor.Control))
    return list->currentText();
  return static_cast<QLineEdit*>(editor.Control)->text();
}

// A list shows the text only when it is one of its items; otherwise nothing is selected.
void SetEditorText(const TfrmInternetFeatureControls::TFeatureEditor& editor, const QString& text) {
  if (auto* list = qobject_cast<QComboBox*>(editor.Control))
    list->setCurrentIndex(list->findText(text));
  else
    static_cast<QLineEdit*>(editor.Control)->setText(text);
}

QPushButton* BarButton(const QIcon& glyph, const QString& caption, const char* name, QWidget* bar) {
  auto* button = new QPushButton(glyph, caption, bar);
  button->setObjectName(QLatin1String(name));
  button->setFixedSize(75, 25);
  button->setAutoDefault(false);
  return button;
}

QWidget* Spacer(const char* name, QWidget* parent) {
  auto* spacer = new QWidget(parent);
  spacer->setObjectName(QLatin1String(name));
  spacer->setFixedWidth(8);
  return spacer;
}

}  // namespace

TfrmInternetFeatureControls::TfrmInternetFeatureControls(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmInternetFeatureControls"));
  setWindowTitle(QStringLiteral("Internet Feature Controls"));
  setFont(MainFont());
  setFixedSize(565, 323);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  auto* tabArea = new QWidget(this);
  auto* tabAreaLayout = new QVBoxLayout(tabArea);
  tabAreaLayout->setContentsMargins(4, 4, 4, 4);
  PageControl = new QTabWidget(tabArea);
  PageControl->setObjectName(QStringLiteral("PageControl"));
  tabAreaLayout->addWidget(PageControl);
  layout->addWidget(tabArea, 1);

  PageControl->addTab(BuildPurposePage(), QString::fromLatin1(FeatureTabCaptions[0]));
  for (int tab = 1; tab < int(FeatureTabCaptions.size()); ++tab)
    PageControl->addTab(BuildFeaturePage(tab), QString::fromLatin1(FeatureTabCaptions[size_t(tab)]));
  LinkBoxesSharingAKey();

  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFixedHeight(33);
  layout->addWidget(Panel1);
  auto* bar = new QHBoxLayout(Panel1);
  bar->setContentsMargins(4, 4, 4, 4);
  bar->setSpacing(0);
  bbtHelp = BarButton(HelpGlyph(), QStringLiteral("&Aide"), "bbtHelp", Panel1);
  bbtReset = BarButton(ResetGlyph(), QStringLiteral("Reset"), "bbtReset", Panel1);
  bbtOk = BarButton(OkGlyph(), QStringLiteral("OK"), "bbtOk", Panel1);
  bbtOk->setDefault(true);
  bbtCancel = BarButton(CancelGlyph(), QStringLiteral("Annuler"), "bbtCancel", Panel1);
  bar->addWidget(bbtHelp);
  bar->addWidget(Spacer("pnlHelpReset", Panel1));
  bar->addWidget(bbtReset);
  bar->addStretch(1);
  bar->addWidget(bbtOk);
  bar->addWidget(Spacer("pnlOkCancel", Panel1));
  bar->addWidget(bbtCancel);

  connect(bbtHelp, &QPushButton::clicked, this, &TfrmInternetFeatureControls::bbtHelpClick);
  connect(bbtReset, &QPushButton::clicked, this, &TfrmInternetFeatureControls::bbtResetClick);
  connect(bbtOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(bbtCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QWidget* TfrmInternetFeatureControls::BuildPurposePage() {
  auto* page = new QWidget;
  page->setObjectName(QLatin1String(FeatureTabNames[0]));
  // Lines a label's height apart: the font's own line spacing is a pixel less with this
  // Tahoma, and the lines of the paragraph would touch.
  auto* text = new QLabel(QStringLiteral("<p style=\"line-height: %1px\">%2</p>")
                              .arg(QFontMetrics(font()).height())
                              .arg(QString::fromLatin1(PurposeText).toHtmlEscaped()),
                          page);
  text->setObjectName(QStringLiteral("lblPurpose"));
  text->setTextFormat(Qt::RichText);
  text->setWordWrap(true);
  text->setGeometry(12, 10, 525, 84);
  text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The key path drawn as a staircase: each step one line lower and further indented.
  for (size_t step = 0; step < PurposeStaircase.size(); ++step) {
    auto* label = new QLabel(QString::fromLatin1(PurposeStaircase[step]), page);
    label->setObjectName(QStringLiteral("lblStep%1").arg(step + 1));
    label->move(24 + int(step) * 20, 100 + int(step) * 17);
  }
  return page;
}

QWidget* TfrmInternetFeatureControls::BuildFeaturePage(int tab) {
  auto* page = new QWidget;
  page->setObjectName(QLatin1String(FeatureTabNames[size_t(tab)]));
  std::vector<const TFeatureDefinition*> onTab;
  for (const TFeatureDefinition& definition : FeatureDefinitions())
    if (definition.Tab == tab)
      onTab.push_back(&definition);

  // Long tabs use two columns, filled top to bottom, then left to right. Numbers and lists that
  // end a tab take whole rows below the columns: with their edit beside the caption they are too
  // wide for half a page.
  int count = int(onTab.size());
  while (count > 0 && onTab[size_t(count - 1)]->Kind != fkThreeState)
    --count;
  const int rows = count > MaxRowsInOneColumn ? (count + 1) / 2 : count;
  auto* grid = new QGridLayout(page);
  grid->setContentsMargins(12, 8, 12, 8);
  grid->setHorizontalSpacing(16);
  grid->setVerticalSpacing(2);
  for (int i = 0; i < count; ++i)
    grid->addWidget(BuildEditor(*onTab[size_t(i)], page), i % rows, i / rows, Qt::AlignLeft | Qt::AlignVCenter);
  int row = rows;
  for (size_t i = size_t(count); i < onTab.size(); ++i)
    grid->addWidget(BuildEditor(*onTab[i], page), row++, 0, 1, 2, Qt::AlignLeft | Qt::AlignVCenter);
  grid->setRowStretch(row, 1);
  grid->setColumnStretch(1, 1);
  return page;
}

QWidget* TfrmInternetFeatureControls::BuildEditor(const TFeatureDefinition& definition, QWidget* page) {
  const QString key = QString::fromLatin1(definition.Key);
  const QString caption = QString::fromLatin1(definition.Caption);
  if (definition.Kind == fkThreeState) {
    auto* box = new QCheckBox(caption, page);
    box->setObjectName(QStringLiteral("chk") + key);
    box->setTristate(true);
    box->setCheckState(Qt::PartiallyChecked);
    box->setEnabled(definition.Enabled);
    FEditors.push_back({&definition, box});
    return box;
  }

  auto* row = new QWidget(page);
  auto* rowLayout = new QHBoxLayout(row);
  rowLayout->setContentsMargins(0, 0, 0, 0);
  rowLayout->setSpacing(0);
  QWidget* control;
  if (definition.Kind == fkList) {
    auto* list = new QComboBox(row);
    list->setObjectName(QStringLiteral("cbx") + key);
    for (const char* item : BrowserEmulationItems)
      list->addItem(QString::fromLatin1(item));
    list->setFixedWidth(70);
    rowLayout->addWidget(list);
    control = list;
  } else {
    auto* edit = new QLineEdit(row);
    edit->setObjectName(QStringLiteral("edt") + key);
    edit->setText(DefaultText(definition));
    edit->setFixedWidth(definition.DigitsOnly ? 40 : 56);
    rowLayout->addWidget(edit);
    if (definition.DigitsOnly) {
      edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
      auto* upDown = new TUpDown(edit, definition.UpDownMin, definition.UpDownMax, row);
      upDown->setObjectName(QStringLiteral("ud") + key);
      rowLayout->addWidget(upDown);
    }
    control = edit;
  }
  rowLayout->addSpacing(8);
  auto* label = new QLabel(caption, row);
  label->setBuddy(control);
  rowLayout->addWidget(label);
  FEditors.push_back({&definition, control});
  return row;
}

// Two boxes on one switch must agree, or the later one would undo the change made in the other.
void TfrmInternetFeatureControls::LinkBoxesSharingAKey() {
  std::map<std::string, QCheckBox*> firstBox;
  for (const TFeatureEditor& editor : FEditors) {
    auto* box = qobject_cast<QCheckBox*>(editor.Control);
    if (!box)
      continue;
    auto [it, inserted] = firstBox.emplace(editor.Definition->Key, box);
    if (inserted)
      continue;
    QCheckBox* other = it->second;
    connect(box, &QCheckBox::stateChanged, other, [other](int state) { other->setCheckState(Qt::CheckState(state)); });
    connect(other, &QCheckBox::stateChanged, box, [box](int state) { box->setCheckState(Qt::CheckState(state)); });
  }
}

void TfrmInternetFeatureControls::StoreExecutableName() {
  FExecutable = QString::fromStdString(ExeFileName());
}

void TfrmInternetFeatureControls::LoadFeatures() {
  TRegistry registry(THiveRoot::HKEY_CURRENT_USER);
  const std::string valueName = FExecutable.toStdString();
  for (const TFeatureEditor& editor : FEditors) {
    const TFeatureDefinition& definition = *editor.Definition;
    bool stored = false;
    int32_t value = 0;
    if (registry.OpenKeyReadOnly(FeatureKeyPath(definition))) {
      if (registry.ValueExists(valueName)) {
        value = registry.ReadInteger(valueName);
        stored = true;
      }
      registry.CloseKey();
    }
    if (auto* box = qobject_cast<QCheckBox*>(editor.Control))
      box->setCheckState(!stored ? Qt::PartiallyChecked : value == 1 ? Qt::Checked : Qt::Unchecked);
    else if (definition.Kind == fkList)
      SetEditorText(editor, stored ? QString::number(value) : QString::fromLatin1(BrowserEmulationItems[0]));
    else
      SetEditorText(editor, stored ? QString::number(value) : DefaultText(definition));
  }
}

void TfrmInternetFeatureControls::CompleteDefaults() {
  for (const TFeatureEditor& editor : FEditors) {
    if (auto* list = qobject_cast<QComboBox*>(editor.Control); list && list->currentIndex() < 0)
      list->setCurrentIndex(0);
    else if (editor.Definition->Kind == fkNumber && EditorText(editor).isEmpty())
      SetEditorText(editor, DefaultText(*editor.Definition));
  }
}

void TfrmInternetFeatureControls::ApplyFeatures() {
  TRegistry registry(THiveRoot::HKEY_CURRENT_USER);
  const std::string valueName = FExecutable.toStdString();
  for (const TFeatureEditor& editor : FEditors) {
    const std::string path = FeatureKeyPath(*editor.Definition);
    if (auto* box = qobject_cast<QCheckBox*>(editor.Control)) {
      if (!box->isEnabled())
        continue;
      if (box->checkState() == Qt::PartiallyChecked) {
        if (registry.OpenKey(path, false)) {
          registry.DeleteValue(valueName);
          registry.CloseKey();
        }
      } else if (registry.OpenKey(path, true)) {
        registry.WriteInteger(valueName, box->checkState() == Qt::Checked ? 1 : 0);
        registry.CloseKey();
      }
      continue;
    }
    const QString text = EditorText(editor);
    if (text != DefaultText(*editor.Definition)) {
      const int32_t value = StrToInt(text);
      if (registry.OpenKey(path, true)) {
        registry.WriteInteger(valueName, value);
        registry.CloseKey();
      }
    } else if (registry.OpenKey(path, false)) {
      registry.DeleteValue(valueName);
      registry.CloseKey();
    }
  }
}

void TfrmInternetFeatureControls::bbtResetClick() {
  for (const TFeatureEditor& editor : FEditors) {
    if (auto* box = qobject_cast<QCheckBox*>(editor.Control))
      box->setCheckState(Qt::PartiallyChecked);
    else if (editor.Definition->Kind == fkList)
      static_cast<QComboBox*>(editor.Control)->setCurrentIndex(0);
    else
      SetEditorText(editor, DefaultText(*editor.Definition));
  }
}

void TfrmInternetFeatureControls::bbtHelpClick() {
  ExploreWeb(this, FeatureHelpAddress(PageControl->currentIndex()));
}

void ShowInternetFeatureControls() {
  TfrmInternetFeatureControls form(DialogOwner());
  form.StoreExecutableName();
  form.LoadFeatures();
  form.CompleteDefaults();
  form.PageControl->setCurrentIndex(0);
  if (form.exec() == QDialog::Accepted)
    form.ApplyFeatures();
}

}  // namespace vyn
